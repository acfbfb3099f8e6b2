// Where the launcher keeps the state and how it makes it from a lab.
#pragma once

#include <string>

#include "model/lab_values.h"
#include "options.h"

namespace vxtsim {

// $XDG_STATE_HOME/vxtsim/state.json, else ~/.local/state/vxtsim/state.json;
// the directory is created. Empty when neither variable is set.
std::string DefaultStatePath();

// Makes sure the state file holds a usable state. Without --lab any readable
// state is kept; with --lab only a state made from that same lab is. Else
// (or with `fresh`) the state starts afresh from the --lab file or the
// built-in lab. Returns false after a message.
bool PrepareState(const LaunchOptions& opts, const std::string& state_path, bool fresh,
                  json& state);

}  // namespace vxtsim
