// The json verb through the binary: every device and controller in the
// document, its request budget on a large lab, the exit statuses with the
// document still printed, the command lines refused as before, and escaped
// strings.  Every document validates against the shipped schema and is read
// with allowed requests only (json_verb_expect.h).
#include <gtest/gtest.h>

#include <string>

#include "monitor/json_verb_expect.h"
#include "report/report_expect.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(JsonVerb, EveryDeviceAlsoWhereDisplayCountsNoTargets) {
  json lab = SasLab(3);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 256}};
  json doc = RunJson(lab, {"0", "json"}, 0);
  EXPECT_EQ(doc["controllers"][0]["devices"].size(), 3u);
  EXPECT_EQ(doc["health"]["state"], "ok");
}

// A hundred and ten disks with five volumes: DISPLAY asks every target ID
// several times over; the document stays within its budget.
TEST(JsonVerb, LeanOnAHundredAndTenDisks) {
  json lab = SasLab(110);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 128}};
  lab["controllers"][0]["pages"]["IocPg2"] = {{"MaxVolumes", 8}, {"MaxPhysDisks", 30}};
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MaxDrivesIME", 10}};
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}, {"num": 2, "target": 2},
                   {"num": 3, "target": 3}, {"num": 4, "target": 4}, {"num": 5, "target": 5},
                   {"num": 6, "target": 6}, {"num": 7, "target": 7}, {"num": 8, "target": 8},
                   {"num": 9, "target": 9}, {"num": 10, "target": 10}],
    "volumes": [{"id": 0, "members": [0, 1], "state": 1,
                 "resync": {"total": 1000, "remaining": 400, "step": 0}},
                {"id": 2, "type": "IME", "members": [2, 3, 4]},
                {"id": 5, "type": "IS", "members": [5, 6]},
                {"id": 7, "members": [7, 8]}, {"id": 9, "members": [9, 10]}]})");
  VolkitRun run = RunVolkit(lab, {"0", "json"});
  ASSERT_EQ(run.status, 0) << run.err;
  json doc = Document(run);
  EXPECT_EQ(doc["controllers"][0]["devices"].size(), 110u);
  EXPECT_EQ(doc["controllers"][0]["volumes"].size(), 5u);
  EXPECT_LE(run.Ioctls(0x04).size() + run.Ioctls(0x00).size() + run.Ioctls(0x16).size() +
                run.Ioctls(0x15).size() + run.Ioctls(0x1C).size(),
            1160u);
  // Every page instance read once: one data read per volume, disk and device.
  size_t volume_reads = 0;
  for (const json& line : run.Ioctls(0x04)) {
    if (FrameHex(line, 24).substr(0, 2) == "01" && FrameHex(line, 24).substr(46, 2) == "08") {
      ++volume_reads;
    }
  }
  EXPECT_EQ(volume_reads, 5u);
  ExpectAgreesWithDisplay(lab, doc, 0);
}

TEST(JsonVerb, AllControllersWithAGapInTheirNumbers) {
  json lab = SasLab(1);
  json second = lab["controllers"][0];
  second["number"] = 3;
  lab["controllers"].push_back(second);
  json doc = RunJson(lab, {"ALL", "JSON"}, 0);
  ASSERT_EQ(doc["controllers"].size(), 2u);
  EXPECT_EQ(doc["controllers"][0]["controller"], 0);
  EXPECT_EQ(doc["controllers"][1]["controller"], 3);
}

TEST(JsonVerb, ExitStatusesWithTheDocumentStillPrinted) {
  json doc = RunJson(SasLab(1), {"5", "json"}, 2);
  EXPECT_EQ(doc["controllers"], json::array());
  EXPECT_EQ(doc["health"]["state"], "unknown");
  EXPECT_EQ(doc["volkit"]["messages"][0]["text"], "controller 5 not found");

  json none = SasLab(1);
  none["controllers"] = json::array();
  EXPECT_EQ(RunJson(none, {"all", "json"}, 2)["health"]["reasons"],
            json::array({"no controllers found"}));
  json unloaded = SasLab(1);
  unloaded["node"] = {{"driver_loaded", false}};
  EXPECT_EQ(RunJson(unloaded, {"0", "json"}, 2)["controllers"], json::array());

  json faulty = SasLab(2);
  faulty["faults"] = Lab(R"([{"match": {"page": "IocPg2"}, "effect": {"ioc_status": 34}}])");
  doc = RunJson(faulty, {"0", "json"}, 1);
  EXPECT_EQ(doc["controllers"][0]["complete"], false);
  EXPECT_EQ(doc["health"]["state"], "unknown");
  EXPECT_EQ(doc["health"]["reasons"][0],
            "controller 0 could not be read completely: the volume list");
}

TEST(JsonVerb, CommandLinesRefusedAsBefore) {
  VolkitRun run = RunVolkit(SasLab(1), {"0x1z", "json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "volkit: bad controller number \"0x1z\"!\n");
  run = RunVolkit(SasLab(1), {"0", "json", "extra"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(run.Ioctls().empty());
  // `all` before any other command keeps its old refusal.
  run = RunVolkit(SasLab(1), {"all", "display"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err,
            "volkit: Invalid controller specified. It must be either 'SAS' or a valid "
            "controller #.\n");
}

TEST(JsonVerb, ItsStringsAreEscaped) {
  json lab = SasLab(1);
  lab["controllers"][0]["devices"][0]["vendor"] = "A\"B\\";
  lab["controllers"][0]["devices"][0]["inquiry_bytes"] = {{"16", "01e9"}};
  VolkitRun run = RunVolkit(lab, {"0", "json"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find(R"("vendor": "A\"B\\")"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(R"("model": "\u0001\u00e9)"), std::string::npos) << run.out;
  Document(run);
}

}  // namespace
}  // namespace volkit_test
