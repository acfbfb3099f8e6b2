// Action 3 deletes a volume. Its members stay physical disks, hidden from
// plain I/O, until each is deleted in turn. A mirror's blocks stay on its
// members; what a stripe set kept goes with it.
#include "raid_actions.h"
#include "raid_config.h"
#include "raid_edit.h"

namespace vxtsim {

uint16_t DeleteVolume(json& ctl, const Message& msg, Completion& out) {
  json* vol = VolumeEntry(ctl, FrameVolumeBus(msg), FrameVolumeId(msg));
  if (!vol) return kActionNotFound;
  // Out of sync means nothing without the volume.
  for (const VolumeMember& m : VolumeMembers(*vol)) {
    json* pd = PhysDiskEntry(ctl, m.num);
    if (pd && Num(*pd, "status_flags", 0) == 1) (*pd)["status_flags"] = 0;
  }
  json& volumes = VolumeList(ctl);
  for (size_t i = 0; i < volumes.size(); ++i) {
    if (&volumes[i] == vol) {
      volumes.erase(i);
      break;
    }
  }
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
