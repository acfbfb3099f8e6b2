// Where the launcher keeps the state and how it makes it from a lab.
#pragma once

#include <string>

#include "model/model.h"
#include "options.h"

namespace vxtsim {

// $XDG_STATE_HOME/vxtsim/state.json, else ~/.local/state/vxtsim/state.json;
// the directory is created. Empty when neither variable is set.
std::string DefaultStatePath();

// Makes sure the state file holds a usable state. Without --lab any readable
// state is kept; with --lab only a state made from that same lab is. Else
// (or with `fresh`) the state starts afresh from the --lab file or the
// built-in lab. The lab, and a state that is kept, must check. Returns false
// after printing every problem.
bool PrepareState(const LaunchOptions& opts, const std::string& state_path, bool fresh,
                  Model& model);

// `vxtsim check`: the lab and, when there is one, the state. Prints "ok" or
// every problem; returns the exit status.
int CheckCommand(const LaunchOptions& opts, const std::string& state_path);

}  // namespace vxtsim
