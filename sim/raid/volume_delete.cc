// Action 3 deletes a volume. Its members stay physical disks, hidden from
// plain I/O, until each is deleted in turn. A mirror's blocks stay on its
// members; what a stripe set kept goes with it.
#include "firmware/raid_config.h"
#include "raid/raid_actions.h"
#include "raid/raid_edit.h"

namespace vxtsim {

uint16_t DeleteVolume(Controller& ctl, const Message& msg, Completion& out) {
  Volume* vol = FindVolume(ctl, FrameVolumeBus(msg), FrameVolumeId(msg));
  if (!vol) return kActionNotFound;
  // Out of sync means nothing without the volume.
  ClearOutOfSync(ctl, *vol);
  std::vector<Volume>& volumes = ctl.raid.volumes;
  volumes.erase(volumes.begin() + (vol - volumes.data()));
  ctl.raid.given = ctl.raid.volumes_given = true;
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
