// The command line as the entry point judges it: argument counts, controller
// numbers, the SAS loop, command lookup and exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "support/banner.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

const std::string kUsage =
    "  volkit <controller #> <command> <parameters> ...\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where <command> is:\n"
    "      AUTO       -  create an IR volume without specifying drives\n"
    "      CREATE     -  create an IR volume\n"
    "      DELETE     -  set controller configuration to factory defaults\n"
    "      DISPLAY    -  display controller, volume and physical device info\n"
    "      ENABLEIR   -  enable the IR capability of the controller\n"
    "      DISABLEIR  -  disable the IR capability of the controller\n"
    "      FORMAT     -  perform a low-level format of a SCSI hard disk drive\n"
    "      HOTSPARE   -  make drive a hot spare\n"
    "      LIST       -  lists all available Norvane adapters. This command does not require "
    "<controller #>\n"
    "      LOCATE     -  turn ON and OFF a drive's Identify LED\n"
    "      REBUILD    -  start resyncing drives in volume without requiring a reboot\n"
    "      STATUS     -  display current volume status info\n"
    "      SETOFFLINE -  bring a harddisk offline (in IM/IME volumes)\n"
    "      SETONLINE  -  bring a harddisk online\n"
    "    where <parameters> are:\n"
    "      Command specific values; enter \"volkit <controller #> <command>\"\n"
    "      to get command specific help\n"
    "\n";

// Controllers by number and PCI device ID; nothing else matters here.
json Controllers(std::initializer_list<std::pair<int, const char*>> list) {
  json controllers = json::array();
  for (auto [number, device_id] : list) {
    controllers.push_back({{"number", number}, {"pci", {{"device_id", device_id}}}});
  }
  return {{"controllers", controllers}};
}

TEST(Entry, NoArgumentsPrintsBannerAndUsage) {
  VolkitRun run = RunVolkit(Controllers({{0, "0x54"}}), {});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, kUsage);
  EXPECT_TRUE(run.log.empty());
}

TEST(Entry, SingleArgumentOtherThanList) {
  VolkitRun run = RunVolkit(Controllers({{0, "0x54"}}), {"0"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: too few command line parameters!\n" + kUsage);
}

TEST(Entry, ListInAnyCaseWithNoControllers) {
  VolkitRun run = RunVolkit(Controllers({}), {"LiSt"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "volkit: no controllers found!\n");
  EXPECT_EQ(run.Ioctls().size(), 255u);  // every number 0..254 was asked
}

TEST(Entry, ControllerNumbersTakeAnyBase) {
  json lab = Controllers({{31, "0x54"}, {8, "0x30"}});
  for (const char* word : {"0x1F", "31", "010", " 8"}) {
    VolkitRun run = RunVolkit(lab, {word, "nosuch"});
    EXPECT_EQ(run.status, 1) << word;
    EXPECT_EQ(run.err, "volkit: unknown command \"nosuch\"!\n" + kUsage) << word;
  }
}

TEST(Entry, BadControllerNumbersAreRefusedBeforeTheDriverIsOpened) {
  json lab = Controllers({{0, "0x54"}});
  for (const char* word : {"256", "-1", "5x", "", "99999999999999999999999"}) {
    VolkitRun run = RunVolkit(lab, {word, "display"});
    EXPECT_EQ(run.status, 1) << word;
    EXPECT_EQ(run.err, std::string("volkit: bad controller number \"") + word + "\"!\n");
    EXPECT_TRUE(run.log.empty()) << word;
  }
}

TEST(Entry, WordsInPlaceOfAControllerNumber) {
  json lab = Controllers({{0, "0x54"}});
  VolkitRun list_word = RunVolkit(lab, {"list", "display"});
  EXPECT_EQ(list_word.status, 1);
  EXPECT_EQ(list_word.err,
            "volkit: Invalid controller specified. It must be either 'SAS' or a valid "
            "controller #.\n");
  VolkitRun sas_display = RunVolkit(lab, {"SAS", "display"});
  EXPECT_EQ(sas_display.status, 1);
  EXPECT_EQ(sas_display.err, "volkit: controller specified as 'SAS' not valid for this command.\n");
  EXPECT_TRUE(sas_display.log.empty());
}

TEST(Entry, UnknownCommandIsJudgedOnlyOnAPresentController) {
  json lab = Controllers({{0, "0x54"}});
  VolkitRun missing = RunVolkit(lab, {"3", "nosuch"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "volkit: controller not found!\n");
  VolkitRun present = RunVolkit(lab, {"0", "NoSuch"});
  EXPECT_EQ(present.status, 1);
  EXPECT_EQ(present.err, "volkit: unknown command \"nosuch\"!\n" + kUsage);
  EXPECT_EQ(present.out, kBanner);
}

TEST(Entry, SasModeRunsOnEverySasControllerAndEndsWhereNumbersEnd) {
  // 0 and 2 are SAS, 1 is parallel SCSI, nothing at 3; AUTO fails on each
  // SAS controller in this lab and the loop goes on regardless.
  json lab = Controllers({{0, "0x54"}, {1, "0x30"}, {2, "0x62"}});
  VolkitRun run = RunVolkit(lab, {"SaS", "AUTO1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("volkit: command failed for controller 0!\n"), std::string::npos);
  EXPECT_EQ(run.err.find("controller 1!"), std::string::npos);
  EXPECT_NE(run.err.find("volkit: command failed for controller 2!\n"), std::string::npos);
  int adapter_queries = 0;
  for (const json& line : run.Ioctls()) {
    if (line["kind"] == "adapter_info") ++adapter_queries;
  }
  EXPECT_EQ(adapter_queries, 4);
}

TEST(Entry, SasModeWithOnlyParallelScsiControllers) {
  VolkitRun run = RunVolkit(Controllers({{0, "0x30"}, {1, "0x20"}}), {"sas", "auto"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "volkit: no SAS controllers found!\n");
  EXPECT_TRUE(run.Ioctls(0x15).empty());
  EXPECT_TRUE(run.Ioctls(0x04).empty());
}

TEST(Entry, FailedSetUpEndsSilently) {
  json facts_fail = Patched(Controllers({{0, "0x54"}}),
                            R"({"faults":[{"match":{"function":3},"effect":{"errno":"EIO"}}]})");
  VolkitRun run = RunVolkit(facts_fail, {"0", "display"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.Ioctls(3).size(), 1u);  // controller facts are never retried

  json port_status =
      Patched(Controllers({{0, "0x54"}}),
              R"({"faults":[{"match":{"function":5},"effect":{"ioc_status":"0x0004"}}]})");
  run = RunVolkit(port_status, {"0", "nosuch"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");  // set-up fails before the command word is judged
}

TEST(Entry, CommandWordsReachTheirHandlerInAnyCase) {
  VolkitRun run = RunVolkit(Controllers({{0, "0x54"}}), {"0", "LOCATE", "1:2", "on"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) +
                         "volkit: Enclosure Id not valid for disk : \"1:2\"!\n"
                         "volkit: Locate command failed.\n");
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace volkit_test
