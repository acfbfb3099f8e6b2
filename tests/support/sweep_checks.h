// The checks of one faulted run of a sweep against its clean run: it ended
// by itself, left the old or the new configuration as the scenario allows,
// and printed the success texts exactly when it succeeded.
#pragma once

#include <string>

#include "support/fault_sweep.h"
#include "support/volkit_run.h"

namespace volkit_test {

// Checks `run`, the scenario's command under `fault`; `before` and `after`
// are the configurations before and after the clean run.  Each failed check
// names the fault.
void CheckRun(const SweepScenario& s, const VolkitRun& clean, const json& before, const json& after,
              const std::string& fault, const VolkitRun& run);

}  // namespace volkit_test
