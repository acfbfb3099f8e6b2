// Actions 10 and 11 take a member of a redundant volume offline and bring
// it back. The firmware refuses to take away a volume's last good copy of
// any block; a member that comes back online is resynchronised.
#include "raid_actions.h"
#include "raid_config.h"
#include "raid_edit.h"

namespace vxtsim {

namespace {

constexpr uint8_t kDiskOnline = 0, kDiskOfflineRequested = 5;
constexpr uint8_t kOutOfSync = 1;

// The member's physical disk and its volume, checked as far as both
// actions need it.
uint16_t FindMember(json& ctl, const Message& msg, json*& pd, json*& vol) {
  if (msg.HasData() && !PageImage(ctl, "RaidPhysDiskPg0", msg)) return kActionInvalid;
  uint8_t num = FramePhysDiskNum(msg);
  pd = PhysDiskEntry(ctl, num);
  if (!pd) return kActionNotFound;
  vol = VolumeOfMember(ctl, num);
  if (!vol) return kActionInvalid;
  if (VolumeType(*vol) == kVolumeIS) return kActionInUse;
  return kActionDone;
}

bool InSync(const json& pd) {
  return Num(pd, "state", kDiskOnline) == kDiskOnline && Num(pd, "status_flags", 0) != kOutOfSync;
}

}  // namespace

uint16_t SetPhysDiskOffline(json& ctl, const Message& msg, Completion& out) {
  json *pd = nullptr, *vol = nullptr;
  uint16_t status = FindMember(ctl, msg, pd, vol);
  if (status != kActionDone) return status;
  if (Num(*pd, "state", kDiskOnline) == kDiskOfflineRequested) return kActionDone;
  for (const VolumeMember& m : VolumeMembers(*vol)) {
    const json* other = FindPhysDisk(ctl, m.num);
    if (m.num != PhysDiskNum(*pd) && (!other || !InSync(*other))) return kActionInUse;
  }
  (*pd)["state"] = kDiskOfflineRequested;
  (*vol)["state"] = 1;
  // A resynchronisation has no copy left to write to.
  vol->erase("resync");
  out.changed = true;
  return kActionDone;
}

uint16_t SetPhysDiskOnline(json& ctl, const Message& msg, Completion& out) {
  json *pd = nullptr, *vol = nullptr;
  uint16_t status = FindMember(ctl, msg, pd, vol);
  if (status != kActionDone) return status;
  if (Num(*pd, "state", kDiskOnline) == kDiskOnline) return kActionDone;
  (*pd)["state"] = kDiskOnline;
  (*pd)["status_flags"] = kOutOfSync;
  StartResync(ctl, *vol);
  if (VolumeType(*vol) == kVolumeIM) CopyToMirrorMember(ctl, *vol, PhysDiskNum(*pd));
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
