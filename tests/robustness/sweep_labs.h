// What the fault sweeps of whole commands share: small labs that keep the
// clean runs short, and running a scenario with its counts printed.
#pragma once

#include "support/fault_sweep.h"

namespace volkit_test {

// A SAS controller with `disks` disks that scans only `device_limit`
// targets, unless the deep sweep asks for more.
json SmallLab(int disks, int device_limit = 8);

// The same with disks 0 and 1 at targets 0 and 1 making up mirror 0.
json SmallMirrorLab(int disks = 2, int device_limit = 8);

// Sweeps the scenario and prints how many requests it swept in how many runs.
void Sweep(const SweepScenario& s);

}  // namespace volkit_test
