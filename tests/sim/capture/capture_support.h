// Capturing a lab's controllers with `vxtsim capture` under the launcher.
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

// `vxtsim --lab LAB ... -- vxtsim capture ARGS...` on a fresh state.
VolkitRun RunCapture(const json& lab, const std::vector<std::string>& args = {});

// The lab a successful capture wrote; fails the test otherwise.
json CapturedLab(const json& lab);

// The log lines of a run without what differs from process to process.
std::vector<json> ComparableLog(const VolkitRun& run);

}  // namespace volkit_test
