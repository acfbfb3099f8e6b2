// Action 1 reports a volume's background progress. A resynchronisation
// advances by a fixed number of blocks each time it is asked, so runs are
// repeatable and STATUS visibly moves.
#include <algorithm>

#include "firmware/raid_config.h"
#include "raid/raid_actions.h"
#include "raid/raid_edit.h"

namespace vxtsim {

uint16_t ReportProgress(Controller& ctl, const Message& msg, Completion& out) {
  Volume* vol = FindVolume(ctl, FrameVolumeBus(msg), FrameVolumeId(msg));
  if (!vol) return kActionNotFound;
  uint64_t total = VolumeMaxLba(ctl, *vol) + 1;
  uint64_t remaining = 0;
  if (vol->Resyncing()) {
    Resync& resync = vol->resync;
    if (resync.total.given) total = resync.total;
    remaining = resync.remaining;
    uint64_t step = resync.step.given ? resync.step.value : std::max<uint64_t>(total / 8, 1);
    uint64_t left = remaining > step ? remaining - step : 0;
    // A step of 0 leaves the state as it was: nothing to write back.
    if (left != remaining || !resync.remaining.given ||
        resync.remaining.spelling != Spelling::kNumber) {
      resync.remaining = left;
      out.changed = true;
    }
    if (left == 0) {
      // Finished: the volume is optimal and its members are in sync again.
      if (vol->state == kVolumeDegraded) vol->state = kVolumeOptimal;
      ClearOutOfSync(ctl, *vol);
      out.changed = true;
    }
  }
  Put64(out.reply, layout::raid_action_frame::kReplyActionData, total);
  Put64(out.reply, layout::raid_action_frame::kReplyActionData2, remaining);
  return kActionDone;
}

}  // namespace vxtsim
