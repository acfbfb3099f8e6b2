// Actions 10 and 11 take a member of a redundant volume offline and bring
// it back. The firmware refuses to take away a volume's last good copy of
// any block, and a request for the state the disk is in already; a member
// that comes back online is resynchronised. A member taken offline on
// purpose has not failed: no hot spare takes its place.
#include "firmware/raid_config.h"
#include "raid/raid_actions.h"
#include "raid/raid_edit.h"

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

}  // namespace

uint16_t SetPhysDiskOffline(Controller& ctl, const Message& msg, Completion& out) {
  PhysDisk* pd = nullptr;
  Volume* vol = nullptr;
  uint16_t status = FindMember(ctl, msg, pd, vol);
  if (status != kActionDone) return status;
  // Already offline, or failed: nothing to take offline.
  if (pd->state != kDiskOnline) return kActionInUse;
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
  // Online already, or a failed disk that cannot come back.
  if (pd->state == kDiskOnline || pd->failed || pd->state == kDiskFailed) return kActionInUse;
  pd->state = kDiskOnline;
  pd->status_flags = kDiskOutOfSync;
  StartResync(ctl, *vol);
  if (vol->type == kVolumeIM) CopyToMirrorMember(ctl, *vol, pd->num);
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
