// Size arithmetic of the volume builders, checked against worked values.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "create/volume_size.h"
#include "vxt/pages.h"

namespace {

constexpr uint32_t kSasReserve = 0x20000;
constexpr uint32_t kScsiReserve = 0x80;

TEST(RoundShare, WorkedValues) {
  EXPECT_EQ(RoundShare(143374744, {kSasReserve, true, false}), 142577664u);
  EXPECT_EQ(RoundShare(143374744, {kSasReserve, true, true}), 143130624u);
  EXPECT_EQ(RoundShare(71132960, {kScsiReserve, false, false}), 71020544u);
  EXPECT_EQ(RoundShare(1953525168, {kSasReserve, true, false}), 1953124352u);
  // A SAS share under a gigabyte falls back to the whole-MiB rounding.
  EXPECT_EQ(RoundShare(1024000 + kSasReserve, {kSasReserve, true, false}), 774144u);
}

TEST(RoundShare, NothingUsableLeftIsZeroNotAWrap) {
  EXPECT_EQ(RoundShare(kSasReserve, {kSasReserve, true, false}), 0u);
  EXPECT_EQ(RoundShare(kSasReserve - 1, {kSasReserve, true, false}), 0u);
  EXPECT_EQ(RoundShare(0, {0, true, false}), 0u);
  // Under 120 MiB after the reserve the parallel-SCSI rounding has no whole
  // unit left; under 128 MiB the coercion has none.
  EXPECT_EQ(RoundShare(100 * 2048 + kScsiReserve, {kScsiReserve, false, false}), 0u);
  EXPECT_EQ(RoundShare(0x3FFFF + kSasReserve, {kSasReserve, true, true}), 0u);
  EXPECT_EQ(RoundShare(0x40000 + kSasReserve, {kSasReserve, true, true}), 0x40000u);
}

TEST(MirrorSize, RequestedBlocks) {
  // 70000 MiB: the explicit-size highest LBA is this less the reserve, less one.
  EXPECT_EQ(RequestedBlocksLessOne(70000), 143359999u);
  EXPECT_EQ(RequestedBlocksLessOne(70000) - kSasReserve - 1, 143228926u);
  // A size past 64 bits must not wrap into a small volume.
  EXPECT_EQ(RequestedBlocksLessOne((uint64_t{1} << 53) + 1), UINT64_MAX);
  EXPECT_EQ(RequestedBlocksLessOne(uint64_t{1} << 52), (uint64_t{1} << 63) - 1);
}

TEST(StripedSize, ExplicitSizes) {
  // IS 20480 MiB on two drives.
  EXPECT_EQ(RequestedShareLessOne(20480, 2, kVolumeTypeIS), 20971519u);
  EXPECT_EQ(AlignToStripe(20971519 - kSasReserve), 20840448u);
  EXPECT_EQ(VolumeBlocksFromShare(20840448, 2, kVolumeTypeIS), 41680896u);
  // IME 20480 MiB on three drives.
  EXPECT_EQ(RequestedShareLessOne(20480, 3, kVolumeTypeIME), 27962025u);
  EXPECT_EQ(AlignToStripe(27962025 - kSasReserve), 27830912u);
  EXPECT_EQ(VolumeBlocksFromShare(27830912, 3, kVolumeTypeIME), 41746368u);
  EXPECT_EQ(AlignToStripe(126), 0u);
}

TEST(StripedSize, MaximumSizes) {
  EXPECT_EQ(AlignToStripe(142577664), 142577664u);
  EXPECT_EQ(VolumeBlocksFromShare(142577664, 3, kVolumeTypeIS) - 1, 427732991u);
  EXPECT_EQ(VolumeBlocksFromShare(142577664, 3, kVolumeTypeIME) - 1, 213866495u);
  EXPECT_EQ(VolumeBlocksFromShare(AlignToStripe(1953124352), 3, kVolumeTypeIS), 5859373056u);
}

std::vector<uint8_t> BootSector() {
  std::vector<uint8_t> s(512, 0);
  s[510] = 0x55;
  s[511] = 0xAA;
  return s;
}

void PutEntry(std::vector<uint8_t>* s, int i, uint8_t status, uint8_t type, uint32_t start,
              uint32_t count) {
  size_t e = 446 + 16 * i;
  (*s)[e] = status;
  (*s)[e + 4] = type;
  for (int b = 0; b < 4; ++b) {
    (*s)[e + 8 + b] = static_cast<uint8_t>(start >> (8 * b));
    (*s)[e + 12 + b] = static_cast<uint8_t>(count >> (8 * b));
  }
}

TEST(PartitionEnd, LastBlockOfTheFurthestCountingEntry) {
  auto s = BootSector();
  PutEntry(&s, 0, 0x80, 0x07, 2048, 199997953);
  PutEntry(&s, 1, 0x00, 0x83, 63, 1000);
  EXPECT_EQ(PartitionEnd(s), 200000000u);
}

TEST(PartitionEnd, EntriesThatDoNotCount) {
  auto s = BootSector();
  PutEntry(&s, 0, 0x01, 0x07, 0, 300000000);  // status neither 0x00 nor 0x80
  PutEntry(&s, 1, 0x00, 0x00, 0, 300000000);  // no partition type
  PutEntry(&s, 2, 0x80, 0x07, 5000, 0);       // no sectors
  EXPECT_EQ(PartitionEnd(s), 0u);
  PutEntry(&s, 3, 0x00, 0x0C, 100, 100);
  EXPECT_EQ(PartitionEnd(s), 199u);
  s[510] = 0;
  EXPECT_EQ(PartitionEnd(s), 0u);
  EXPECT_EQ(PartitionEnd(std::vector<uint8_t>(100, 0x55)), 0u);
}

}  // namespace
