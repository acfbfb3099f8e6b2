// Runs programs other than volkit and the launcher, for tests of what ships
// beside them (manual pages, completion, packages).
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

// Runs any program (an absolute path and its arguments) in a fresh scratch
// directory, without the simulator; only status, out, err and dir are set.
VolkitRun RunProgram(const std::vector<std::string>& argv, const std::string& stdin_text = "");

}  // namespace volkit_test
