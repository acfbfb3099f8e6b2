// AUTO and AUTO1 through the binary: the command words, unreadable
// controller pages, the dialogue after the scan, the built-in lab, and SAS
// mode over every controller.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "create/auto_command_expect.h"
#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kPrompts[] =
    "You are about to create an IR volume. \n\n"
    "WARNING: Proceeding with this operation may cause data loss or data\n"
    "         corruption. Are you sure you want to proceed (YES/NO)? "
    "\nWARNING: This is you last chance to abort this operation. Do you wish\n"
    "         to abort (YES/NO)? ";

TEST(AutoCommand, ArgumentCountAndSyncWord) {
  const std::string usage =
      "  The format of the AUTO command is\n"
      "    volkit <controller #> auto <volume type> <size>\n"
      "    [qsync] [noprompt]\n"
      "      where <controller #> is:\n"
      "          A controller number between 0 and 255 OR\n"
      "          'SAS' to configure all SAS controllers\n"
      "      where <volume type> is:\n"
      "          The type of the volume to create and is either IM/RAID1 (or)\n"
      "          IME/RAID1E (or) IS/RAID0.\n"
      "      where <size> is:\n"
      "          The size of the volume to create. It should be given in Mbytes\n"
      "          e.g. 2048 or 'MAX' to use the maximum size possible.\n"
      "      where qsync specifies that the user desires a quick\n"
      "          synchronization of the two drives in an IM volume\n"
      "      where noprompt is an optional argument that eliminates\n"
      "          warnings and prompts\n\n";
  for (std::vector<std::string> words :
       {std::vector<std::string>{"im"}, {"im", "max", "qsync", "noprompt", "x"}}) {
    VolkitRun run = Auto(SasLab(2), words);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "volkit: Incorrect number of command line parameters for 'AUTO' command!\n");
    EXPECT_EQ(run.out, kBanner + usage);
  }
  // CREATE's type and size rules, before any drive is looked at.
  VolkitRun run = Auto(SasLab(2), {"raid5", "max", "noprompt"});
  EXPECT_EQ(run.err, "volkit: Invalid RAID volume type specified  \"raid5\"!\n");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
  run = Auto(SasLab(2), {"im", "5M", "noprompt"});
  EXPECT_EQ(run.err, "volkit: Invalid size specification \"5M\"!\n");

  run = Auto(SasLab(2), {"IM", "MAX", "Bogus", "noprompt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Invalid sync option specified  \"bogus\"!\n");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
  // The sync word counts only as the lone word after the size.
  run = Auto(SasLab(2), {"im", "max", "QSYNC", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RaidActions(run).back().DataWord, 1u);
  run = Auto(SasLab(2), {"im", "max", "5", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RaidActions(run).back().DataWord, 0u);
  run = Auto(SasLab(2), {"im", "max", "qsync", "qsync"}, "yes\nno\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RaidActions(run).back().DataWord, 0u);
}

TEST(AutoCommand, UnreadableControllerPagesEndSilently) {
  json lab = SasLab(4);
  LabController(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  for (const char* page : {"IocPg2", "RaidVolPg0"}) {
    lab["faults"] = json::array({{{"match", {{"page", page}, {"action", 1}}},
                                  {"first", 1},
                                  {"effect", {{"ioc_status", "0x0004"}}}}});
    VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
    EXPECT_EQ(run.status, 1) << page;
    EXPECT_EQ(run.err, "") << page;
    EXPECT_EQ(run.out, kBanner) << page;
    EXPECT_TRUE(run.Ioctls(kScsiIo).empty()) << page;
  }
}

TEST(AutoCommand, BuiltInLab) {
  // Controller 1 has no volume; its disk at 2 is outside the band of 0.
  VolkitRun run = RunVolkit(DefaultLab(), {"1", "auto", "is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0, 1), (std::vector<int>{0, 1}));
}

TEST(AutoCommand, DialogueComesAfterTheScan) {
  json lab = SasLab(1);
  VolkitRun run = Auto(lab, {"im", "max"}, "yes\nno\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kPrompts);
  ExpectTooFew(run, "IM", 2);
  run = Auto(SasLab(2), {"im", "max"}, "no\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(run.Ioctls(kScsiIo).empty());
  EXPECT_TRUE(RaidActions(run).empty());
  run = Auto(SasLab(2), {"im", "max"}, "YES\nNO\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));
}

// SAS controllers 0, 2 and 3 with a parallel-SCSI controller 1 between them;
// controller 2 has a single disk.
json SeveralControllers() {
  json lab = SasLab(2);
  json scsi = Lab(R"({"number": 1, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960}]})");
  json one = SasLab(1)["controllers"][0];
  one["number"] = 2;
  json three = SasLab(3)["controllers"][0];
  three["number"] = 3;
  lab["controllers"].push_back(scsi);
  lab["controllers"].push_back(one);
  lab["controllers"].push_back(three);
  return lab;
}

TEST(AutoCommand, EverySasControllerInTurn) {
  VolkitRun run = RunVolkit(SeveralControllers(), {"Sas", "auto", "im", "max", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "volkit: at least 2 drives must be available for IM creation.\n"
            "volkit: command failed for controller 2!\n");
  EXPECT_EQ(MemberTargets(run, 0, 0), (std::vector<int>{0, 1}));
  EXPECT_EQ(MemberTargets(run, 0, 3), (std::vector<int>{0, 1}));
  for (int c : {1, 2}) EXPECT_FALSE(run.state["controllers"][c].contains("raid")) << c;
  std::set<int> touched;
  for (const json& line : run.Ioctls(0x15)) touched.insert(line["controller"].get<int>());
  EXPECT_EQ(touched, (std::set<int>{0, 3}));

  // Each SAS controller asks on its own; the answers for controller 0 do not
  // carry over to the next.
  run = RunVolkit(SeveralControllers(), {"sas", "auto1", "is", "max"}, "yes\nno\n");
  EXPECT_EQ(run.status, 0);
  const std::string first_question(kPrompts, std::string(kPrompts).find("\nWARNING: This is"));
  EXPECT_EQ(run.out, kBanner + std::string(kPrompts) + first_question + first_question);
  const std::string aborted =
      "volkit: you must answer \"YES\" or \"yes\" to proceed; operation aborted!\n";
  EXPECT_EQ(run.err, aborted + "volkit: command failed for controller 2!\n" + aborted +
                         "volkit: command failed for controller 3!\n");
  EXPECT_EQ(MemberTargets(run, 0, 0), (std::vector<int>{0, 1}));
  EXPECT_FALSE(run.state["controllers"][3].contains("raid"));
}

}  // namespace
}  // namespace volkit_test
