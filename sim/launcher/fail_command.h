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

// Pulls the disk at the target (bus 0), with the RAID physical disk record
// the firmware kept of it, and inserts a new blank disk of the same make in
// its place: a new serial, no data, ready.  Refused while the disk is a
// member of a volume.  Writes the state back; returns the exit status.
int ReplaceCommand(const std::string& address, const std::string& state_path, Model& state);

}  // namespace vxtsim
