// Action 2 creates a volume from a RaidVolPg0 image. The firmware accepts
// only what it can keep: free, online physical disks as members, a member
// count and a type the controller supports, room in its volume table, an
// unused target ID, and a size the members hold. For a mirror (IM) bit 0 of
// the data word asks for a quick sync: the volume is optimal at once, its
// contents whatever the members held. Without it, and always for an
// enhanced mirror (IME), the copies are synchronised in the background; a
// stripe set (IS) has nothing to synchronise.
#include <set>
#include <vector>

#include "firmware/controller.h"
#include "firmware/raid_config.h"
#include "firmware/raid_limits.h"
#include "firmware/scsi_target.h"
#include "raid/raid_actions.h"
#include "raid/raid_edit.h"

namespace vxtsim {

namespace {

struct VolumeImage {
  uint8_t id, bus, type, members;
  uint16_t settings;
  uint8_t hot_spare_pool;
  uint64_t max_lba;
};

namespace P = layout::raid_vol_pg0;

VolumeImage ReadImage(const Bytes& image) {
  return {Get8(image, P::kVolumeId),
          Get8(image, P::kVolumeBus),
          Get8(image, P::kVolumeType),
          Get8(image, P::kNumPhysDisks),
          Get16(image, P::kSettings),
          Get8(image, P::kHotSparePool),
          uint64_t{Get32(image, P::kMaxLbaHigh)} << 32 | Get32(image, P::kMaxLbaLow)};
}

VolumeMember ImageMember(const Bytes& image, size_t m) {
  VolumeMember member;
  size_t at = P::kPhysDisks + P::kPhysDiskSize * m;
  member.num = Get8(image, at + P::kPhysDiskNum);
  member.map = Get8(image, at + P::kPhysDiskMap);
  member.as_object = member.map_given = true;
  return member;
}

// Every member a free, online, distinct physical disk; a mirror's two with
// the primary and secondary roles. Collects the members' sizes.
uint16_t CheckMembers(const Controller& ctl, const VolumeImage& v, const Bytes& image,
                      std::vector<uint64_t>& sizes, std::set<uint8_t>& targets) {
  std::set<uint8_t> nums, maps;
  for (size_t m = 0; m < v.members; ++m) {
    VolumeMember member = ImageMember(image, m);
    const PhysDisk* pd = FindPhysDisk(ctl, member.num);
    if (!pd) return kActionNotFound;
    if (!nums.insert(member.num).second) return kActionInvalid;
    if (pd->hot_spare_pool != 0 || IsVolumeMember(ctl, member.num) || pd->state != kDiskOnline) {
      return kActionInUse;
    }
    maps.insert(member.map);
    sizes.push_back(uint64_t{PhysDiskMaxLba(ctl, *pd)} + 1);
    if (pd->bus == v.bus) targets.insert(pd->target);
  }
  if (v.type == kVolumeIM && maps != std::set<uint8_t>{1, 2}) return kActionInvalid;
  return kActionDone;
}

uint16_t CheckVolume(const Controller& ctl, const Message& msg, const VolumeImage& v) {
  if (v.id != FrameVolumeId(msg) || v.bus != FrameVolumeBus(msg)) return kActionInvalid;
  if (msg.data_out.size() < 40 + 4 * size_t{v.members}) return kActionInvalid;
  if (!TypeSupported(ctl, v.type)) return kActionLimit;
  MemberCount count = MemberCountLimits(ctl, v.type);
  if (v.members < count.min || v.members > count.max) return kActionLimit;
  if (ctl.raid.volumes.size() >= PageField(ctl, kIocPg2, kMaxVolumes)) return kActionLimit;
  if (FindVolume(ctl, v.bus, v.id)) return kActionInUse;

  std::vector<uint64_t> sizes;
  std::set<uint8_t> member_targets;
  uint16_t status = CheckMembers(ctl, v, msg.data_out, sizes, member_targets);
  if (status != kActionDone) return status;
  // The volume answers at its ID; a disk outside the volume must not.
  if (DiskAt(ctl, v.bus, v.id) && !member_targets.count(v.id)) return kActionInUse;
  if ((v.max_lba >> 32) && !WideVolumesSupported(ctl)) return kActionLimit;
  if (v.max_lba >= VolumeCapacity(ctl, v.type, sizes)) return kActionTooLarge;
  return kActionDone;
}

// World-wide identifiers follow the controller and a count of the volumes
// it has made, so a volume made again at the same ID is a new device.
uint64_t NewWwid(Controller& ctl, uint8_t bus, uint8_t id) {
  uint64_t made = ctl.runtime.volumes_made;
  for (;;) {
    ++made;
    uint64_t wwid = 0x50000D1100000000ull | uint64_t{ctl.IocNumber()} << 24 | (made & 0xFF) << 16 |
                    uint64_t{bus} << 8 | id;
    bool taken = false;
    for (const Volume& vol : ctl.raid.volumes) {
      taken = taken || (vol.wwid.given ? vol.wwid.value : 0) == wwid;
    }
    if (!taken) {
      ctl.runtime.volumes_made = made;
      return wwid;
    }
  }
}

}  // namespace

uint16_t CreateVolume(Controller& ctl, const Message& msg, Completion& out) {
  if (!PageImage(ctl, kRaidVolPg0, msg)) return kActionInvalid;
  VolumeImage v = ReadImage(msg.data_out);
  uint16_t status = CheckVolume(ctl, msg, v);
  if (status != kActionDone) return status;

  Volume vol;
  vol.id = v.id;
  vol.bus = v.bus;
  vol.ioc = ctl.IocNumber();
  vol.type = v.type;
  vol.members_given = true;
  vol.state = kVolumeOptimal;
  vol.settings = v.settings;
  vol.hot_spare_pool = v.hot_spare_pool;
  vol.max_lba = v.max_lba;
  vol.wwid = NewWwid(ctl, v.bus, v.id);
  for (size_t m = 0; m < v.members; ++m) vol.members.push_back(ImageMember(msg.data_out, m));
  bool quick = v.type == kVolumeIM && (FrameDataWord(msg) & 1);
  if (v.type == kVolumeIME || (v.type == kVolumeIM && !quick)) StartResync(ctl, vol);
  if (v.type == kVolumeIM && !quick) {
    for (const VolumeMember& m : vol.members) {
      if (m.map != 2) continue;
      FindPhysDisk(ctl, m.num)->status_flags = kDiskOutOfSync;
      CopyToMirrorMember(ctl, vol, m.num);
    }
  }
  ctl.raid.given = ctl.raid.volumes_given = true;
  ctl.raid.volumes.push_back(std::move(vol));
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
