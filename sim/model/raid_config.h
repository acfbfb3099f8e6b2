// The RAID configuration of a controller as the lab describes it once:
// physical disks, volumes and their members, hot spares. The configuration
// pages are derived from it.
#pragma once

#include <cstdint>
#include <vector>

#include "lab_values.h"

namespace vxtsim {

enum VolumeTypeCode : uint8_t { kVolumeIS = 0, kVolumeIME = 1, kVolumeIM = 2 };

struct VolumeMember {
  uint8_t num;  // PhysDiskNum
  uint8_t map;  // PhysDiskMap
};

const json& Volumes(const json& ctl);
const json& PhysDisks(const json& ctl);

uint8_t VolumeType(const json& vol);
uint8_t VolumeId(const json& vol);
uint8_t VolumeBus(const json& vol);
bool VolumeInactive(const json& vol);
bool VolumeResyncing(const json& vol);
uint8_t VolumeStatusFlags(const json& vol);
std::vector<VolumeMember> VolumeMembers(const json& vol);
uint64_t VolumeMaxLba(const json& ctl, const json& vol);
const json* FindVolume(const json& ctl, uint8_t bus, uint8_t id);

uint8_t PhysDiskNum(const json& pd);
const json* FindPhysDisk(const json& ctl, uint8_t num);
uint32_t PhysDiskMaxLba(const json& ctl, const json& pd);
// A disk's highest block address as a 32-bit page field holds it: larger
// disks show the highest address the field can carry.
uint32_t DiskMaxLba(const json& dev);
// A physical disk that no volume uses and that belongs to a hot-spare pool.
bool IsHotSpare(const json& ctl, const json& pd);
bool IsVolumeMember(const json& ctl, uint8_t num);

}  // namespace vxtsim
