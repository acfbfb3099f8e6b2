// The plan as people read it and as automation reads it.
#pragma once

#include <string>
#include <vector>

#include "layout/plan.h"

inline constexpr int kPlanMajorVersion = 1;
inline constexpr int kPlanMinorVersion = 0;

// "1:2 (target 2, serial 3LN1B2D2)".
std::string PlanDiskText(const PlanDisk& disk);

// The text of one controller's plan: a heading, one action a line (the
// destructive ones marked), the drift.  Refusals are not in it.
std::string PlanText(const ControllerPlan& plan);

// The plan document of a run: `{"volkit_plan_version": [1, 0],
// "controllers": [...], "messages": [...]}` followed by a newline.
std::string PlanJson(const std::vector<ControllerPlan>& plans,
                     const std::vector<std::string>& errors);
