// The RAID engine under the shipped volkit: a configuration built and torn
// down over several runs, each seeing what the one before left.
#include <gtest/gtest.h>

#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

const json& Raid(const VolkitRun& run) { return run.state["controllers"][0]["raid"]; }

TEST(RaidEngineRuns, BuildAndTearDownAcrossRuns) {
  VolkitRun im = RunVolkit(SasLab(5), {"0", "create", "im", "max", "0", "1", "noprompt"});
  ASSERT_EQ(im.status, 0) << im.err;
  VolkitRun is = RunVolkitAgain(im, {"0", "create", "is", "max", "2", "3", "noprompt"});
  ASSERT_EQ(is.status, 0) << is.err;
  ASSERT_EQ(Raid(is)["volumes"].size(), 2u);
  ASSERT_EQ(Raid(is)["phys_disks"].size(), 4u);
  const json& mirror = Raid(is)["volumes"][0];
  EXPECT_EQ(mirror["resync"]["remaining"], mirror["resync"]["total"]);
  EXPECT_EQ(mirror["max_lba"], 142577663u);
  EXPECT_EQ(Raid(is)["volumes"][1]["max_lba"], 285155327u);

  VolkitRun gone = RunVolkitAgain(is, {"0", "delete", "noprompt"});
  EXPECT_EQ(gone.status, 0) << gone.err;
  std::vector<int> codes;
  for (const LoggedAction& a : RaidActions(gone)) {
    EXPECT_TRUE(a.Ok) << "action " << a.Action;
    codes.push_back(a.Action);
  }
  EXPECT_EQ(codes, (std::vector<int>{3, 3, 14, 14, 14, 14}));
  EXPECT_TRUE(Raid(gone)["volumes"].empty());
  EXPECT_TRUE(Raid(gone)["phys_disks"].empty());
}

TEST(RaidEngineRuns, ShowSummarisesVolumesDisksAndSpares) {
  VolkitRun show = RunVxtsim(Lab(R"({"controllers": [{"number": 0,
    "devices": [{"target": 0, "blocks": 1000000}, {"target": 1, "blocks": 1000000},
                {"target": 2, "blocks": 1000000}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1, "status_flags": 1},
                            {"num": 2, "target": 2, "hot_spare_pool": 1}],
             "volumes": [{"id": 0, "type": "IM", "members": [0, 1], "state": 1, "max_lba": 999,
                          "resync": {"total": 1000, "remaining": 400}}]}}]})"),
                             {"show"});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("1 volumes, 3 physical disks, 1 hot spares\n"
                          "  volume 0: IM, 1000 blocks, state 1, members 0 1, "
                          "resync 400 of 1000 blocks left\n"
                          "  physical disk 0: target 0, volume member, state 0\n"
                          "  physical disk 1: target 1, volume member, state 0, out of sync\n"
                          "  physical disk 2: target 2, hot spare, state 0\n"),
            std::string::npos)
      << show.out;
}

}  // namespace
}  // namespace volkit_test
