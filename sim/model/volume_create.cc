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

#include "controller.h"
#include "raid_actions.h"
#include "raid_config.h"
#include "raid_edit.h"
#include "raid_limits.h"
#include "scsi_target.h"

namespace vxtsim {

namespace {

struct VolumeImage {
  uint8_t id, bus, type, members;
  uint16_t settings;
  uint8_t hot_spare_pool;
  uint64_t max_lba;
};

VolumeImage ReadImage(const Bytes& image) {
  return {Get8(image, 4),
          Get8(image, 5),
          Get8(image, 7),
          Get8(image, 36),
          Get16(image, 12),
          Get8(image, 14),
          uint64_t{Get32(image, 20)} << 32 | Get32(image, 16)};
}

VolumeMember ImageMember(const Bytes& image, size_t m) {
  return {Get8(image, 43 + 4 * m), Get8(image, 42 + 4 * m)};
}

// Every member a free, online, distinct physical disk; a mirror's two with
// the primary and secondary roles. Collects the members' sizes.
uint16_t CheckMembers(json& ctl, const VolumeImage& v, const Bytes& image,
                      std::vector<uint64_t>& sizes, std::set<uint8_t>& targets) {
  std::set<uint8_t> nums, maps;
  for (size_t m = 0; m < v.members; ++m) {
    VolumeMember member = ImageMember(image, m);
    const json* pd = FindPhysDisk(ctl, member.num);
    if (!pd) return kActionNotFound;
    if (!nums.insert(member.num).second) return kActionInvalid;
    if (Num(*pd, "hot_spare_pool", 0) != 0 || IsVolumeMember(ctl, member.num) ||
        Num(*pd, "state", 0) != 0) {
      return kActionInUse;
    }
    maps.insert(member.map);
    sizes.push_back(uint64_t{PhysDiskMaxLba(ctl, *pd)} + 1);
    if (Num(*pd, "bus", 0) == v.bus) targets.insert(static_cast<uint8_t>(Num(*pd, "target", 0)));
  }
  if (v.type == kVolumeIM && maps != std::set<uint8_t>{1, 2}) return kActionInvalid;
  return kActionDone;
}

uint16_t CheckVolume(json& ctl, const Message& msg, const VolumeImage& v) {
  if (v.id != FrameVolumeId(msg) || v.bus != FrameVolumeBus(msg)) return kActionInvalid;
  if (msg.data_out.size() < 40 + 4 * size_t{v.members}) return kActionInvalid;
  if (!TypeSupported(ctl, v.type)) return kActionLimit;
  MemberCount count = MemberCountLimits(ctl, v.type);
  if (v.members < count.min || v.members > count.max) return kActionLimit;
  if (Volumes(ctl).size() >= PageField(ctl, "IocPg2", "MaxVolumes")) return kActionLimit;
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
uint64_t NewWwid(json& ctl, uint8_t bus, uint8_t id) {
  json& runtime = ctl["runtime"];
  uint64_t made = Num(runtime, "volumes_made", 0);
  for (;;) {
    ++made;
    uint64_t wwid = 0x50000D1100000000ull | uint64_t{IocNumber(ctl)} << 24 | (made & 0xFF) << 16 |
                    uint64_t{bus} << 8 | id;
    bool taken = false;
    for (const json& vol : Volumes(ctl)) taken = taken || Num(vol, "wwid", 0) == wwid;
    if (!taken) {
      runtime["volumes_made"] = made;
      return wwid;
    }
  }
}

}  // namespace

uint16_t CreateVolume(json& ctl, const Message& msg, Completion& out) {
  if (!PageImage(ctl, "RaidVolPg0", msg)) return kActionInvalid;
  VolumeImage v = ReadImage(msg.data_out);
  uint16_t status = CheckVolume(ctl, msg, v);
  if (status != kActionDone) return status;

  json vol = {{"id", v.id},
              {"bus", v.bus},
              {"ioc", IocNumber(ctl)},
              {"type", v.type},
              {"members", json::array()},
              {"state", 0},
              {"settings", v.settings},
              {"hot_spare_pool", v.hot_spare_pool},
              {"max_lba", v.max_lba},
              {"wwid", NewWwid(ctl, v.bus, v.id)}};
  for (size_t m = 0; m < v.members; ++m) {
    VolumeMember member = ImageMember(msg.data_out, m);
    vol["members"].push_back({{"num", member.num}, {"map", member.map}});
  }
  bool quick = v.type == kVolumeIM && (FrameDataWord(msg) & 1);
  if (v.type == kVolumeIME || (v.type == kVolumeIM && !quick)) StartResync(ctl, vol);
  if (v.type == kVolumeIM && !quick) {
    for (const VolumeMember& m : VolumeMembers(vol)) {
      if (m.map != 2) continue;
      (*PhysDiskEntry(ctl, m.num))["status_flags"] = 1;
      CopyToMirrorMember(ctl, vol, m.num);
    }
  }
  VolumeList(ctl).push_back(vol);
  out.changed = true;
  return kActionDone;
}

}  // namespace vxtsim
