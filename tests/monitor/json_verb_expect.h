// What the tests of the json verb share: the checks every document passes
// and its comparison with DISPLAY.
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

// The document of `run`, after the checks that hold for every one: no banner
// before it, valid against the shipped schema, its exit status the run's,
// read with allowed requests only and within its request budget.
json Document(const VolkitRun& run);

// Runs `volkit ARGS` on `lab`, expects `want_status`, and returns Document.
json RunJson(const json& lab, const std::vector<std::string>& args, int want_status);

// Every device DISPLAY shows on `controller` is in the document with the
// same values.
void ExpectAgreesWithDisplay(const json& lab, const json& doc, int controller);

}  // namespace volkit_test
