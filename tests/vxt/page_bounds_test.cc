// Firmware pages are untrusted: counts that claim more entries than the page
// holds must be cut to what was delivered, and reads past the end yield 0.
#include <gtest/gtest.h>

#include <vector>

#include "vxt/pages.h"

namespace {

TEST(PageBounds, FieldsPastTheEndReadAsZero) {
  std::vector<uint8_t> p = {0x01, 0x02, 0x03};
  EXPECT_EQ(GetU8(p, 2), 0x03);
  EXPECT_EQ(GetU16(p, 2), 0);  // straddles the end
  EXPECT_EQ(GetU32(p, SIZE_MAX - 1), 0u);
  EXPECT_EQ(GetU64(p, 0), 0u);
  PutU32(p, 1, 0xFFFFFFFF);  // dropped, not partly written
  EXPECT_EQ(p, (std::vector<uint8_t>{0x01, 0x02, 0x03}));
}

TEST(PageBounds, LittleEndianWordsAndBigEndianScsiFields) {
  std::vector<uint8_t> p = {0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0xFF, 0xFF};
  EXPECT_EQ(GetU32(p, 0), 0x12345678u);
  EXPECT_EQ(GetBe32(p, 4), 0x0000FFFFu);
  PutU64(p, 0, 0x0102030405060708ull);
  EXPECT_EQ(p[0], 0x08);
  EXPECT_EQ(p[7], 0x01);
}

TEST(PageBounds, VolumeListIsCutToThePage) {
  // IocPg2 claiming 200 volumes but carrying room for two entries.
  std::vector<uint8_t> p(12 + 2 * 8 + 3, 0);
  p[8] = 200;
  p[12] = 5;       // VolumeID of entry 0
  p[12 + 8] = 9;   // VolumeID of entry 1
  p[12 + 12] = 2;  // VolumeType of entry 1
  ASSERT_EQ(IocPg2VolumeCount(p), 2);
  EXPECT_EQ(IocPg2VolumeAt(p, 1).VolumeID, 9);
  EXPECT_EQ(IocPg2VolumeAt(p, 1).VolumeType, 2);
}

TEST(PageBounds, EmptyListsReadNothingPastTheirHeader) {
  std::vector<uint8_t> iocpg2(12, 0);
  EXPECT_EQ(IocPg2VolumeCount(iocpg2), 0);
  std::vector<uint8_t> tiny(3, 0xFF);
  EXPECT_EQ(IocPg3PhysDiskCount(tiny), 0);
  EXPECT_EQ(IocPg5HotSpareCount(tiny), 0);
  EXPECT_EQ(RaidVolPg0MemberCount(tiny), 0);
}

TEST(PageBounds, VolumeSizeUsesBothMaxLbaWords) {
  std::vector<uint8_t> p(48, 0);
  SetRaidVolPg0MaxLBA(p, 0xFFFFFFFF);
  SetRaidVolPg0MaxLBAHigh(p, 1);
  EXPECT_EQ(RaidVolPg0Blocks(p), 1ull << 33);
}

}  // namespace
