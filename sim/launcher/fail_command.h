// `vxtsim fail CONTROLLER:TARGET`: a disk of the current state fails, so
// that a user can watch what the firmware does about it.
#pragma once

#include <string>

#include "model/model.h"

namespace vxtsim {

// Fails the physical disk at the target (bus 0) or, when the target is no
// physical disk, makes the plain disk there stop answering (not ready).
// Writes the state back; returns the exit status.
int FailCommand(const std::string& address, const std::string& state_path, Model& state);

}  // namespace vxtsim
