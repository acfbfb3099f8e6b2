// The json document agrees with DISPLAY and STATUS on the same state, run
// through the binary: the built-in lab, a failed member, every volume and
// disk state, disks of every kind, and a volume inactive by its page flag.
#include <gtest/gtest.h>

#include <string>

#include "monitor/json_verb_expect.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(JsonVerb, BuiltInLabAgreesWithDisplayAndStatus) {
  VolkitRun run = RunVolkit(DefaultLab(), {"all", "json"});
  ASSERT_EQ(run.status, 0) << run.err;
  json doc = Document(run);
  EXPECT_EQ(doc["json_format_version"], json::array({1, 1}));
  EXPECT_EQ(doc["volkit"]["argv"], json::array({VolkitPath(), "all", "json"}));
  ASSERT_EQ(doc["controllers"].size(), 2u);
  ExpectAgreesWithDisplay(DefaultLab(), doc, 0);
  ExpectAgreesWithDisplay(DefaultLab(), doc, 1);

  const json& c0 = doc["controllers"][0];
  EXPECT_EQ(c0["bus_type"], "sas");
  EXPECT_EQ(c0["model"], "Heron");
  EXPECT_EQ(c0["firmware_version"], "1.27.02.00");
  EXPECT_EQ(c0["bios_version"], "6.24.03.00");
  EXPECT_EQ(c0["complete"], true);
  EXPECT_EQ(doc["controllers"][1]["bus_type"], "parallel_scsi");
  EXPECT_EQ(doc["controllers"][1]["devices"][0]["enclosure"], nullptr);

  // The resynchronising mirror: DISPLAY's "Resyncing", STATUS's percentage.
  const json& v = c0["volumes"][0];
  EXPECT_EQ(v["state"], "degraded");
  EXPECT_EQ(v["type"], "im");
  EXPECT_EQ(v["raid_level"], "1");
  EXPECT_EQ(v["resync"]["active"], true);
  VolkitRun status = RunVolkit(DefaultLab(), {"0", "status"});
  size_t at = status.out.find("Percentage complete                     : ");
  ASSERT_NE(at, std::string::npos);
  double percent = std::stod(status.out.substr(at + 42));
  EXPECT_NEAR(v["resync"]["ratio"].get<double>() * 100, percent, 0.005);
  VolkitRun display = RunVolkit(DefaultLab(), {"0", "display"});
  EXPECT_NE(display.out.find("Status of volume                        : Resyncing (RSY)"),
            std::string::npos);
  EXPECT_NE(display.out.find("Size (in MB)                            : " +
                             std::to_string(v["size_blocks"].get<uint64_t>() >> 11)),
            std::string::npos);
  EXPECT_EQ(v["members"][0], json({{"physical_disk", 0}, {"target", 0}, {"state", "online"}}));
  EXPECT_EQ(c0["hot_spares"],
            json::parse(R"([{"physical_disk": 2, "target": 9, "state": "hot_spare"}])"));
  EXPECT_EQ(c0["physical_disks"], json::parse(R"([
      {"physical_disk": 0, "target": 0, "state": "online", "volume_id": 0, "hot_spare": false},
      {"physical_disk": 1, "target": 1, "state": "out_of_sync", "volume_id": 0, "hot_spare": false},
      {"physical_disk": 2, "target": 9, "state": "hot_spare", "volume_id": null,
       "hot_spare": true}])"));
  EXPECT_EQ(doc["controllers"][1]["physical_disks"], json::array());
  EXPECT_EQ(c0["enclosures"][0]["logical_id"], "0012ab00:50000d1e");
  EXPECT_EQ(doc["health"]["state"], "warning");
  EXPECT_EQ(doc["health"]["reasons"][0].get<std::string>().rfind(
                "controller 0 volume 0 (IM) resyncing ", 0),
            0u);
}

TEST(JsonVerb, FailedMemberMakesTheMirrorCritical) {
  json lab = SasLab(3);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  VolkitRun failed = RunVxtsim(lab, {"fail", "0:1"});
  ASSERT_EQ(failed.status, 0) << failed.err;
  VolkitRun run = RunVolkitAgain(failed, {"0", "json"});
  EXPECT_EQ(run.status, 0) << run.err;
  json doc = Document(run);
  EXPECT_EQ(doc["health"]["state"], "critical");
  EXPECT_EQ(doc["health"]["reasons"],
            json::array({"controller 0 volume 0 (IM) degraded", "controller 0 target 1 failed"}));
  EXPECT_EQ(doc["controllers"][0]["devices"][1]["state"], "failed");
}

TEST(JsonVerb, VolumeAndDiskStates) {
  json lab = SasLab(8);
  lab["controllers"][0]["pages"]["IocPg2"] = {{"MaxVolumes", 4}};
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1, "state": 5},
                   {"num": 2, "target": 2}, {"num": 3, "target": 3, "smart": {"count": 4}},
                   {"num": 4, "target": 4}, {"num": 5, "target": 5},
                   {"num": 6, "target": 6, "hot_spare_pool": 1}],
      "volumes": [{"id": 10, "type": "IM", "members": [4, 5], "inactive": true},
                  {"id": 8, "type": "IS", "members": [2, 3], "state": 2},
                  {"id": 9, "type": "IM", "members": [0, 1], "state": 3}]})");
  json doc = RunJson(lab, {"0", "json"}, 0);
  const json& c = doc["controllers"][0];
  ASSERT_EQ(c["volumes"].size(), 3u);
  EXPECT_EQ(c["volumes"][0]["volume_id"], 8);  // in ID order
  EXPECT_EQ(c["volumes"][0]["state"], "failed");
  EXPECT_EQ(c["volumes"][1]["state"], "missing");
  EXPECT_EQ(c["volumes"][1]["members"][1]["state"], "offline_requested");
  EXPECT_EQ(c["volumes"][2]["inactive"], true);
  EXPECT_EQ(c["devices"][3]["predictive_failure"], true);
  EXPECT_EQ(c["devices"][7]["predictive_failure"], nullptr);
  EXPECT_EQ(c["hot_spares"][0]["state"], "hot_spare");
  EXPECT_EQ(doc["health"]["state"], "critical");
  EXPECT_EQ(doc["health"]["reasons"],
            json::array({"controller 0 volume 8 (IS) failed", "controller 0 volume 9 (IM) missing",
                         "controller 0 target 1 offline_requested",
                         "controller 0 target 3 reports 4 SMART errors",
                         "controller 0 volume 10 (IM) inactive"}));
  ExpectAgreesWithDisplay(lab, doc, 0);
}

