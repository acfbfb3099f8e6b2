// REBUILD through the binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_expect.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kUsage[] =
    "  volkit <controller #> REBUILD <Volume ID>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where <Volume ID> is:\n"
    "      Target ID of IM/IME Volume where resyncying of drives is initiated.\n\n";
constexpr char kFailed[] = "volkit: Rebuild command failed.\n";

// Mirror 1 (disks 4, 6 at targets 0, 1), enhanced mirror 3 (disks 0, 1, 2
// at targets 2-4), stripe set 8 (disks 3, 5 at targets 5, 6), all quiet;
// the device limit is 64.
json RebuildLab() {
  json lab = SasLab(7);
  lab["controllers"][0]["pages"] = Lab(R"({"IocPg2": {"MaxVolumes": 3}})");
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 4, "target": 0}, {"num": 6, "target": 1},
                   {"num": 0, "target": 2}, {"num": 1, "target": 3}, {"num": 2, "target": 4},
                   {"num": 3, "target": 5}, {"num": 5, "target": 6}],
    "volumes": [{"id": 1, "type": "IM", "members": [4, 6]},
                {"id": 3, "type": "IME", "members": [0, 1, 2]},
                {"id": 8, "type": "IS", "members": [3, 5]}]})");
  return lab;
}

TEST(RebuildCommand, UsageOnAnyOtherWordCount) {
  for (std::vector<std::string> args : {std::vector<std::string>{"0", "REBUILD"},
                                        std::vector<std::string>{"0", "rebuild", "1", "2"}}) {
    VolkitRun run = RunVolkit(RebuildLab(), args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, kUsage);
    EXPECT_TRUE(RaidActions(run).empty());
  }
}

TEST(RebuildCommand, VolumeIdParsing) {
  struct Case {
    const char* Word;
    int Status;
    const char* Err;
  };
  const std::string bad = "\"! Must be between 0 and 64 inclusively.\n";
  const Case cases[] = {
      {"1", 0, ""},
      {"0x1", 0, ""},
      {"0X3", 0, ""},
      {"010", 1, "volkit: Volume ID (8) specified is not of type IM or IME!\n"},
      {"64", 1, "volkit: Volume ID (64) specified does not exist!\n"},
      {"0", 1, "volkit: Volume ID (0) specified does not exist!\n"},
  };
  for (const Case& k : cases) {
    VolkitRun run = RunVolkit(RebuildLab(), {"0", "rebuild", k.Word});
    SCOPED_TRACE(k.Word);
    EXPECT_EQ(run.status, k.Status);
    EXPECT_EQ(run.err, k.Err);
    EXPECT_EQ(run.out, std::string(kBanner) + (k.Status ? kFailed : ""));
    EXPECT_EQ(RaidActions(run).size(), k.Status ? 0u : 2u);
  }
  // Malformed: the process ends at once, before any request of the command.
  const size_t setup = RunVolkit(RebuildLab(), {"0", "rebuild"}).Ioctls().size();
  for (const char* word : {"1a", "", "-1", "65", "08", "0x", "99999999999999999999", "1 "}) {
    VolkitRun run = RunVolkit(RebuildLab(), {"0", "rebuild", word});
    SCOPED_TRACE(word);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, "volkit: bad Volume ID \"" + std::string(word) + bad);
    EXPECT_EQ(run.Ioctls().size(), setup);
  }
}

