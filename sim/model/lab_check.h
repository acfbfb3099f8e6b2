// Early validation of a lab, so that a mistyped value is reported once by
// the launcher instead of failing a request in the middle of a command.
#pragma once

#include "lab_values.h"

namespace vxtsim {

// Builds every page of every controller and reads every fault rule; throws
// LabError naming the controller and page when something cannot be read.
void CheckLab(const json& lab);

}  // namespace vxtsim
