// The commands that build volumes with every request failed in turn, in
// every way that fits it: CREATE, AUTO and AUTO1 (also over every SAS
// controller) and an apply that builds a mirror with its hot spare leave the
// old configuration or the new one, never a half-made volume, and never
// report a failure as success.
#include <gtest/gtest.h>

#include <string>

#include "layout/layout_test_support.h"
#include "robustness/sweep_labs.h"
#include "support/fault_sweep.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

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

}  // namespace
}  // namespace volkit_test
