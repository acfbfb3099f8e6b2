// The drive counts a volume type takes, the one rule CREATE and AUTO share:
// the firmware's limits, never below what the builders need.
#include <gtest/gtest.h>

#include "raid/raid_limits.h"
#include "vxt/pages.h"

namespace {

TEST(DriveCount, FirmwareLimitsPerType) {
  const RaidLimits sas = DefaultRaidLimits(kBusTypeSas);
  EXPECT_EQ(DriveCountOf(sas, kVolumeTypeIM).Minimum, 2);
  EXPECT_EQ(DriveCountOf(sas, kVolumeTypeIM).Maximum, 2);
  EXPECT_EQ(DriveCountOf(sas, kVolumeTypeIME).Minimum, 3);
  EXPECT_EQ(DriveCountOf(sas, kVolumeTypeIME).Maximum, 8);
  EXPECT_EQ(DriveCountOf(sas, kVolumeTypeIS).Minimum, 2);
  EXPECT_EQ(DriveCountOf(sas, kVolumeTypeIS).Maximum, 8);
}

TEST(DriveCount, MinimaNeverBelowWhatABuilderNeeds) {
  RaidLimits l = DefaultRaidLimits(kBusTypeSas);
  l.MinDrivesIM = 0;
  l.MinDrivesIME = 1;
  l.MinDrivesIS = 0;
  EXPECT_EQ(DriveCountOf(l, kVolumeTypeIM).Minimum, 2);
  EXPECT_EQ(DriveCountOf(l, kVolumeTypeIME).Minimum, 2);
  EXPECT_EQ(DriveCountOf(l, kVolumeTypeIS).Minimum, 1);
  // A firmware minimum above the floor stands.
  l.MinDrivesIME = 4;
  EXPECT_EQ(DriveCountOf(l, kVolumeTypeIME).Minimum, 4);
}

}  // namespace
