// The controller limits a plan is measured against, read through the
// context given (a read-only one reads nothing but pages).
#pragma once

#include "layout/plan.h"
#include "vxt/vxt.h"

// 1 with `limits` filled; otherwise the failing page read's result.
int ReadPlanLimits(ControllerInfo* controller, PlanLimits* limits);

// Walks the actions in order over the state each leaves and refuses those
// the limits or the volumes at that point do not allow.
void CheckPlanLimits(const ControllerSnapshot& snapshot, const PlanLimits& limits,
                     ControllerPlan* plan);
