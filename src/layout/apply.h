// Carrying out a plan on a controller whose configuration lock is held,
// each action through the routine of the command that does it by hand.
#pragma once

#include "layout/plan.h"
#include "vxt/vxt.h"

// Carries out the actions in order and stops at the first that fails.  1
// when all were done; 0 after a report of what was done, what failed and
// what was not attempted.
int CarryOutPlan(ControllerInfo* controller, const ControllerPlan& plan);
