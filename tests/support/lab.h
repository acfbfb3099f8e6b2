// Small labs for tests: write only what matters, the model fills in the rest
// with the defaults documented in docs/vxtsim.md.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace volkit_test {

using nlohmann::json;

// Parses a lab written in the test (comments allowed); fails the test on a
// syntax error.
json Lab(const std::string& text);

// The lab shipped as the launcher's built-in default.
json DefaultLab();

// `base` with a JSON merge patch applied (objects merge, everything else,
// lists included, is replaced).
json Patched(json base, const std::string& patch);

// One SAS controller 0 with `disks` SAS disks at targets 0.. in bays 0.. of
// enclosure 1, each of `blocks` blocks.
json SasLab(int disks = 2, unsigned long long blocks = 143374744);

// Controller `i` of `lab`, and device `i` of its controller 0: the parts a
// test edits most.
json& LabController(json& lab, int i = 0);
json& LabDevice(json& lab, int i);

// The file at `relative` in the source tree, as configured (a compiler cache
// may leave __FILE__ relative to the build).
std::string SourceTreePath(const std::string& relative);

}  // namespace volkit_test
