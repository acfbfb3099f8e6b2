// Action 1 reports a volume's background progress. A resynchronisation
// advances by a fixed number of blocks each time it is asked, so runs are
// repeatable and STATUS visibly moves.
#include <algorithm>

#include "raid_actions.h"
#include "raid_config.h"
#include "raid_edit.h"

namespace vxtsim {

namespace {

// Marks a finished resynchronisation: the volume is optimal and its members
// are in sync again.
void FinishResync(json& ctl, json& vol) {
  if (Num(vol, "state", 0) == 1) vol["state"] = 0;
  for (const VolumeMember& m : VolumeMembers(vol)) {
    json* pd = PhysDiskEntry(ctl, m.num);
    if (pd && Num(*pd, "status_flags", 0) == 1) (*pd)["status_flags"] = 0;
  }
}

}  // namespace

uint16_t ReportProgress(json& ctl, const Message& msg, Completion& out) {
  json* vol = VolumeEntry(ctl, FrameVolumeBus(msg), FrameVolumeId(msg));
  if (!vol) return kActionNotFound;
  uint64_t total = VolumeMaxLba(ctl, *vol) + 1;
  uint64_t remaining = 0;
  if (VolumeResyncing(*vol)) {
    json& resync = (*vol)["resync"];
    total = Num(resync, "total", total);
    remaining = Num(resync, "remaining", 0);
    uint64_t step = Num(resync, "step", std::max<uint64_t>(total / 8, 1));
    uint64_t left = remaining > step ? remaining - step : 0;
    resync["remaining"] = left;
    if (left == 0) FinishResync(ctl, *vol);
    out.changed = true;
  }
  Put64(out.reply, 24, total);
  Put64(out.reply, 32, remaining);
  return kActionDone;
}

}  // namespace vxtsim
