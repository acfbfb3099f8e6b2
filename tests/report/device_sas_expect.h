// What the tests of the device section on a SAS controller share: the lab
// they start from and the section they read.
#pragma once

#include <string>

#include "support/volkit_run.h"

namespace volkit_test {

// An empty SAS controller 0 that scans targets 0-7 with its initiator at 63,
// with `extra` (a JSON merge patch of the controller) applied.
json SasLabWith(const std::string& extra);

// The physical device section of a DISPLAY run, from its initiator line.
std::string DeviceSection(const VolkitRun& run);

}  // namespace volkit_test
