// Every request of every command failed in turn, in every way that fits it:
// never a crash, never a failure reported as success, never a half-made
// configuration. VOLKIT_DEEP_SWEEP=1 runs every scan step and fault kind.
#include "support/fault_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "layout/layout_test_support.h"
#include "support/lab.h"
#include "support/raid_log.h"

namespace volkit_test {
namespace {

// A short target scan keeps the clean runs small.
json SmallLab(int disks, int device_limit = 8) {
  json lab = SasLab(disks);
  if (!DeepSweep()) lab["controllers"][0]["port_facts"] = {{"device_limit", device_limit}};
  return lab;
}

// Disks 0 and 1 at targets 0 and 1 make up mirror 0.
json MirrorLab(int disks = 2, int device_limit = 8) {
  json lab = SmallLab(disks, device_limit);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

// A failed DELETE leaves its earlier deletions standing and says so.
std::string PartDeleted(const json& lab, const VolkitRun& run) {
  if (run.out.find("volkit: Volume delete failed.\n") == std::string::npos) return "";
  const json was = Configuration(lab).at(0), now = Configuration(run.state).at(0);
  for (const char* key : {"phys_disks", "volumes"}) {
    for (const json& item : now.at(key)) {
      if (std::find(was.at(key).begin(), was.at(key).end(), item) == was.at(key).end()) return "";
    }
  }
  return "partly deleted, as the failure message says";
}

// An enclosure walk step whose reply is lost reads as a success (a missing
// reply is zeroed): a zero header length shows no enclosure, and an end of
// walk an unfilled page.
std::string LostEnclosureReply(const std::string& fault, const VolkitRun&) {
  const bool walk = fault.find(R"("ext_page_type":21)") != std::string::npos;
  return walk && fault.find("no reply") != std::string::npos ? "lost walk reply" : "";
}

void Sweep(const SweepScenario& s) {
  const SweepCounts counts = SweepSingleFaults(s);
  std::string line;
  for (const std::string& a : s.args) line += " " + a;
  std::printf("fault sweep volkit%s: %zu requests, %zu swept, %zu runs\n", line.c_str(),
              counts.requests, counts.swept, counts.runs);
  testing::Test::RecordProperty("runs", static_cast<int>(counts.runs));
}

TEST(FaultSweep, List) {
  SweepScenario s;
  s.lab = SmallLab(1);
  s.args = {"list"};
  s.success_texts = {"   0     Heron   1000h    54h "};
  Sweep(s);
}

TEST(FaultSweep, Display) {
  SweepScenario s;
  s.lab = MirrorLab(3, 4);
  s.args = {"0", "display"};
  s.report = true;
  s.excused = LostEnclosureReply;
  Sweep(s);
}

// The json document under every fault: always a whole, parseable document;
// exit 0 only with the clean run's picture, and otherwise never a healthy
// or complete one.
std::string CheckDocument(const json& clean, const std::string& fault, const VolkitRun& run) {
  const json doc = json::parse(run.out, nullptr, false);
  EXPECT_FALSE(doc.is_discarded()) << "no document:\n" << run.out;
  if (doc.is_discarded()) return "checked as a document";
  EXPECT_EQ(doc["volkit"]["exit_status"], run.status);
  if (run.status == 0) {
    // A request sent without a reply is taken as a clean success, as every
    // command takes it; its page then shows what the unfilled buffer holds.
    // So is an INQUIRY that delivers less than it was asked for, which
    // devices do as a matter of course.
    // A device that is not ready says so; it is its state, not a failed
    // read.  The end-of-list status in the middle of a walk ends the list.
    const bool inquiry = fault.find(R"("scsi_opcode":18)") != std::string::npos;
    const bool walk_step = fault.find(R"("action":1)") != std::string::npos &&
                           fault.find(R"("page_type":15)") != std::string::npos;
    const bool taken = fault.find("no reply") != std::string::npos ||
                       fault.find("not ready") != std::string::npos ||
                       (walk_step && fault.find("IocStatus 0x0022") != std::string::npos) ||
                       (inquiry && fault.find("data phase") != std::string::npos);
    if (!taken) {
      EXPECT_EQ(doc["controllers"], clean["controllers"]) << "exit 0 with another picture";
      EXPECT_EQ(doc["health"], clean["health"]);
    }
    return "checked as a document";
  }
  EXPECT_TRUE(run.status == 1 || run.status == 2);
  EXPECT_NE(doc["health"]["state"], "ok");
  bool incomplete = doc["controllers"].empty();
  for (const json& c : doc["controllers"]) incomplete = incomplete || c["complete"] == false;
  EXPECT_TRUE(incomplete) << "a failed run with every controller complete";
  return "checked as a document";
}

void SweepJson(const json& lab) {
  SweepScenario s;
  s.lab = lab;
  s.args = {"0", "json"};
  const json clean = json::parse(RunVolkit(lab, s.args).out, nullptr, false);
  ASSERT_FALSE(clean.is_discarded());
  ASSERT_EQ(clean["health"]["state"], "ok");
  s.excused = [clean](const std::string& fault, const VolkitRun& run) {
    return CheckDocument(clean, fault, run);
  };
  Sweep(s);
}

TEST(FaultSweep, Json) {
  json lab = MirrorLab(4, 4);
  lab["controllers"][0]["raid"]["phys_disks"].push_back(
      {{"num", 3}, {"target", 3}, {"hot_spare_pool", 1}});
  lab["controllers"][0]["devices"][2]["protocol"] = "sata";
  SweepJson(lab);
}

TEST(FaultSweep, JsonParallelScsi) {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
      "port_facts": {"device_limit": 3},
      "devices": [{"target": 0, "blocks": 2048}, {"target": 1, "blocks": 4096}]}]})");
  SweepJson(lab);
}

