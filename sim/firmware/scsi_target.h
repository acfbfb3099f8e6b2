// What answers a SCSI request: a disk addressed by target ID or, through
// the RAID-member pass-through, by PhysDiskNum, or a volume at its own ID.
#pragma once

#include <cstdint>
#include <vector>

#include "model/bytes.h"
#include "model/model.h"

namespace vxtsim {

struct ScsiTarget {
  Device* disk = nullptr;    // disks
  Volume* volume = nullptr;  // volumes
  uint64_t blocks = 0;
  uint32_t block_size = 512;
  // Where the blocks live: the disk; a mirror's online members, the first
  // answering reads; the volume itself for stripe sets.
  std::vector<BlockStore*> stores;

  explicit operator bool() const { return disk || volume; }
};

// The disk at a bus and target ID, RAID member or not.
Device* DiskAt(Controller& ctl, uint8_t bus, uint8_t target);
const Device* DiskAt(const Controller& ctl, uint8_t bus, uint8_t target);

// Plain I/O reaches disks that are not part of the RAID configuration and
// volumes; member pass-through reaches physical disks by number.
ScsiTarget FindScsiTarget(Controller& ctl, bool member_path, uint8_t bus, uint8_t target);

// Stored blocks; missing blocks read as zeros, and zero blocks are not kept.
void ReadBlocks(const BlockStore& store, uint64_t lba, uint32_t count, uint32_t block_size,
                Bytes& out);
void WriteBlocks(BlockStore& store, uint64_t lba, uint32_t count, uint32_t block_size,
                 const Bytes& in);

}  // namespace vxtsim
