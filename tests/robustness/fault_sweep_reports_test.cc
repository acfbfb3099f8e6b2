// The reports with every request failed in turn, in every way that fits it:
// LIST, DISPLAY (on screen, into a file, with KVR strings), STATUS and the
// json document never crash, never report a failure as success, and a json
// document is always whole.  VOLKIT_DEEP_SWEEP=1 runs every scan step and
// fault kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "robustness/sweep_labs.h"
#include "support/fault_sweep.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// An enclosure walk step whose reply is lost reads as a success (a missing
// reply is zeroed): a zero header length shows no enclosure, and an end of
// walk an unfilled page.
std::string LostEnclosureReply(const std::string& fault, const VolkitRun&) {
  const bool walk = fault.find(R"("ext_page_type":21)") != std::string::npos;
  return walk && fault.find("no reply") != std::string::npos ? "lost walk reply" : "";
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
  s.lab = SmallMirrorLab(3, 4);
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
  json lab = SmallMirrorLab(4, 4);
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
  s.lab = SmallMirrorLab();
  s.lab["controllers"][0]["raid"]["volumes"][0]["resync"] = {{"total", 1000}, {"remaining", 500}};
  s.args = {"0", "status"};
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
