#include "raid/raid_edit.h"

#include "firmware/raid_config.h"
#include "firmware/scsi_target.h"

namespace vxtsim {

void StartResync(const Controller& ctl, Volume& vol) {
  uint64_t blocks = VolumeMaxLba(ctl, vol) + 1;
  vol.state = kVolumeDegraded;
  vol.resync = Resync();
  vol.resync.given = true;
  vol.resync.total = blocks;
  vol.resync.remaining = blocks;
}

void CopyToMirrorMember(Controller& ctl, const Volume& vol, uint8_t num) {
  const PhysDisk* source = nullptr;
  for (const VolumeMember& m : vol.members) {
    const PhysDisk* pd = FindPhysDisk(ctl, m.num);
    if (!source && m.num != num && pd && pd->state == kDiskOnline &&
        pd->status_flags != kDiskOutOfSync) {
      source = pd;
    }
  }
  const PhysDisk* target = FindPhysDisk(ctl, num);
  if (!source || !target) return;
  Device* from = DiskAt(ctl, source->bus, source->target);
  Device* to = DiskAt(ctl, target->bus, target->target);
  if (!from || !to) return;
  to->block_data = from->block_data;
}

void ClearOutOfSync(Controller& ctl, const Volume& vol) {
  for (const VolumeMember& m : vol.members) {
    PhysDisk* pd = FindPhysDisk(ctl, m.num);
    if (pd && pd->status_flags == kDiskOutOfSync) pd->status_flags = 0;
  }
}

}  // namespace vxtsim
