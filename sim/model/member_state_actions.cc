// Actions 10 and 11 take a member of a redundant volume offline and bring
// it back. The firmware refuses to take away a volume's last good copy of
// any block; a member that comes back online is resynchronised.
#include "raid_actions.h"
#include "raid_config.h"
#include "raid_edit.h"

namespace vxtsim {

namespace {

// The member's physical disk and its volume, checked as far as both
// actions need it.
uint16_t FindMember(Controller& ctl, const Message& msg, PhysDisk*& pd, Volume*& vol) {
  if (msg.HasData() && !PageImage(ctl, kRaidPhysDiskPg0, msg)) return kActionInvalid;
  uint8_t num = FramePhysDiskNum(msg);
  pd = FindPhysDisk(ctl, num);
  if (!pd) return kActionNotFound;
  vol = VolumeOfMember(ctl, num);
  if (!vol) return kActionInvalid;
  if (vol->type == kVolumeIS) return kActionInUse;
  return kActionDone;
}

bool InSync(const PhysDisk& pd) {
  return pd.state == kDiskOnline && pd.status_flags != kDiskOutOfSync;
}

}  // namespace

uint16_t SetPhysDiskOffline(Controller& ctl, const Message& msg, Completion& out) {
  PhysDisk* pd = nullptr;
  Volume* vol = nullptr;
  uint16_t status = FindMember(ctl, msg, pd, vol);
  if (status != kActionDone) return status;
  if (pd->state == kDiskOfflineRequested) return kActionDone;
  for (const VolumeMember& m : vol->members) {
    const PhysDisk* other = FindPhysDisk(ctl, m.num);
    if (m.num != pd->num && (!other || !InSync(*other))) return kActionInUse;
  }
  pd->state = kDiskOfflineRequested;
  vol->state = kVolumeDegraded;
  // A resynchronisation has no copy left to write to.
  vol->resync = Resync();
  out.changed = true;
  return kActionDone;
}

uint16_t SetPhysDiskOnline(Controller& ctl, const Message& msg, Completion& out) {
  PhysDisk* pd = nullptr;
  Volume* vol = nullptr;
  uint16_t status = FindMember(ctl, msg, pd, vol);
  if (status != kActionDone) return status;
  if (pd->state == kDiskOnline) return kActionDone;
  pd->state = kDiskOnline;
  pd->status_flags = kDiskOutOfSync;
  StartResync(ctl, *vol);
  if (vol->type == kVolumeIM) CopyToMirrorMember(ctl, *vol, pd->num);
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
