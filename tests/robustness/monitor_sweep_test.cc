// health and metrics with every request failed in turn: the plugin line
// always names the state its exit status says, a failed read never leaves
// it OK, and the metrics then show the controller uncollected and no more.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/fault_sweep.h"
#include "support/lab.h"
#include "support/prometheus_check.h"

namespace volkit_test {
namespace {

// A mirror of disks 0 and 1, disk 3 a hot spare, disk 2 SATA, four targets
// scanned unless the deep sweep asks for more.
json HealthyLab() {
  json lab = SasLab(4);
  if (!DeepSweep()) lab["controllers"][0]["port_facts"] = {{"device_limit", 4}};
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 3, "target": 3, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  lab["controllers"][0]["devices"][2]["protocol"] = "sata";
  return lab;
}

// Faults every command takes as a clean answer (see the json sweep): a lost
// reply, a device not ready, the end-of-list status within a walk, a short
// INQUIRY.  The picture may then differ, but nothing failed.
bool TakenAsAnswer(const std::string& fault) {
  const bool inquiry = fault.find(R"("scsi_opcode":18)") != std::string::npos;
  const bool walk_step = fault.find(R"("action":1)") != std::string::npos &&
                         fault.find(R"("page_type":15)") != std::string::npos;
  return fault.find("no reply") != std::string::npos ||
         fault.find("not ready") != std::string::npos ||
         (walk_step && fault.find("IocStatus 0x0022") != std::string::npos) ||
         (inquiry && fault.find("data phase") != std::string::npos);
}

TEST(FaultSweep, Health) {
  SweepScenario s;
  s.lab = HealthyLab();
  s.args = {"0", "health"};
  const VolkitRun clean = RunVolkit(s.lab, s.args);
  ASSERT_EQ(clean.status, 0) << clean.out << clean.err;
  ASSERT_EQ(clean.out.rfind("VOLKIT OK - 1 volume optimal on 1 controller | ", 0), 0u) << clean.out;
  s.excused = [clean](const std::string& fault, const VolkitRun& run) {
    const char* const kWords[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};
    EXPECT_TRUE(run.status >= 0 && run.status <= 3) << run.out;
    if (run.status < 0 || run.status > 3) return "checked as a plugin line";
    EXPECT_EQ(run.out.rfind(std::string("VOLKIT ") + kWords[run.status] + " - ", 0), 0u)
        << "the line's state is not the exit status's:\n"
        << run.out;
    if (run.status == 0 && !TakenAsAnswer(fault)) {
      EXPECT_EQ(run.out, clean.out) << "OK after a failed read";
    }
    return "checked as a plugin line";
  };
  const SweepCounts counts = SweepSingleFaults(s);
  EXPECT_GT(counts.runs, counts.swept) << "each swept request failed more than one way";
}

// The failed disk a hot spare replaced, left in no volume: the list of
// physical disks and that disk's page are read for it alone.  No fault may
// turn the warning into OK, nor leave a warning that forgets the disk.
TEST(FaultSweep, HealthWithAFailedDiskInNoVolume) {
  SweepScenario s;
  s.lab = HealthyLab();
  s.lab["controllers"][0]["raid"]["phys_disks"].push_back(
      {{"num", 2}, {"target", 2}, {"state", 3}});
  s.args = {"0", "health"};
  s.clean_status = 1;
  const std::string reason =
      "controller 0 physical disk 2 (target 2) failed, in no volume: replace the disk";
  const VolkitRun clean = RunVolkit(s.lab, s.args);
  ASSERT_EQ(clean.status, 1) << clean.out << clean.err;
  ASSERT_EQ(clean.out.rfind("VOLKIT WARNING - " + reason + " | ", 0), 0u) << clean.out;
  s.excused = [reason](const std::string&, const VolkitRun& run) {
    EXPECT_TRUE(run.status >= 1 && run.status <= 3) << "OK with a failed disk:\n" << run.out;
    if (run.status == 1) {
      EXPECT_NE(run.out.find(reason), std::string::npos) << run.out;
    }
    return "checked as a plugin line";
  };
  const SweepCounts counts = SweepSingleFaults(s);
  EXPECT_GT(counts.runs, counts.swept);
}

// The metrics without the figures that differ from run to run.
std::string Picture(const std::string& metrics) {
  static const std::regex kCost("volkit_collect_(duration_seconds|requests)\\{[^\n]*\n");
  return std::regex_replace(metrics, kCost, "");
}

TEST(FaultSweep, Metrics) {
  SweepScenario s;
  s.lab = HealthyLab();
  s.args = {"0", "metrics"};
  const VolkitRun clean = RunVolkit(s.lab, s.args);
  ASSERT_EQ(clean.status, 0) << clean.err;
  s.excused = [clean](const std::string& fault, const VolkitRun& run) {
    ExpectWellFormedExposition(run.out);
    const std::string collected = SeriesValue(run.out, "volkit_collect_success{controller=\"0\"}");
    if (run.status == 0) {
      EXPECT_EQ(collected, "1");
      if (!TakenAsAnswer(fault)) {
        EXPECT_EQ(Picture(run.out), Picture(clean.out));
      }
    } else {
      EXPECT_TRUE(run.status == 1 || run.status == 2) << run.err;
      // Uncollected, and nothing else about the controller.
      EXPECT_NE(collected, "1");
      EXPECT_EQ(SeriesValue(run.out, "volkit_hot_spares{controller=\"0\"}"), "") << run.out;
    }
    return "checked as metrics";
  };
  const SweepCounts counts = SweepSingleFaults(s);
  EXPECT_GT(counts.runs, counts.swept);
}

}  // namespace
}  // namespace volkit_test
