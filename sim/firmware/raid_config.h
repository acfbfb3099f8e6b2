// Questions about a controller's RAID configuration that the pages, the
// actions and the SCSI targets share.
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"

namespace vxtsim {

uint8_t VolumeStatusFlags(const Volume& vol);
uint64_t VolumeMaxLba(const Controller& ctl, const Volume& vol);
const Volume* FindVolume(const Controller& ctl, uint8_t bus, uint8_t id);
Volume* FindVolume(Controller& ctl, uint8_t bus, uint8_t id);

const PhysDisk* FindPhysDisk(const Controller& ctl, uint8_t num);
PhysDisk* FindPhysDisk(Controller& ctl, uint8_t num);
uint32_t PhysDiskMaxLba(const Controller& ctl, const PhysDisk& pd);
// A disk's highest block address as a 32-bit page field holds it: larger
// disks show the highest address the field can carry.
uint32_t DiskMaxLba(const Device& dev);

// The volume that has this physical disk as a member, or null.
const Volume* VolumeOfMember(const Controller& ctl, uint8_t num);
Volume* VolumeOfMember(Controller& ctl, uint8_t num);
bool IsVolumeMember(const Controller& ctl, uint8_t num);
// Online and holding a good copy of its volume's blocks.
bool InSync(const PhysDisk& pd);
// A physical disk that no volume uses and that belongs to a hot-spare pool.
bool IsHotSpare(const Controller& ctl, const PhysDisk& pd);
size_t HotSpareCount(const Controller& ctl);
// Whether a physical disk stands for the disk at this bus and target.
bool IsPhysDiskTarget(const Controller& ctl, uint8_t bus, uint8_t target);

}  // namespace vxtsim
