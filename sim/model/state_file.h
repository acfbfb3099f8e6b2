// The state file: the whole mutable lab, written atomically so that a
// process that dies mid-command leaves either the old or the new state.
#pragma once

#include <string>

#include "lab_values.h"

namespace vxtsim {

// Parses a lab text; throws LabError with the parser's message.
json ParseLab(const std::string& text, const std::string& origin);

// Digest of a lab's content, stored in the state it was made from.
std::string LabDigest(const json& lab);

// A fresh state made from a lab.
json StateFromLab(const json& lab);

// Reads a state file; throws LabError when it is missing or malformed.
json LoadState(const std::string& path);
// Writes through a temporary file and a rename; throws LabError on failure.
void SaveState(const std::string& path, const json& state);

// Reads a whole file; returns false when it cannot be read.
bool ReadFile(const std::string& path, std::string& text);

}  // namespace vxtsim
