// What the tests of HOTSPARE share: running it, the mirror it protects, and
// how a refused creation looks.
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

inline constexpr char kHotSpareCreateFailed[] = "volkit: Hot Spare create failed.\n";

// Mirror 0 on targets 0 and 1 (physical disks 0 and 1) of a SAS controller
// with `disks` disks; the other disks free.
json SasMirrorLab(int disks = 4);

// `volkit 0 hotspare WORDS` on `lab`.
VolkitRun HotSpare(const json& lab, std::vector<std::string> words);

// The run refused with `err` on standard error and `out` after the banner,
// and sent no RAID action.
void ExpectRefused(const VolkitRun& run, const std::string& err,
                   const std::string& out = kHotSpareCreateFailed);

// The hot spares among controller 0's physical disks after the run.
size_t HotSpares(const VolkitRun& run);

}  // namespace volkit_test
