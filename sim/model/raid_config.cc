#include "raid_config.h"

#include <algorithm>

#include "controller.h"
#include "raid_limits.h"

namespace vxtsim {

const json& Volumes(const json& ctl) { return List(Member(ctl, "raid"), "volumes"); }
const json& PhysDisks(const json& ctl) { return List(Member(ctl, "raid"), "phys_disks"); }

uint8_t VolumeType(const json& vol) {
  const json& t = Member(vol, "type");
  if (t.is_string()) {
    std::string name = t.get<std::string>();
    if (name == "IS" || name == "is" || name == "RAID0") return kVolumeIS;
    if (name == "IME" || name == "ime" || name == "RAID1E") return kVolumeIME;
    if (name == "IM" || name == "im" || name == "RAID1") return kVolumeIM;
  }
  return static_cast<uint8_t>(Num(vol, "type", kVolumeIM));
}

uint8_t VolumeId(const json& vol) { return static_cast<uint8_t>(Num(vol, "id", 0)); }
uint8_t VolumeBus(const json& vol) { return static_cast<uint8_t>(Num(vol, "bus", 0)); }
bool VolumeInactive(const json& vol) { return Flag(vol, "inactive", false); }

bool VolumeResyncing(const json& vol) {
  const json& resync = Member(vol, "resync");
  return resync.is_object() && Num(resync, "remaining", 0) > 0;
}

uint8_t VolumeStatusFlags(const json& vol) {
  uint8_t derived = 0x01;
  if (VolumeResyncing(vol)) derived |= 0x04;
  if (VolumeInactive(vol)) derived |= 0x08;
  return static_cast<uint8_t>(Num(vol, "status_flags", derived));
}

std::vector<VolumeMember> VolumeMembers(const json& vol) {
  std::vector<VolumeMember> members;
  uint8_t type = VolumeType(vol);
  for (const json& m : List(vol, "members")) {
    uint8_t position = static_cast<uint8_t>(members.size());
    uint8_t map = type == kVolumeIM ? static_cast<uint8_t>(position + 1) : position;
    if (m.is_object()) {
      members.push_back({static_cast<uint8_t>(Num(m, "num", 0)),
                         static_cast<uint8_t>(Num(m, "map", map))});
    } else {
      members.push_back({static_cast<uint8_t>(ToNum(m, "volume member")), map});
    }
  }
  return members;
}

uint64_t VolumeMaxLba(const json& ctl, const json& vol) {
  if (!Member(vol, "max_lba").is_null()) return Num(vol, "max_lba", 0);
  std::vector<uint64_t> sizes;
  for (const VolumeMember& m : VolumeMembers(vol)) {
    const json* pd = FindPhysDisk(ctl, m.num);
    sizes.push_back(pd ? uint64_t{PhysDiskMaxLba(ctl, *pd)} + 1 : 0);
  }
  uint8_t type = VolumeType(vol);
  uint64_t blocks = VolumeCapacity(ctl, type, sizes);
  if (type == kVolumeIM) {
    // A lab mirror without a stated size leaves the metadata reserve free,
    // as a host building the largest mirror does.
    uint64_t reserve = MetadataReserveBlocks(ctl, type);
    blocks = blocks > reserve ? blocks - reserve : 0;
  }
  return blocks ? blocks - 1 : 0;
}

const json* FindVolume(const json& ctl, uint8_t bus, uint8_t id) {
  for (const json& vol : Volumes(ctl)) {
    if (VolumeId(vol) == id && VolumeBus(vol) == bus) return &vol;
  }
  return nullptr;
}

uint8_t PhysDiskNum(const json& pd) { return static_cast<uint8_t>(Num(pd, "num", 0)); }

const json* FindPhysDisk(const json& ctl, uint8_t num) {
  for (const json& pd : PhysDisks(ctl)) {
    if (PhysDiskNum(pd) == num) return &pd;
  }
  return nullptr;
}

uint32_t PhysDiskMaxLba(const json& ctl, const json& pd) {
  if (!Member(pd, "max_lba").is_null()) return static_cast<uint32_t>(Num(pd, "max_lba", 0));
  const json* dev = FindDeviceAtTarget(ctl, static_cast<uint32_t>(Num(pd, "target", 0)));
  return dev ? DiskMaxLba(*dev) : 0;
}

uint32_t DiskMaxLba(const json& dev) {
  uint64_t blocks = Num(dev, "blocks", 0);
  return static_cast<uint32_t>(std::min<uint64_t>(blocks ? blocks - 1 : 0, 0xFFFFFFFF));
}

bool IsVolumeMember(const json& ctl, uint8_t num) {
  for (const json& vol : Volumes(ctl)) {
    for (const VolumeMember& m : VolumeMembers(vol)) {
      if (m.num == num) return true;
    }
  }
  return false;
}

bool IsHotSpare(const json& ctl, const json& pd) {
  return Num(pd, "hot_spare_pool", 0) != 0 && !IsVolumeMember(ctl, PhysDiskNum(pd));
}

}  // namespace vxtsim
