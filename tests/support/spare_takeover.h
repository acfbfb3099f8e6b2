// The built-in lab's story of a failed mirror member, shared by the tests
// of what monitoring sees afterwards.
#pragma once

#include "support/volkit_run.h"

namespace volkit_test {

// The built-in lab after `vxtsim fail 0:1`: the hot spare at target 9 took
// the disk's place, and `volkit 0 status` ran until its resync was done.
// The failed disk stays behind as physical disk 1, in no volume.
VolkitRun SpareTookOverAndResynced();

}  // namespace volkit_test
