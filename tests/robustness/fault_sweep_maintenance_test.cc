// The maintenance commands with every request failed in turn, in every way
// that fits it: HOTSPARE, DELETE, SETOFFLINE, SETONLINE, REBUILD, LOCATE, the
// IR switch and FORMAT never crash, never report a failure as success, and
// leave only a configuration they own up to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "robustness/sweep_labs.h"
#include "support/fault_sweep.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

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

TEST(FaultSweep, Delete) {
  SweepScenario s;
  s.lab = SmallMirrorLab(3);
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
  s.lab = SmallMirrorLab();
  s.args = {"0", "setoffline", "1"};
  s.changing = true;
  Sweep(s);
}

TEST(FaultSweep, SetOnline) {
  SweepScenario s;
  s.lab = SmallMirrorLab();
  s.lab["controllers"][0]["raid"]["phys_disks"][1]["state"] = 5;
  s.args = {"0", "setonline", "1"};
  s.changing = true;
  Sweep(s);
}

TEST(FaultSweep, Rebuild) {
  SweepScenario s;
  s.lab = SmallMirrorLab();
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

}  // namespace
}  // namespace volkit_test
