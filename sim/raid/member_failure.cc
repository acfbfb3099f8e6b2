#include "raid/member_failure.h"

#include "firmware/raid_config.h"
#include "firmware/raid_limits.h"
#include "raid/raid_edit.h"

namespace vxtsim {

namespace {

uint64_t Blocks(const Controller& ctl, const PhysDisk& pd) {
  return uint64_t{PhysDiskMaxLba(ctl, pd)} + 1;
}

// The smallest hot spare of the volume's pools that holds a member; the
// larger ones stay for volumes that need them.
PhysDisk* FittingSpare(Controller& ctl, const Volume& vol) {
  uint64_t needed = MemberBlocksNeeded(ctl, vol);
  PhysDisk* best = nullptr;
  for (PhysDisk& pd : ctl.raid.phys_disks) {
    if (!IsHotSpare(ctl, pd) || pd.failed || pd.state != kDiskOnline) continue;
    if ((pd.hot_spare_pool & vol.hot_spare_pool) == 0) continue;
    uint64_t blocks = Blocks(ctl, pd);
    if (blocks >= needed && (!best || blocks < Blocks(ctl, *best))) best = &pd;
  }
  return best;
}

void TakeOver(Controller& ctl, Volume& vol, VolumeMember& member, PhysDisk& spare) {
  // The volume keeps its size whatever the new member holds.
  if (!vol.max_lba.given) vol.max_lba = VolumeMaxLba(ctl, vol);
  member.num = spare.num;
  // A member now, in no pool.
  spare.hot_spare_pool = 0;
  spare.state = kDiskOnline;
  spare.status_flags = kDiskOutOfSync;
  StartResync(ctl, vol);
  if (vol.type == kVolumeIM) CopyToMirrorMember(ctl, vol, spare.num);
}

void TakeOutOfService(Controller& ctl, PhysDisk& pd) {
  pd.state = kDiskFailed;
  Volume* vol = VolumeOfMember(ctl, pd.num);
  if (!vol) return;
  if (vol->type == kVolumeIS) {
    vol->state = kVolumeFailed;
    return;
  }
  bool copy_left = false;
  for (const VolumeMember& m : vol->members) {
    const PhysDisk* other = FindPhysDisk(ctl, m.num);
    if (m.num != pd.num && other && InSync(*other)) copy_left = true;
  }
  // Whatever was being resynchronised has lost its source or its target.
  vol->resync = Resync();
  if (!copy_left) {
    vol->state = kVolumeFailed;
    return;
  }
  vol->state = kVolumeDegraded;
  PhysDisk* spare = FittingSpare(ctl, *vol);
  if (!spare) return;
  for (VolumeMember& m : vol->members) {
    if (m.num == pd.num) return TakeOver(ctl, *vol, m, *spare);
  }
}

}  // namespace

uint64_t MemberBlocksNeeded(const Controller& ctl, const Volume& vol) {
  uint64_t blocks = VolumeMaxLba(ctl, vol) + 1;
  uint64_t reserve = MetadataReserveBlocks(ctl, vol.type);
  if (vol.type != kVolumeIME || vol.members.empty()) return blocks + reserve;
  uint64_t n = vol.members.size();
  return reserve + (2 * blocks + n - 1) / n;
}

bool FailPhysDisk(Controller& ctl, uint8_t num) {
  PhysDisk* pd = FindPhysDisk(ctl, num);
  if (!pd) return false;
  pd->failed = true;
  HandleFailedDisks(ctl);
  return true;
}

bool HandleFailedDisks(Controller& ctl) {
  bool changed = false;
  for (PhysDisk& pd : ctl.raid.phys_disks) {
    if (!pd.failed || pd.state == kDiskFailed) continue;
    TakeOutOfService(ctl, pd);
    changed = true;
  }
  return changed;
}

}  // namespace vxtsim
