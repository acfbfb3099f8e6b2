// The edge of the model: lab and state documents (JSON) are read into the
// typed model here, strictly, and the model is written back from here. No
// other part of the model sees JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/model.h"

namespace vxtsim {

using nlohmann::json;

// A lab or state document that cannot be used.
struct LabError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Parses a lab text (comments allowed); throws LabError on a syntax error.
json ParseLab(const std::string& text, const std::string& origin);

// Digest of a lab's content, stored in the state it was made from.
std::string LabDigest(const json& lab);

// A fresh state made from a lab.
json StateFromLab(const json& lab);

// Reads a document into `model`; returns every problem found, one line each
// naming the place: `controllers[0].devices[2]: unknown key "blokcs" ...`.
std::vector<std::string> ReadModel(const json& doc, Model& model);
// The model of a document that must check; throws LabError with the first
// problem, prefixed with `origin`.
Model ModelOf(const json& doc, const std::string& origin);
// The document of a model: what was given, with the model's changes.
json WriteModel(const Model& model);

// Throws LabError with the first problem of a lab.
void CheckLab(const json& lab);

// Reads a state file; throws LabError when it is missing or malformed.
json LoadState(const std::string& path);
// Writes through a temporary file and a rename; throws LabError on failure.
void SaveState(const std::string& path, const json& state);

// Reads a whole file; returns false when it cannot be read.
bool ReadFile(const std::string& path, std::string& text);

// The node calls on a state document (see node.h); a changed document is
// written back into `state`.
int NodeOpen(const json& state);
int NodeMknod(json& state, uint32_t mode, uint32_t major, uint32_t minor, bool& changed);
int NodeUnlink(json& state, bool& changed);

}  // namespace vxtsim
