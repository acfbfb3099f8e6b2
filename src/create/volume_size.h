// Size arithmetic of the volume builders.  Sizes are 512-byte blocks; a MiB
// is 2048 of them.  Volume sizes and LBAs are 64-bit, drive capacities 32-bit.
#pragma once

#include <cstdint>

#include "create/candidates.h"
#include "create/volume_request.h"
#include "raid/raid_limits.h"
#include "vxt/byte_access.h"
#include "vxt/vxt.h"

inline constexpr uint64_t kBlocksPerMiB = 2048;
inline constexpr uint32_t kStripeShift = 7;  // 128-block (64 KiB) stripes

// ---- Pure arithmetic ----

// How the firmware wants member shares rounded.
struct ShareRounding {
  uint32_t ReserveBlocks;
  bool Sas;
  bool Coerce128MiB;
};

// A drive's usable share of `blocks` once the reserve is kept back and the
// rest rounded.  0 when nothing usable is left: the reserve takes it all, or
// the rounding would run below zero.
uint32_t RoundShare(uint32_t blocks, const ShareRounding& rounding);

// `size_mb` in blocks, minus one; a size past what 64 bits hold comes out as
// the largest value, so that every drive is too small for it.
uint64_t RequestedBlocksLessOne(uint64_t size_mb);

// The last block of the partitions a master boot record lists; 0 without a
// boot signature or without a partition.
uint32_t PartitionEnd(ConstBytes boot_sector);

// IME and IS: the blocks each of `members` drives must hold for a volume of
// `size_mb` MiB, minus one.
uint64_t RequestedShareLessOne(uint64_t size_mb, uint32_t members, uint8_t volume_type);

// `share_less_one` plus one, rounded down to whole stripes.
uint64_t AlignToStripe(uint64_t share_less_one);

// The volume's blocks when each of `members` drives holds `share` blocks.
uint64_t VolumeBlocksFromShare(uint64_t share, uint32_t members, uint8_t volume_type);

// ---- Calculations that ask the controller ----

// The usable, rounded share of a drive of `blocks` blocks, with the reserve
// of `limits` and the coercion mode of this controller; 0 when nothing usable
// is left.
uint32_t RoundVolumeSize(ControllerInfo* controller, const RaidLimits& limits, uint32_t blocks);

// The highest LBA of an IM volume on PrimaryId and SecondaryId.  1 on
// success; otherwise 0 or the failing request's result, after a message.  A
// requested size that some member cannot hold gives way to MAX.
int CalIMVolMaxLba(ControllerInfo* controller, const VolumeRequest& request,
                   const CandidateList& candidates, const RaidLimits& limits, uint64_t* max_lba);

// The highest LBA of an IME or IS volume on every candidate; results as for
// CalIMVolMaxLba.
int Cal1EVolMaxLba(ControllerInfo* controller, const VolumeRequest& request,
                   const CandidateList& candidates, const RaidLimits& limits, uint64_t* max_lba);
