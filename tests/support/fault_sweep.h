// The single-fault sweep: a command run once cleanly, then once for every
// request of that run failed in each way that fits the request, transient
// (that match only) and persistent (every later match too).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

struct SweepScenario {
  json lab;
  std::vector<std::string> args;
  std::string stdin_text;
  // The clean run's exit status: health's WARNING, say, is 1.
  int clean_status = 0;
  // Lines the clean run prints once the command did its job: a run that
  // fails prints none of them, a run that exits 0 prints them all.
  std::vector<std::string> success_texts;
  // The command changes the configuration, so an exit status of 0 also means
  // the configuration the clean run left.
  bool changing = false;
  // A failed run leaves the old configuration (a build rolled back).
  bool failure_keeps_old = false;
  // Whether a failed run exits 0 anyway (AUTO over every SAS controller).
  bool failure_exits_zero = false;
  // Names a configuration other than the old and the new one that is
  // acceptable after `run` (empty: none is); `before` and `after` are the
  // configurations before and after the clean run.
  std::function<std::string(const VolkitRun& run, const json& before, const json& after)> partial;
  // Fail every request of a scan, not only its first few and its last.
  bool every_request = false;
  // Otherwise how many requests of a scan fail besides its last.
  size_t sample_first = 3;
  // A run that exits 0 prints only lines of the clean run; in a report
  // (DISPLAY) a line may show another value.
  bool report = false;
  // Names why the run after `fault` is the specified behaviour although it
  // fails the checks (empty: it is not); only its end is checked then.
  std::function<std::string(const std::string& fault, const VolkitRun& run)> excused;
};

struct SweepCounts {
  size_t requests = 0, swept = 0, runs = 0;
};

// The configuration a careful administrator looks at: physical disks,
// volumes, the IR switch and the slot LEDs of every controller.
json Configuration(const json& lab_or_state);

// Runs the sweep; each failed check names the fault and the run's output.
// VOLKIT_DEEP_SWEEP=1 in the environment adds the rarer fault kinds.
SweepCounts SweepSingleFaults(const SweepScenario& scenario);

// VOLKIT_DEEP_SWEEP is set: bigger labs and every fault kind.
bool DeepSweep();

}  // namespace volkit_test
