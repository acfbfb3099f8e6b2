// The volume request CREATE and AUTO parse from their words.
#include "create/volume_request.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VolumeRequest, SizeIsMaxOrAPositiveCountOfMiB) {
  VolumeRequest request{};
  std::string max = "Max";
  ASSERT_EQ(ParseSize(max.data(), &request), 1);
  EXPECT_EQ(request.SizeGiven, 0);
  EXPECT_EQ(request.SizeMB, 0xFFFFFFFFu);

  std::string size = "4096";
  ASSERT_EQ(ParseSize(size.data(), &request), 1);
  EXPECT_EQ(request.SizeGiven, 1);
  EXPECT_EQ(request.SizeMB, 4096u);

  for (std::string bad : {"0", "12x", "maximum", "99999999999999999999999"}) {
    EXPECT_EQ(ParseSize(bad.data(), &request), 0) << bad;
  }
  EXPECT_EQ(request.SizeMB, 4096u);  // a refused word leaves the request as it was
}

TEST(VolumeRequest, SyncWordSetsQuickSyncAndPassesOverADrive) {
  VolumeRequest request{};
  bool is_sync = true;
  std::string drive = "3";
  ASSERT_EQ(ParseSyncWord(drive.data(), &request, &is_sync), 1);
  EXPECT_FALSE(is_sync);
  EXPECT_EQ(request.QuickSync, 0u);

  std::string qsync = "QSYNC";
  ASSERT_EQ(ParseSyncWord(qsync.data(), &request, &is_sync), 1);
  EXPECT_TRUE(is_sync);
  EXPECT_EQ(request.QuickSync, 1u);

  std::string other = "fast";
  EXPECT_EQ(ParseSyncWord(other.data(), &request, &is_sync), 0);
}

}  // namespace