TEST(FaultSweep, DisplayIntoFile) {
  SweepScenario s;
  s.lab = SmallLab(1, 2);
  s.args = {"0", "display", "report.txt"};
  s.report = true;
  s.excused = LostEnclosureReply;
  Sweep(s);
}

TEST(FaultSweep, DisplayKvrFru) {
  SweepScenario s;
  s.lab = SmallLab(1, 2);
  s.args = {"0", "display", "KVRFRU"};
  s.report = true;
  s.excused = LostEnclosureReply;
  Sweep(s);
}

TEST(FaultSweep, Status) {
  SweepScenario s;
  s.lab = MirrorLab();
  s.lab["controllers"][0]["raid"]["volumes"][0]["resync"] = {{"total", 1000}, {"remaining", 500}};
  s.args = {"0", "status"};
  Sweep(s);
}

SweepScenario Create(const char* type, int disks) {
  SweepScenario s;
  s.lab = SmallLab(disks);
  s.args = {"0", "create", type, "max"};
  for (int t = 0; t < disks; ++t) s.args.push_back(std::to_string(t));
  s.args.push_back("noprompt");
  s.changing = true;
  s.failure_keeps_old = true;
  s.every_request = true;
  return s;
}

TEST(FaultSweep, CreateMirror) { Sweep(Create("im", 2)); }
TEST(FaultSweep, CreateEnhancedMirror) { Sweep(Create("ime", 3)); }
TEST(FaultSweep, CreateStripe) { Sweep(Create("is", 2)); }

SweepScenario Auto(const char* word, const char* type) {
  SweepScenario s;
  s.lab = SmallLab(2, 2);
  s.args = {"0", word, type, "max", "noprompt"};
  s.changing = true;
  s.failure_keeps_old = true;
  s.every_request = true;
  return s;
}

TEST(FaultSweep, AutoMirror) { Sweep(Auto("auto", "im")); }
TEST(FaultSweep, AutoStripe) { Sweep(Auto("auto", "is")); }
TEST(FaultSweep, Auto1Mirror) { Sweep(Auto("auto1", "im")); }

