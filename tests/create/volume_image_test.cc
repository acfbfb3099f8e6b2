// The RaidVolPg0 image a volume is created from, and the duplicate test.
#include "create/volume_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "create/volume_build.h"

namespace {

TEST(BuildVolumeImage, MirrorImageBytes) {
  const uint8_t maps[] = {1, 2};
  const uint8_t nums[] = {4, 7};
  VolumeLayout layout{2, 3, 1, 142577663, 2, maps, nums, 0};
  PageBuffer image = BuildVolumeImage({0x05, 12, 0, 8}, 0x01, layout, true);
  const PageBuffer expected = {
      0x05, 12,   0x00, 0x08,                          // header
      0x03, 0x00, 0x01, 0x02,                          // VolumeID, bus, IOC, type IM
      0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x01, 0x00,  // settings 0x8000, pool 1
      0xFF, 0x8F, 0x7F, 0x08, 0x00, 0x00, 0x00, 0x00,  // MaxLBA 142577663, high 0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // NumPhysDisks 2
      0x00, 0x00, 0x01, 0x04, 0x00, 0x00, 0x02, 0x07,  // primary 4, secondary 7
  };
  EXPECT_EQ(image, expected);
}

TEST(BuildVolumeImage, HighWordOnlyWhenTheControllerAddressesIt) {
  const uint8_t maps[] = {0, 1, 2};
  const uint8_t nums[] = {0, 1, 2};
  VolumeLayout layout{0, 0, 0, 5859373055, 3, maps, nums, 3};
  PageBuffer with = BuildVolumeImage({0, 13, 0, 8}, 0, layout, true);
  ASSERT_EQ(with.size(), 52u);
  EXPECT_EQ(PageBuffer(with.begin() + 16, with.begin() + 24),
            (PageBuffer{0xFF, 0xEF, 0x3E, 0x5D, 0x01, 0x00, 0x00, 0x00}));
  EXPECT_EQ(PageBuffer(with.begin() + 40, with.end()),
            (PageBuffer{0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 2}));
  PageBuffer without = BuildVolumeImage({0, 13, 0, 8}, 0, layout, false);
  EXPECT_EQ(PageBuffer(without.begin() + 20, without.begin() + 24), (PageBuffer{0, 0, 0, 0}));
}

TEST(BuildVolumeImage, HeaderTooShortForTheMembersGivesNoImage) {
  const uint8_t maps[] = {0, 1, 2};
  const uint8_t nums[] = {0, 1, 2};
  VolumeLayout layout{0, 0, 0, 1000, 3, maps, nums, 3};
  EXPECT_TRUE(BuildVolumeImage({0, 12, 0, 8}, 0, layout, false).empty());
  EXPECT_TRUE(BuildVolumeImage({0, 0, 0, 8}, 0, layout, false).empty());
}

TEST(HasDuplicateIds, AnyTargetIdTwice) {
  auto c = std::make_unique<CandidateList>();
  const uint8_t ids[] = {1, 2, 200, 2};
  std::copy(std::begin(ids), std::end(ids), c->CandidateIds);
  c->NumRAIDCandidates = 3;
  EXPECT_EQ(HasDuplicateIds(*c), 0);
  c->NumRAIDCandidates = 4;
  EXPECT_EQ(HasDuplicateIds(*c), 1);
  // Target IDs above the SAS range are compared too.
  c->CandidateIds[0] = 200;
  c->NumRAIDCandidates = 3;
  EXPECT_EQ(HasDuplicateIds(*c), 1);
}

}  // namespace