TEST(RebuildCommand, RangeFollowsTheDeviceLimit) {
  json lab = RebuildLab();
  lab["controllers"][0]["port_facts"] = {{"device_limit", 300}};
  // Above 255 the ID names no volume; it must not wrap onto volume 1 (257).
  VolkitRun run = RunVolkit(lab, {"0", "rebuild", "257"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Volume ID (257) specified does not exist!\n");
  EXPECT_TRUE(RaidActions(run).empty());
  run = RunVolkit(lab, {"0", "rebuild", "301"});
  EXPECT_EQ(run.err, "volkit: bad Volume ID \"301\"! Must be between 0 and 300 inclusively.\n");
}

TEST(RebuildCommand, ResyncingVolumeIsRefusedBeforeAnyAction) {
  json lab = RebuildLab();
  lab["controllers"][0]["raid"]["volumes"][0]["state"] = 1;
  lab["controllers"][0]["raid"]["volumes"][0]["resync"] = {{"total", 1000}, {"remaining", 500}};
  VolkitRun run = RunVolkit(lab, {"0", "rebuild", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Volume is Resyncing! Cannot start rebuild at this time.\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
  EXPECT_TRUE(RaidActions(run).empty());
}

TEST(RebuildCommand, CyclesTheSecondMemberOnlyWithoutData) {
  for (int volume : {1, 3}) {
    VolkitRun run = RunVolkit(RebuildLab(), {"0", "rebuild", std::to_string(volume)});
    SCOPED_TRACE(volume);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    std::vector<LoggedAction> actions = RaidActions(run);
    ASSERT_EQ(actions.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      EXPECT_EQ(actions[i].Action, i == 0 ? 10 : 11);
      EXPECT_EQ(actions[i].PhysDiskNum, volume == 1 ? 6 : 1);
      EXPECT_EQ(actions[i].VolumeID, 0);
      EXPECT_EQ(actions[i].VolumeBus, 0);
      EXPECT_EQ(actions[i].DataWord, 0u);
      EXPECT_TRUE(actions[i].DataOut.empty());
      EXPECT_EQ(run.Ioctls(0x15)[i].value("direction", ""), "none");
    }
  }
}

TEST(RebuildCommand, RestartedResyncShowsInStatusAndBlocksAnotherRebuild) {
  VolkitRun run = RunVolkit(RebuildLab(), {"0", "rebuild", "1"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(PhysDiskState(run, 6), 0);
  VolkitRun status = RunVolkitAgain(run, {"0", "status"});
  EXPECT_NE(status.out.find("  Volume ID                               : 1\n"
                            "  Current operation                       : Synchronize\n"),
            std::string::npos)
      << status.out;
  run = RunVolkitAgain(status, {"0", "rebuild", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Volume is Resyncing! Cannot start rebuild at this time.\n");
}

TEST(RebuildCommand, VolumePageWithoutSecondMemberSendsNothing) {
  json lab = RebuildLab();
  lab["controllers"][0]["raid"]["volumes"][0]["page_bytes"] = {{"36", "01"}};
  VolkitRun run = RunVolkit(lab, {"0", "rebuild", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
  EXPECT_TRUE(RaidActions(run).empty());
}

TEST(RebuildCommand, MemberLeftOfflineIsNamedWithTheWayBack) {
  json lab = RebuildLab();
  lab["faults"] = Lab(R"([{"match": {"raid_action": 11}, "nth": 1,
                          "effect": {"action_status": 1}}])");
  VolkitRun run = RunVolkit(lab, {"0", "rebuild", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
  EXPECT_EQ(run.err,
            "volkit: The disk with SCSI Id 1 (physical disk 6) of volume 1 is left offline!\n"
            "        Run \"volkit 0 setonline 1\" to bring it back online.\n");
  EXPECT_EQ(PhysDiskState(run, 6), 5);
  // The advice works.
  run = RunVolkitAgain(run, {"0", "setonline", "1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(PhysDiskState(run, 6), 0);

  // When even the disk's page cannot be read, its number must do.
  lab["faults"].push_back(
      Lab(R"({"match": {"page": "RaidPhysDiskPg0"}, "effect": {"ioc_status": 4}})"));
  run = RunVolkit(lab, {"0", "rebuild", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volkit: Physical disk 6 of volume 1 is left offline!\n"
            "        Run \"volkit 0 setonline <SCSI ID>\" with its SCSI Id to bring it back "
            "online.\n");
}

// Any single request refused, failed or left without a reply never turns
// into a reported success, and a success always leaves a resync running.
TEST(RebuildCommand, NoFaultReportsSuccessFalsely) {
  const std::vector<std::string> args = {"0", "rebuild", "1"};
  const size_t requests = RunVolkit(RebuildLab(), args).Ioctls().size();
  for (const char* effect : {R"({"ioc_status": "0x0004"})", R"({"no_reply": true})",
                             R"({"errno": "EIO"})", R"({"action_status": 2})"}) {
    for (size_t k = 1; k <= requests; ++k) {
      json lab = RebuildLab();
      lab["faults"] = json::array(
          {{{"match", {{"request", "passthrough"}}}, {"nth", k}, {"effect", Lab(effect)}}});
      VolkitRun run = RunVolkit(lab, args);
      SCOPED_TRACE(std::string(effect) + " on request " + std::to_string(k) + "\n" + run.out +
                   run.err);
      ASSERT_TRUE(run.status == 0 || run.status == 1) << run.status;
      if (run.status == 0) {
        EXPECT_EQ(PhysDiskState(run, 6), 0);
        EXPECT_TRUE(run.state["controllers"][0]["raid"]["volumes"][0].contains("resync"));
      }
      if (run.err.find("left offline") != std::string::npos) {
        EXPECT_EQ(PhysDiskState(run, 6), 5);
      }
    }
  }
}

}  // namespace
}  // namespace volkit_test