// Each controller keeps its old configuration or takes its new one, and a
// controller left unchanged is named in a failure message, or the run stops
// there with a non-zero status.
std::string EachControllerOldOrNew(const VolkitRun& run, const json& before, const json& after) {
  const json now = Configuration(run.state);
  if (now.size() != before.size()) return "";
  for (size_t i = 0; i < now.size(); ++i) {
    const std::string failed = "volkit: command failed for controller " + std::to_string(i) + "!\n";
    if (now[i] == after[i]) continue;
    const bool told = run.status != 0 || run.err.find(failed) != std::string::npos;
    if (now[i] != before[i] || !told) return "";
  }
  return "old on the controllers named as failed or not reached, new on the others";
}

TEST(FaultSweep, AutoOverEverySasController) {
  SweepScenario s = Auto("auto", "im");
  json second = s.lab["controllers"][0];
  second["number"] = 1;
  second["pci"]["bus"] = 3;
  s.lab["controllers"].push_back(second);
  s.args[0] = "SAS";
  // The first controller's requests are AUTO's own: each kind of request is
  // failed once on either controller.
  s.every_request = false;
  s.sample_first = 1;
  s.failure_keeps_old = false;
  s.failure_exits_zero = true;
  s.partial = EachControllerOldOrNew;
  s.excused = [](const std::string& fault, const VolkitRun&) -> std::string {
    const bool adapter = fault.find(R"("request":"adapter_info")") != std::string::npos;
    return adapter && fault.find("no reply") != std::string::npos
               ? "an untouched adapter record reads as a parallel SCSI controller, skipped here"
               : "";
  };
  Sweep(s);
}

