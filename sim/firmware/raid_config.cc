#include "firmware/raid_config.h"

#include <algorithm>

#include "firmware/controller.h"
#include "firmware/raid_limits.h"

namespace vxtsim {

uint8_t VolumeStatusFlags(const Volume& vol) {
  if (vol.status_flags.given) return vol.status_flags.value;
  uint8_t derived = 0x01;
  if (vol.Resyncing()) derived |= 0x04;
  if (vol.inactive) derived |= 0x08;
  return derived;
}

uint64_t VolumeMaxLba(const Controller& ctl, const Volume& vol) {
  if (vol.max_lba.given) return vol.max_lba.value;
  std::vector<uint64_t> sizes;
  for (const VolumeMember& m : vol.members) {
    const PhysDisk* pd = FindPhysDisk(ctl, m.num);
    sizes.push_back(pd ? uint64_t{PhysDiskMaxLba(ctl, *pd)} + 1 : 0);
  }
  uint64_t blocks = VolumeCapacity(ctl, vol.type, sizes);
  if (vol.type == kVolumeIM) {
    // A lab mirror without a stated size leaves the metadata reserve free,
    // as a host building the largest mirror does.
    uint64_t reserve = MetadataReserveBlocks(ctl, vol.type);
    blocks = blocks > reserve ? blocks - reserve : 0;
  }
  return blocks ? blocks - 1 : 0;
}

const Volume* FindVolume(const Controller& ctl, uint8_t bus, uint8_t id) {
  for (const Volume& vol : ctl.raid.volumes) {
    if (vol.id.value == id && vol.bus.value == bus) return &vol;
  }
  return nullptr;
}

Volume* FindVolume(Controller& ctl, uint8_t bus, uint8_t id) {
  return const_cast<Volume*>(FindVolume(static_cast<const Controller&>(ctl), bus, id));
}

const PhysDisk* FindPhysDisk(const Controller& ctl, uint8_t num) {
  for (const PhysDisk& pd : ctl.raid.phys_disks) {
    if (pd.num.value == num) return &pd;
  }
  return nullptr;
}

PhysDisk* FindPhysDisk(Controller& ctl, uint8_t num) {
  return const_cast<PhysDisk*>(FindPhysDisk(static_cast<const Controller&>(ctl), num));
}

uint32_t PhysDiskMaxLba(const Controller& ctl, const PhysDisk& pd) {
  if (pd.max_lba.given) return pd.max_lba.value;
  const Device* dev = FindDeviceAtTarget(ctl, pd.target);
  return dev ? DiskMaxLba(*dev) : 0;
}

uint32_t DiskMaxLba(const Device& dev) {
  uint64_t blocks = dev.blocks;
  return static_cast<uint32_t>(std::min<uint64_t>(blocks ? blocks - 1 : 0, 0xFFFFFFFF));
}

const Volume* VolumeOfMember(const Controller& ctl, uint8_t num) {
  for (const Volume& vol : ctl.raid.volumes) {
    for (const VolumeMember& m : vol.members) {
      if (m.num == num) return &vol;
    }
  }
  return nullptr;
}

Volume* VolumeOfMember(Controller& ctl, uint8_t num) {
  return const_cast<Volume*>(VolumeOfMember(static_cast<const Controller&>(ctl), num));
}

bool IsVolumeMember(const Controller& ctl, uint8_t num) {
  return VolumeOfMember(ctl, num) != nullptr;
}

bool InSync(const PhysDisk& pd) {
  return pd.state == kDiskOnline && pd.status_flags != kDiskOutOfSync;
}

bool IsHotSpare(const Controller& ctl, const PhysDisk& pd) {
  return pd.hot_spare_pool != 0 && !IsVolumeMember(ctl, pd.num);
}

size_t HotSpareCount(const Controller& ctl) {
  size_t spares = 0;
  for (const PhysDisk& pd : ctl.raid.phys_disks) spares += IsHotSpare(ctl, pd) ? 1 : 0;
  return spares;
}

bool IsPhysDiskTarget(const Controller& ctl, uint8_t bus, uint8_t target) {
  for (const PhysDisk& pd : ctl.raid.phys_disks) {
    if (pd.target.value == target && pd.bus.value == bus) return true;
  }
  return false;
}

}  // namespace vxtsim
