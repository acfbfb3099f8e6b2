// The interface (SAS or SATA) and medium (SSD or rotating) rules of CREATE
// and HOTSPARE, judged from the snapshot so that a plan is refused before
// its first change rather than stopped half-way.  A disk whose medium could
// not be read is left to the command's own check.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/plan.h"

// "" when the disks of a new volume may be built together on `snapshot`'s
// controller; otherwise why not.
std::string CreateMixProblem(const ControllerSnapshot& snapshot, const PlanLimits& limits,
                             const PlanAction& create);

// "" when the hot spare at `target` matches a mirror whose first member is
// among `mirror_firsts`; otherwise why not.  SAS controllers only.
std::string SpareTypeProblem(const ControllerSnapshot& snapshot, const PlanLimits& limits,
                             uint8_t target, const std::vector<uint8_t>& mirror_firsts);
