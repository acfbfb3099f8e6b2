// What answers a SCSI request: a disk addressed by target ID or, through
// the RAID-member pass-through, by PhysDiskNum, or a volume at its own ID.
#pragma once

#include <cstdint>
#include <vector>

#include "bytes.h"
#include "lab_values.h"

namespace vxtsim {

struct ScsiTarget {
  json* disk = nullptr;    // the device's lab entry (disks)
  json* volume = nullptr;  // the volume's lab entry (volumes)
  uint64_t blocks = 0;
  uint32_t block_size = 512;
  // Where the blocks live: the disk; a mirror's online members, the first
  // answering reads; the volume itself for stripe sets.
  std::vector<json*> stores;

  explicit operator bool() const { return disk || volume; }
};

// The disk at a bus and target ID, RAID member or not.
json* DiskAt(json& ctl, uint8_t bus, uint8_t target);

// Plain I/O reaches disks that are not part of the RAID configuration and
// volumes; member pass-through reaches physical disks by number.
ScsiTarget FindScsiTarget(json& ctl, bool member_path, uint8_t bus, uint8_t target);

// The disks of a mirror's online members, the primary first.
std::vector<json*> MirrorDisks(json& ctl, const json& vol);

// A disk's stored blocks: {"lba": "hex"}; missing blocks read as zeros.
void ReadBlocks(const json& item, uint64_t lba, uint32_t count, uint32_t block_size, Bytes& out);
void WriteBlocks(json& item, uint64_t lba, uint32_t count, uint32_t block_size, const Bytes& in);

}  // namespace vxtsim
