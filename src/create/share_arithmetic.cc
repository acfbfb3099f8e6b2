// The pure size arithmetic of the volume builders.
#include <limits>

#include "create/volume_size.h"
#include "vxt/pages.h"

namespace {

constexpr uint32_t kBlocksPerGigabyte = 1953125;  // 10^9 bytes
constexpr uint32_t kMiBMask = 0xFFFFF800;
constexpr uint32_t k128MiBMask = 0xFFFC0000;

// Parallel-SCSI rounding (and SAS shares under a gigabyte): whole MiB,
// brought to a multiple of ten near a multiple of 128, less 2 MiB.
uint32_t RoundSmallShare(uint32_t n) {
  uint32_t m = n >> 11;
  uint32_t a = (m + 128) & 0x3FFF80;
  uint32_t t = a - a % 10;
  uint32_t v = t;
  if (m < t) {
    uint32_t c = m & 0x1FFF80;
    v = c - c % 10;
  }
  // Under two MiB the final subtraction would wrap.
  if (v < 2) return 0;
  return v * 2048 - 4096;
}

}  // namespace

uint32_t RoundShare(uint32_t blocks, const ShareRounding& rounding) {
  if (blocks <= rounding.ReserveBlocks) return 0;
  uint32_t n = blocks - rounding.ReserveBlocks;
  if (rounding.Sas) {
    if (rounding.Coerce128MiB) return n & k128MiBMask;
    uint32_t whole = n - n % kBlocksPerGigabyte;
    if (whole != 0) return whole & kMiBMask;
  }
  return RoundSmallShare(n);
}

uint64_t RequestedBlocksLessOne(uint64_t size_mb) {
  if (size_mb > std::numeric_limits<uint64_t>::max() / kBlocksPerMiB) {
    return std::numeric_limits<uint64_t>::max();
  }
  return size_mb * kBlocksPerMiB - 1;
}

uint32_t PartitionEnd(ConstBytes sector) {
  constexpr size_t kFirstEntry = 446;
  constexpr size_t kEntryBytes = 16;
  constexpr int kEntries = 4;
  if (GetU16(sector, 510) != 0xAA55) return 0;
  uint32_t end = 0;
  for (int i = 0; i < kEntries; ++i) {
    size_t e = kFirstEntry + kEntryBytes * static_cast<size_t>(i);
    uint8_t status = GetU8(sector, e);
    uint32_t start = GetU32(sector, e + 8);
    uint32_t count = GetU32(sector, e + 12);
    if ((status != 0x00 && status != 0x80) || GetU8(sector, e + 4) == 0 || count == 0) continue;
    uint32_t last = start + count - 1;
    if (last > end) end = last;
  }
  return end;
}

uint64_t RequestedShareLessOne(uint64_t size_mb, uint32_t members, uint8_t volume_type) {
  uint64_t total = RequestedBlocksLessOne(size_mb);
  if (total != std::numeric_limits<uint64_t>::max()) ++total;
  if (members == 0) return std::numeric_limits<uint64_t>::max();
  uint64_t share = total / members;
  if (volume_type == kVolumeTypeIME) share *= 2;
  return share - 1;
}

uint64_t AlignToStripe(uint64_t share_less_one) {
  return ((share_less_one + 1) >> kStripeShift) << kStripeShift;
}

uint64_t VolumeBlocksFromShare(uint64_t share, uint32_t members, uint8_t volume_type) {
  uint64_t blocks = share * members;
  return volume_type == kVolumeTypeIME ? blocks >> 1 : blocks;
}
