// The snapshot's mappings of the typed states: every state has its own key
// and DISPLAY word, the lost-disk test reads the one list, and the resync
// ratio refuses an indicator that makes no sense.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "monitor/snapshot.h"
#include "raid/device_words.h"

namespace {

constexpr DiskState kAllStates[] = {
    DiskState::kOnline,           DiskState::kOutOfSync,       DiskState::kHotSpare,
    DiskState::kMissing,          DiskState::kNotCompatible,   DiskState::kFailed,
    DiskState::kOfflineRequested, DiskState::kFailedRequested, DiskState::kOfflineUnknown,
    DiskState::kStandby,          DiskState::kReady,           DiskState::kAvailable,
    DiskState::kUnknown,
};

TEST(DiskStateKey, EachStateItsOwnKeyAndWord) {
  std::set<std::string> keys, words;
  for (DiskState s : kAllStates) {
    keys.insert(DiskStateKey(s));
    words.insert(DiskStateWord(s));
  }
  EXPECT_EQ(keys.size(), std::size(kAllStates));
  EXPECT_EQ(words.size(), std::size(kAllStates));
  EXPECT_STREQ(DiskStateKey(DiskState::kOutOfSync), "out_of_sync");
  EXPECT_STREQ(DiskStateWord(DiskState::kOutOfSync), "Out of Sync (OSY)\n");
  EXPECT_STREQ(DiskStateKey(DiskState::kUnknown), "unknown");
  EXPECT_STREQ(DiskStateWord(DiskState::kUnknown), "Unknown!\n");
}

TEST(IsLostDiskKey, LostStatesOnly) {
  for (DiskState s : kAllStates) {
    EXPECT_EQ(IsLostDiskKey(std::string(DiskStateKey(s))), IsLostDiskState(s)) << DiskStateKey(s);
  }
  EXPECT_TRUE(IsLostDiskKey(std::string("offline_unknown")));
  EXPECT_FALSE(IsLostDiskKey(std::string("out_of_sync")));
  EXPECT_FALSE(IsLostDiskKey(std::nullopt));
}

TEST(VolumeStateKey, CodesPastTheLastAreUnknown) {
  EXPECT_STREQ(VolumeStateKey(0), "optimal");
  EXPECT_STREQ(VolumeStateKey(3), "missing");
  EXPECT_STREQ(VolumeStateKey(4), "unknown");
  EXPECT_STREQ(VolumeStateKey(255), "unknown");
}

TEST(ResyncRatio, OnlyFromASensibleIndicator) {
  ResyncSnapshot r;
  EXPECT_FALSE(ResyncRatio(r));
  r.TotalBlocks = 400;
  EXPECT_FALSE(ResyncRatio(r));
  r.RemainingBlocks = 100;
  ASSERT_TRUE(ResyncRatio(r));
  EXPECT_DOUBLE_EQ(*ResyncRatio(r), 0.75);
  r.RemainingBlocks = 401;
  EXPECT_FALSE(ResyncRatio(r));
  r.TotalBlocks = 0;
  r.RemainingBlocks = 0;
  EXPECT_FALSE(ResyncRatio(r));
}

}  // namespace
