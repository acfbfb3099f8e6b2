// Reading the snapshots of a machine-readable verb's run: which controllers,
// each set up read-only, timed and counted.
#pragma once

#include <cstdint>

#include "monitor/snapshot.h"
#include "vxt/vxt.h"

// Reads the snapshots of controller `number`, or of every controller the
// driver knows when `all`.  Diagnostics go to standard error and into the
// fleet's messages.
void ReadFleet(bool all, uint32_t number, FleetSnapshot* fleet);

// The snapshot of one controller that is open and set up, read through the
// read-only gate; the context is left as able to change as it was.
ControllerSnapshot ReadControllerState(ControllerInfo* controller);
