// The highest LBA of a new volume, worked out from the requested size, the
// member capacities, the metadata reserve and (for mirrors) the partitions
// already on the primary.
#include "create/volume_size.h"

#include <cstdio>

#include "create/candidates.h"
#include "raid/raid_limits.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"
#include "vxt/scsi.h"

namespace {

constexpr uint32_t kSectorBytes = 512;
constexpr uint64_t kLargest32BitSize = 0xFFFFFFFE;

void SayVerySmall() { std::fprintf(stderr, "volkit: The requested volume size is very small!\n"); }

void SayTooSmall(uint8_t target) {
  std::fprintf(stderr,
               "volkit: Disk ID specified (%d) cannot be used as RAID member as\n"
               "        it is too small to hold a volume beside the RAID metadata.\n",
               target);
}

// A member's capacity in blocks.  A READ CAPACITY(10) last LBA of 0xFFFFFFFF
// (2 TiB or more) leaves a count of 0, and a drive no larger than the reserve
// has nothing left for the volume; both would wrap the 32-bit arithmetic into
// a volume of the wrong size, so such drives are refused here, before the
// controller has been changed.
int ReadMemberBlocks(ControllerInfo* c, uint32_t reserve, uint8_t target, uint32_t* blocks) {
  uint32_t block_length = 0;
  int result = ScsiReadCapacity(c, PlainTarget(target), blocks, &block_length, 1);
  if (result != kScsiSuccess) return result;
  if (*blocks == 0) {
    std::fprintf(stderr,
                 "volkit: Disk ID specified (%d) cannot be used as RAID member as\n"
                 "        its capacity of 2 TB or more cannot be addressed.\n",
                 target);
    return 0;
  }
  if (*blocks <= reserve) {
    SayTooSmall(target);
    return 0;
  }
  return 1;
}

// 1 when the controller can address a volume of `size` blocks.
int CheckAddressable(ControllerInfo* c, uint64_t size) {
  PageBuffer iocpg2;
  if (!ReadIocPg2(c, &iocpg2)) return 0;
  if (!(IocPg2CapabilityFlags(iocpg2) & kCapability64BitLba) && size > kLargest32BitSize) {
    std::printf(
        "volkit: 64-bit volume addressing not supported by IOC.\n"
        "        Cannot create volume with size greater than 2TB\n");
    return 0;
  }
  return 1;
}

}  // namespace

uint32_t RoundVolumeSize(ControllerInfo* c, const RaidLimits& limits, uint32_t blocks) {
  PageBuffer mfg4;
  bool coerce = ReadManufacturingPg4(c, &mfg4) && ((ManufacturingPg4IrFlags(mfg4) >> 7) & 3) == 1;
  return RoundShare(blocks, {limits.MetadataBlocks, c->BusType == kBusTypeSas, coerce});
}

int CalIMVolMaxLba(ControllerInfo* c, const VolumeRequest& request, const CandidateList& candidates,
                   const RaidLimits& limits, uint64_t* max_lba) {
  const uint32_t reserve = limits.MetadataBlocks;
  // Quick sync clears the start of the volume instead of keeping what the
  // primary holds, so its partitions do not count.
  const bool keep_partitions = request.QuickSync != 1;
  bool size_given = request.SizeGiven == 1;
  uint64_t size = 0xFFFFFFFF;
  if (size_given) {
    size = RequestedBlocksLessOne(request.SizeMB);
    if (keep_partitions) {
      if (size <= reserve) {
        SayVerySmall();
        return 0;
      }
      size -= reserve;
    }
  }

  // The partitions are kept whole: the volume needs one block past the last
  // block of the last partition.
  uint64_t partition_blocks = 0;
  uint32_t partition_end = 0;
  if (keep_partitions) {
    uint8_t sector[kSectorBytes] = {};
    int result = ScsiReadWrite(c, PlainTarget(candidates.PrimaryId), ScsiTransfer::kRead, 0, 1,
                               sector, sizeof sector, 1);
    if (result != kScsiSuccess) return result;
    partition_end = PartitionEnd(sector);
    if (partition_end != 0) partition_blocks = uint64_t{partition_end} + 1;
  }

  int count = CandidateCount(candidates, kMaxCandidateRecords);
  uint8_t smallest = candidates.PrimaryId;
  for (int i = 0; i < count; ++i) {
    uint8_t target = candidates.Candidates[i].TargetID;
    uint32_t blocks = 0;
    int result = ReadMemberBlocks(c, reserve, target, &blocks);
    if (result != 1) return result;
    if (blocks - reserve < partition_blocks) {
      std::fprintf(stderr,
                   "volkit: Couldn't use target %d drive as a candidate for the raid volume\n"
                   "                          as the size of the drive is less than the size of "
                   "the primary\n",
                   target);
      return 0;
    }
    if (blocks < size) {
      size = blocks;
      smallest = target;
      size_given = false;
    }
  }
  if (!size_given) {
    size = RoundVolumeSize(c, limits, static_cast<uint32_t>(size));
    if (size == 0) {
      SayTooSmall(smallest);
      return 0;
    }
  }
  if (size < partition_blocks) {
    size = partition_blocks;
    int partition_mb = static_cast<int>(partition_end / kBlocksPerMiB);
    std::fprintf(stderr,
                 "volkit: Requested Volume size of %dMB is smaller than existing partition\n"
                 "              on primary with size of %dMB. Setting Volume size of %dMB\n",
                 static_cast<int32_t>(request.SizeMB), partition_mb, partition_mb);
  }
  if (!CheckAddressable(c, size)) return 0;
  *max_lba = size - 1;
  return 1;
}

int Cal1EVolMaxLba(ControllerInfo* c, const VolumeRequest& request, const CandidateList& candidates,
                   const RaidLimits& limits, uint64_t* max_lba) {
  const uint32_t members = static_cast<uint32_t>(CandidateCount(candidates, kMaxCandidateIds));
  const uint8_t type = request.CreateVolumeType;
  bool size_given = request.SizeGiven == 1;
  uint64_t size = 0xFFFFFFFF;
  if (size_given) size = RequestedShareLessOne(request.SizeMB, members, type);

  uint8_t smallest = members > 0 ? candidates.CandidateIds[0] : 0;
  for (uint32_t i = 0; i < members; ++i) {
    uint32_t blocks = 0;
    if (ReadMemberBlocks(c, limits.MetadataBlocks, candidates.CandidateIds[i], &blocks) != 1) {
      return 0;
    }
    if (blocks < size) {
      size = blocks;
      smallest = candidates.CandidateIds[i];
      size_given = false;
    }
  }
  if (size_given) {
    if (size <= limits.MetadataBlocks) {
      SayVerySmall();
      return 0;
    }
    size -= limits.MetadataBlocks;
  } else {
    size = RoundVolumeSize(c, limits, static_cast<uint32_t>(size));
    if (size == 0) {
      SayTooSmall(smallest);
      return 0;
    }
  }
  size = AlignToStripe(size);
  // A share under one stripe would make a volume of no blocks at all.
  if (size == 0) {
    SayVerySmall();
    return 0;
  }
  size = VolumeBlocksFromShare(size, members, type);
  if (!CheckAddressable(c, size)) return 0;
  *max_lba = size - 1;
  return 1;
}