// DISPLAY's volume blocks: volume ID, state text, RAID level, size in MB and
// member targets, as the document must give them.
TEST(JsonVerb, DisksOfEveryKindAgreeWithDisplay) {
  json lab = Lab(R"({"controllers": [{"number": 0, "devices": [
      {"target": 0, "vendor": "ORBITAL", "product": "OD73", "revision": "0004",
       "serial": "S0", "blocks": 143374744, "enclosure": 1, "slot": 0},
      {"target": 1, "protocol": "sata", "vendor": "ATA", "product": "MD500S", "revision": "CC1",
       "serial": "S1", "blocks": 143374744, "enclosure": 1, "slot": 1, "ssd": true},
      {"target": 2, "protocol": "sata", "vendor": "ATA", "product": "MD250S",
       "ata_model": "MERIDIAN MD250S     FRU81A27PN77Q310KVR ", "revision": "CC12",
       "serial": "S2", "blocks": 143374744, "enclosure": 1, "slot": 2},
      {"target": 3, "vendor": "KVR", "product": "KVRDISK0123456789", "revision": "K001",
       "serial": "S3", "blocks": 143374744, "enclosure": 1, "slot": 3},
      {"target": 4, "protocol": "sata", "vendor": "ATA", "product": "MD250S",
       "ata_model": "MERIDIAN MD250S     FRU81A27PN77Q310KVR ", "revision": "CC12",
       "serial": "S4", "blocks": 143374744, "enclosure": 1, "slot": 4},
      {"target": 5, "type": 13, "vendor": "ENCL", "product": "SEP", "enclosure": 1, "slot": 5}],
    "enclosures": [{"num_slots": 8}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                            {"num": 2, "target": 2}, {"num": 3, "target": 3}],
             "volumes": [{"id": 0, "type": "IM", "members": [0, 1]},
                         {"id": 1, "type": "IS", "members": [2, 3]}]}}]})");
  json doc = RunJson(lab, {"0", "json"}, 0);
  ExpectAgreesWithDisplay(lab, doc, 0);
  const json& c = doc["controllers"][0];
  ASSERT_EQ(c["devices"].size(), 6u);
  EXPECT_EQ(c["devices"][1]["ssd"], true);
  EXPECT_EQ(c["devices"][1]["protocol"], "sata");
  EXPECT_EQ(c["devices"][2]["vendor"], "KVR");            // from IDENTIFY
  EXPECT_EQ(c["devices"][3]["model"], "KVRDISK0123456");  // two characters shorter
  EXPECT_EQ(c["devices"][5]["device_type"], "enclosure");
  EXPECT_EQ(c["devices"][5]["serial"], nullptr);

  VolkitRun display = RunVolkit(lab, {"0", "display"});
  for (const json& v : c["volumes"]) {
    std::string block =
        "  Volume ID                               : " + std::to_string(v["volume_id"].get<int>()) +
        "\n";
    size_t at = display.out.find(block);
    ASSERT_NE(at, std::string::npos);
    std::string rest = display.out.substr(at);
    EXPECT_NE(rest.find("Status of volume                        : Okay (OKY)"), std::string::npos);
    EXPECT_EQ(rest.find("RAID level                              : " +
                        std::string(v["type"] == "im" ? "1" : "0") + "\n"),
              rest.find("RAID level"));
    EXPECT_NE(rest.find("Size (in MB)                            : " +
                        std::to_string(v["size_blocks"].get<uint64_t>() >> 11) + "\n"),
              std::string::npos);
    std::string members = "  Physical hard disks (Target ID)         :";
    for (const json& m : v["members"]) {
      members += ' ';
      members += std::to_string(m["target"].get<int>());
    }
    EXPECT_NE(rest.find(members + "\n"), std::string::npos) << members;
  }
}

// The volume page's own inactive flag suffices, as in DISPLAY.
TEST(JsonVerb, InactiveByThePageFlagAlone) {
  json lab = SasLab(2);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1], "status_flags": "0x09"}]})");
  json doc = RunJson(lab, {"0", "json"}, 0);
  EXPECT_EQ(doc["controllers"][0]["volumes"][0]["inactive"], true);
  EXPECT_EQ(doc["health"]["reasons"], json::array({"controller 0 volume 0 (IM) inactive"}));
  VolkitRun display = RunVolkit(lab, {"0", "display"});
  EXPECT_NE(display.out.find("Status of volume                        : Inactive, Okay (OKY)"),
            std::string::npos);
  ExpectAgreesWithDisplay(lab, doc, 0);
}

}  // namespace
}  // namespace volkit_test
