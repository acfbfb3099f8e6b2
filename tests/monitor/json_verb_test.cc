// The json verb through the binary: the document agrees with DISPLAY and
// STATUS on the same state, validates against the shipped schema, is read
// with allowed requests only and within its budget, and says what failed.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "report/report_expect.h"
#include "support/lab.h"
#include "support/read_requests.h"
#include "support/run_program.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// The source tree, from the built-in lab's place in it.
std::string SchemaPath() {
  std::string lab = VXTSIM_DEFAULT_LAB_FILE;
  return lab.substr(0, lab.rfind("/sim/labs/")) + "/docs/volkit-json.schema.json";
}

std::string Validate(const VolkitRun& run) {
  const std::string doc = run.dir + "/document.json";
  std::ofstream(doc) << run.out;
  // The real validator of Debian's python3-jsonschema, draft 7.
  const std::string script =
      "import json, sys, jsonschema\n"
      "schema = json.load(open(sys.argv[1]))\n"
      "jsonschema.Draft7Validator.check_schema(schema)\n"
      "jsonschema.Draft7Validator(schema).validate(json.load(open(sys.argv[2])))\n";
  VolkitRun check = RunProgram({"/usr/bin/python3", "-c", script, SchemaPath(), doc});
  return check.status == 0 ? "" : check.err;
}

// Runs `volkit ARGS` and checks what holds for every document.
json Document(const VolkitRun& run) {
  EXPECT_EQ(run.out.find("Norvane"), std::string::npos) << "a banner before the document";
  json doc = json::parse(run.out, nullptr, false);
  EXPECT_FALSE(doc.is_discarded()) << run.out;
  if (doc.is_discarded()) return json::object();
  EXPECT_EQ(Validate(run), "");
  EXPECT_EQ(doc["volkit"]["exit_status"], run.status);
  size_t requests = 0;
  for (const json& line : run.Ioctls()) {
    EXPECT_TRUE(IsReadRequest(line)) << line.dump();
    // The budget counts firmware requests; asking the driver which
    // controllers exist is not one.
    if (line["kind"] == "passthrough") ++requests;
  }
  size_t budget = 0;
  for (const json& c : doc["controllers"]) {
    budget += 40 + 10 * c["devices"].size() + 6 * c["volumes"].size();
  }
  EXPECT_LE(requests, std::max<size_t>(budget, 1)) << "over the request budget";
  return doc;
}

json RunJson(const json& lab, const std::vector<std::string>& args, int want_status) {
  VolkitRun run = RunVolkit(lab, args);
  EXPECT_EQ(run.status, want_status) << run.err;
  return Document(run);
}

// DISPLAY's device blocks by target: each label with its value, trimmed.
std::map<int, std::map<std::string, std::string>> DisplayTargets(const std::string& report) {
  std::map<int, std::map<std::string, std::string>> targets;
  std::istringstream in(report);
  std::string line;
  int target = -1;
  while (std::getline(in, line)) {
    if (line.rfind("Target on ID #", 0) == 0) {
      target = std::stoi(line.substr(14));
    } else if (line.rfind("Enclosure#", 0) == 0 || line.rfind("---", 0) == 0) {
      target = -1;
    }
    size_t colon = line.find(" : ");
    if (target < 0 || colon == std::string::npos) continue;
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(' '));
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    targets[target][trim(line.substr(0, colon))] = trim(line.substr(colon + 3));
  }
  return targets;
}

const std::map<std::string, std::string> kStateWords = {
    {"Online (ONL)", "online"},       {"Out of Sync (OSY)", "out_of_sync"},
    {"Hot Spare (HSP)", "hot_spare"}, {"Missing (MIS)", "missing"},
    {"Failed (FLD)", "failed"},       {"Offline Requested (OFLR)", "offline_requested"},
    {"Ready (RDY)", "ready"},         {"Available (AVL)", "available"},
    {"Standby (SBY)", "standby"},
};

// Every device DISPLAY shows is in the document with the same values.
void ExpectAgreesWithDisplay(const json& lab, const json& doc, int controller) {
  VolkitRun display = RunVolkit(lab, {std::to_string(controller), "display"});
  auto targets = DisplayTargets(display.out);
  json devices;
  for (const json& c : doc["controllers"]) {
    if (c["controller"] == controller) devices = c["devices"];
  }
  for (const auto& [target, shown] : targets) {
    SCOPED_TRACE("target " + std::to_string(target));
    const json* found = nullptr;
    for (const json& d : devices) {
      if (d["target"] == target) found = &d;
    }
    ASSERT_NE(found, nullptr);
    const json& d = *found;
    EXPECT_EQ(d["vendor"], shown.at("Manufacturer"));
    EXPECT_EQ(d["model"], shown.at("Model Number"));
    EXPECT_EQ(d["firmware_revision"], shown.at("Firmware Revision"));
    // A member of an inactive volume is not asked: blank there, unknown here.
    if (shown.count("Serial No") && !d["serial"].is_null()) {
      EXPECT_EQ(d["serial"], shown.at("Serial No"));
    }
    if (shown.count("State")) {
      EXPECT_EQ(d["state"], kStateWords.at(shown.at("State")));
    }
    if (shown.count("Enclosure #")) {
      EXPECT_EQ(d["enclosure"], std::stoi(shown.at("Enclosure #")));
      EXPECT_EQ(d["slot"], std::stoi(shown.at("Slot #")));
    }
    if (shown.count("Size (in MB)/(in sectors)")) {
      const std::string& size = shown.at("Size (in MB)/(in sectors)");
      EXPECT_EQ(std::to_string(d["blocks"].get<uint64_t>()), size.substr(size.find('/') + 1));
    }
    EXPECT_EQ(d["ssd"] == true, shown.at("Drive Type") == "SSD");
    if (shown.count("Protocol")) {
      EXPECT_EQ(d["protocol"], shown.at("Protocol") == "SATA" ? "sata" : "sas");
    }
  }
  EXPECT_EQ(devices.size(), targets.size());
}

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
