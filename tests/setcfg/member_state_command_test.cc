// SETOFFLINE and SETONLINE through the binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_expect.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

struct Word {
  const char* Command;
  const char* Upper;
  const char* Direction;
  const char* Failed;
  int Action;
};
const Word kWords[] = {
    {"setoffline", "SETOFFLINE", "offline", "volkit: Setoffline command failed.\n", 10},
    {"setonline", "SETONLINE", "online", "volkit: Setonline command failed.\n", 11},
};

std::string Usage(const Word& w) {
  return std::string(kBanner) + "  volkit <controller #> " + w.Upper +
         " <SCSI ID>/<Encl:Bay>\n"
         "    where <controller #> is:\n"
         "      Number between 0 and 255,\n"
         "    <SCSI ID> is any valid ID of a physical disk\n"
         "      which you want to bring to " +
         w.Direction +
         "\n"
         "    <Encl:Bay> is any valid Enclosure:Bay pair of a physical disk\n"
         "      which you want to bring to " +
         w.Direction + "\n\n";
}

// Targets 0-1: mirror 0 (disks 4, 6); 2-4: enhanced mirror 2 (disks 0, 1,
// 2); 5-6: stripe set 5 (disks 3, 5); 7: hot spare (disk 9); 8: no part of
// the configuration.  The IOC number is 3, so the image shows it.
json MemberLab() {
  json lab = SasLab(9);
  lab["controllers"][0]["ioc_facts"] = {{"ioc_number", 3}};
  lab["controllers"][0]["pages"] = Lab(R"({"IocPg2": {"MaxVolumes": 3}})");
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 4, "target": 0}, {"num": 6, "target": 1},
                   {"num": 0, "target": 2}, {"num": 1, "target": 3}, {"num": 2, "target": 4},
                   {"num": 3, "target": 5}, {"num": 5, "target": 6},
                   {"num": 9, "target": 7, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [4, 6]},
                {"id": 2, "type": "IME", "members": [0, 1, 2]},
                {"id": 5, "type": "IS", "members": [3, 5]}]})");
  return lab;
}

TEST(MemberStateCommand, UsageOnAnyOtherWordCount) {
  for (const Word& w : kWords) {
    for (std::vector<std::string> args : {std::vector<std::string>{"0", w.Upper},
                                          std::vector<std::string>{"0", w.Command, "0", "1"}}) {
      VolkitRun run = RunVolkit(MemberLab(), args);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, kBanner);
      EXPECT_EQ(run.err, Usage(w));
      EXPECT_TRUE(RaidActions(run).empty());
    }
  }
}

TEST(MemberStateCommand, RefusalsSendNoAction) {
  struct Case {
    const char* Drive;
    const char* Err;
    const char* Out;  // before the closing message
  };
  const Case cases[] = {
      {"5", "volkit: Cannot bring a physdisk in IS volume Offline/Online!\n", ""},
      {"7", "volkit: Cannot make a HOTSPARE disk Offline/Online!\n", ""},
      {"8", "volkit: Couldn't find disk in a volume with SCSI Id: 8!\n", ""},
      {"1:x", "", "volkit: Invalid Encl:Bay value specified for disk : \"1:x\"!\n"},
  };
  for (const Word& w : kWords) {
    for (const Case& k : cases) {
      VolkitRun run = RunVolkit(MemberLab(), {"0", w.Command, k.Drive});
      SCOPED_TRACE(std::string(w.Command) + " " + k.Drive);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err, k.Err);
      EXPECT_EQ(run.out, std::string(kBanner) + k.Out + w.Failed);
      EXPECT_TRUE(RaidActions(run).empty());
    }
  }
}

TEST(MemberStateCommand, UnreadableLastMemberPageGivesOnlyTheClosingMessage) {
  json lab = MemberLab();
  lab["faults"] = Lab(R"([{"match": {"page": "RaidPhysDiskPg0", "address": 5},
                          "effect": {"ioc_status": "0x0022"}}])");
  VolkitRun run = RunVolkit(lab, {"0", "setoffline", "8"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, std::string(kBanner) + "volkit: Setoffline command failed.\n");
  // A failure earlier in the scan is passed over.
  lab["faults"][0]["match"]["address"] = 4;
  run = RunVolkit(lab, {"0", "setoffline", "8"});
  EXPECT_EQ(run.err, "volkit: Couldn't find disk in a volume with SCSI Id: 8!\n");
}

