// Checks of the Prometheus text format that promtool leaves out: each
// family one group opened by HELP and TYPE, no series twice, no timestamps,
// and state sets with exactly one state set.
#pragma once

#include <string>

#include "support/volkit_run.h"

namespace volkit_test {

// Fails the test on every breach, naming the line.
void ExpectWellFormedExposition(const std::string& text);

// Fails the test unless every series group of `family` (its series alike
// but for the `state` label) holds exactly one 1 and otherwise 0.
void ExpectStateSetsHoldOneOne(const std::string& text, const std::string& family);

// The value of the series written exactly as `series` (name and label
// block), or "" when there is none.
std::string SeriesValue(const std::string& text, const std::string& series);

// `promtool check metrics` over `text`.
VolkitRun PromtoolCheck(const std::string& text);

}  // namespace volkit_test