// Mirror 0 on targets 0 and 1; target 2 free, target 3 a hot spare.
json HotSpareLab() {
  json lab = SmallLab(4);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 3, "target": 3, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

TEST(FaultSweep, HotSpare) {
  SweepScenario s;
  s.lab = HotSpareLab();
  s.args = {"0", "hotspare", "2"};
  s.changing = true;
  s.failure_keeps_old = true;
  s.every_request = true;
  Sweep(s);
  s.args = {"0", "hotspare", "delete", "3"};
  Sweep(s);
}

// An apply that builds a mirror and adds its hot spare.  A failed build
// rolls back; a failed spare leaves the mirror alone, which the report says.
TEST(FaultSweep, Apply) {
  SweepScenario s;
  s.lab = SmallLab(3);
  s.args = {"0", "apply", WriteLayout(OneController(Lab(R"({"controller": 0,
      "volumes": [{"type": "im", "disks": ["1:0", "1:1"]}], "hot_spares": ["1:2"]})"))),
            "noprompt"};
  s.changing = true;
  s.success_texts = {"controller 0: in sync with the layout.\n"};
  s.partial = [](const VolkitRun& run, const json&, const json& after) -> std::string {
    const bool reported = run.out.find("  done: create volume im") != std::string::npos &&
                          run.out.find("  failed: add hot spare 1:2") != std::string::npos;
    // The build done and checked, only the re-read that confirms it failed.
    const bool unconfirmed = run.err.find("could not be read completely") != std::string::npos &&
                             run.out.find("apply stopped") == std::string::npos;
    const json now = Configuration(run.state).at(0);
    if (unconfirmed) return now == after.at(0) ? "built, the confirming read failed" : "";
    if (!reported || now.at("volumes") != after.at(0).at("volumes")) return "";
    return now.at("phys_disks").size() + 1 == after.at(0).at("phys_disks").size()
               ? "the mirror without its spare, as the report says"
               : "";
  };
  // The snapshot takes a serial number from whatever part of the page came
  // (as json does), so a cut-short page shows in the plan's text.
  s.excused = [](const std::string& fault, const VolkitRun&) -> std::string {
    const bool serial_read = fault.find(R"("scsi_opcode":18)") != std::string::npos;
    return serial_read && fault.find("short data phase") != std::string::npos
               ? "serial from a short page"
               : "";
  };
  Sweep(s);
}

TEST(FaultSweep, Delete) {
  SweepScenario s;
  s.lab = MirrorLab(3);
  s.lab["controllers"][0]["raid"]["phys_disks"].push_back(
      {{"num", 2}, {"target", 2}, {"hot_spare_pool", 1}});
  s.args = {"0", "delete", "noprompt"};
  s.changing = true;
  s.every_request = true;
  s.partial = [lab = s.lab](const VolkitRun& run, const json&, const json&) {
    return PartDeleted(lab, run);
  };
  Sweep(s);
}

TEST(FaultSweep, SetOffline) {
  SweepScenario s;
  s.lab = MirrorLab();
  s.args = {"0", "setoffline", "1"};
  s.changing = true;
  Sweep(s);
}

TEST(FaultSweep, SetOnline) {
  SweepScenario s;
  s.lab = MirrorLab();
  s.lab["controllers"][0]["raid"]["phys_disks"][1]["state"] = 5;
  s.args = {"0", "setonline", "1"};
  s.changing = true;
  Sweep(s);
}

TEST(FaultSweep, Rebuild) {
  SweepScenario s;
  s.lab = MirrorLab();
  s.args = {"0", "rebuild", "0"};
  // The member taken offline to restart the resync stays so when it cannot
  // be brought back, and the message tells how to bring it back.
  s.partial = [lab = s.lab](const VolkitRun& run, const json&, const json&) -> std::string {
    json offline = lab;
    offline["controllers"][0]["raid"]["phys_disks"][1]["state"] = 5;
    const bool told = run.err.find("is left offline!") != std::string::npos;
    return told && Configuration(run.state) == Configuration(offline) ? "member left offline" : "";
  };
  Sweep(s);
}

TEST(FaultSweep, Locate) {
  SweepScenario s;
  s.lab = SmallLab(2);
  s.args = {"0", "locate", "1:1", "on"};
  s.changing = true;
  s.excused = [](const std::string& fault, const VolkitRun&) -> std::string {
    const bool status_read =
        fault.find(R"("action":1,"controller":0,"function":24)") != std::string::npos;
    return status_read && fault.find("no reply") != std::string::npos
               ? "a slot status read without a reply reads as 0 (a missing reply is zeroed)"
               : "";
  };
  Sweep(s);
  s.lab["controllers"][0]["enclosures"][0]["slot_status"] = {{"0", "0x20001"}};
  s.args = {"0", "locate", "0", "off"};
  Sweep(s);
}

TEST(FaultSweep, IrSwitch) {
  SweepScenario s;
  s.lab = SmallLab(1);
  s.args = {"0", "disableir"};
  s.changing = true;
  s.excused = [](const std::string& fault, const VolkitRun&) -> std::string {
    return fault.find(R"("request":"reset")") == std::string::npos
               ? ""
               : "the switch waits for a reboot when the reset fails, as the warning says";
  };
  Sweep(s);
  s.lab["controllers"][0]["pages"]["IoUnitPg1"] = {{"IoUnitFlags", "0x40"}};
  s.args = {"0", "enableir"};
  Sweep(s);
}

TEST(FaultSweep, Format) {
  SweepScenario s;
  s.lab = SmallLab(2);
  s.args = {"0", "format", "1", "noprompt"};
  Sweep(s);
}

// The persistent form rests on this: a rule with an empty effect only counts
// the matches it lets through.
TEST(FaultSweep, EmptyEffectLetsMatchesThrough) {
  json lab = SmallLab(1);
  lab["faults"] = Lab(R"([{"match": {"page": "IocPg2", "action": 1}, "first": 1, "effect": {}},
                          {"match": {"page": "IocPg2", "action": 1},
                           "effect": {"ioc_status": "0x0004"}}])");
  VolkitRun run = RunVolkit(lab, {"0", "display"});
  std::vector<int> statuses;
  for (const json& line : run.Ioctls(0x04)) {
    const ByteVector f = FrameBytes(line, 24);
    if (f[0] == 1 && f[23] == 1 && f[22] == 2) statuses.push_back(line.value("ioc_status", -1));
  }
  ASSERT_GE(statuses.size(), 2u) << run.out;
  EXPECT_EQ(statuses[0], 0);
  EXPECT_EQ(statuses[1], 4);
}

}  // namespace
}  // namespace volkit_test