TEST(MemberStateCommand, RequestNamesTheMemberAndCarriesTheImage) {
  // Target 4 is the last member of the second mirror: the first mirror's
  // members are read and passed over on the way.
  for (const Word& w : kWords) {
    for (const char* drive : {"4", "1:4"}) {
      json lab = MemberLab();
      if (w.Action == 11) lab["controllers"][0]["raid"]["phys_disks"][4]["state"] = 5;
      VolkitRun run = RunVolkit(lab, {"0", w.Command, drive});
      SCOPED_TRACE(std::string(w.Command) + " " + drive);
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.out, kBanner);
      EXPECT_EQ(run.err, "");
      std::vector<LoggedAction> actions = RaidActions(run);
      ASSERT_EQ(actions.size(), 1u);
      EXPECT_EQ(actions[0].Action, w.Action);
      EXPECT_EQ(actions[0].PhysDiskNum, 2);
      EXPECT_EQ(actions[0].VolumeID, 0);
      EXPECT_EQ(actions[0].VolumeBus, 0);
      EXPECT_EQ(actions[0].DataWord, 0u);
      // Header and IOC number only.
      const ByteVector& image = actions[0].DataOut;
      ASSERT_GE(image.size(), 8u);
      EXPECT_EQ(image.size(), image[1] * 4u);
      EXPECT_EQ(image[2], 0);
      EXPECT_EQ(image[3], 10);
      ByteVector rest(image.begin() + 4, image.end());
      ByteVector expected(rest.size(), 0);
      expected[2] = 3;
      EXPECT_EQ(rest, expected);
      EXPECT_EQ(PhysDiskState(run, 2), w.Action == 10 ? 5 : 0);
    }
  }
}

TEST(MemberStateCommand, MemberMatchesOnItsTargetIdAlone) {
  // A page that names another bus and IOC still names the disk.
  json lab = MemberLab();
  lab["controllers"][0]["raid"]["phys_disks"][1]["ioc"] = 7;
  lab["controllers"][0]["raid"]["phys_disks"][1]["bus"] = 1;
  VolkitRun run = RunVolkit(lab, {"0", "setoffline", "1"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  ASSERT_EQ(RaidActions(run).size(), 1u);
  EXPECT_EQ(RaidActions(run)[0].PhysDiskNum, 6);
}

TEST(MemberStateCommand, FirmwareRefusalFails) {
  // Target 1's partner is out of sync: taking it offline would leave no copy.
  json lab = MemberLab();
  lab["controllers"][0]["raid"]["phys_disks"][0]["status_flags"] = 1;
  VolkitRun run = RunVolkit(lab, {"0", "setoffline", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, std::string(kBanner) + "volkit: Setoffline command failed.\n");
  ASSERT_EQ(RaidActions(run).size(), 1u);
  EXPECT_EQ(PhysDiskState(run, 6), 0);
}

TEST(MemberStateCommand, OfflineDegradesAndOnlineResyncs) {
  VolkitRun run = RunVolkit(MemberLab(), {"0", "setoffline", "1"});
  ASSERT_EQ(run.status, 0);
  run = RunVolkitAgain(run, {"0", "display"});
  EXPECT_NE(run.out.find("  Volume ID                               : 0\n"
                         "  Status of volume                        : Degraded (DGD)\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("  Target ID                               : 1\n"), std::string::npos);
  EXPECT_NE(run.out.find("  State                                   : Offline Requested (OFLR)\n"),
            std::string::npos)
      << run.out;

  run = RunVolkitAgain(run, {"0", "setonline", "1"});
  ASSERT_EQ(run.status, 0);
  run = RunVolkitAgain(run, {"0", "status"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("IR Volume 1\n"
                         "  Volume ID                               : 0\n"
                         "  Current operation                       : Synchronize\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("  Number of remaining sectors             : "), std::string::npos);
}

// Every request of the command refused, or carried out without a reply:
// success is reported only when the member really changed state.
TEST(MemberStateCommand, NoFaultReportsSuccessFalsely) {
  for (const Word& w : kWords) {
    json lab = MemberLab();
    if (w.Action == 11) lab["controllers"][0]["raid"]["phys_disks"][1]["state"] = 5;
    const std::vector<std::string> args = {"0", w.Command, "1"};
    const size_t requests = RunVolkit(lab, args).Ioctls().size();
    for (const char* effect :
         {R"({"ioc_status": "0x0004"})", R"({"no_reply": true})", R"({"errno": "EIO"})"}) {
      for (size_t k = 1; k <= requests; ++k) {
        json faulty = lab;
        faulty["faults"] = json::array(
            {{{"match", {{"request", "passthrough"}}}, {"nth", k}, {"effect", Lab(effect)}}});
        VolkitRun run = RunVolkit(faulty, args);
        SCOPED_TRACE(std::string(w.Command) + " " + effect + " on request " + std::to_string(k) +
                     "\n" + run.out + run.err);
        ASSERT_TRUE(run.status == 0 || run.status == 1) << run.status;
        if (run.status == 0) {
          EXPECT_EQ(PhysDiskState(run, 6), w.Action == 10 ? 5 : 0);
        } else if (run.out.find(w.Failed) == std::string::npos) {
          EXPECT_EQ(RaidActions(run).size(), 0u);  // set-up failed
        }
      }
    }
  }
}

}  // namespace
}  // namespace volkit_test
