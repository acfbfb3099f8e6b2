#include "document/state_file.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "model/node.h"

namespace vxtsim {

json ParseLab(const std::string& text, const std::string& origin) {
  json lab = json::parse(text, nullptr, false, true);
  if (lab.is_discarded() || !lab.is_object()) {
    throw LabError(origin + ": not a JSON object (check the syntax)");
  }
  return lab;
}

std::string LabDigest(const json& lab) {
  // FNV-1a over the canonical dump: blanks and key order do not matter.
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : lab.dump()) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

json StateFromLab(const json& lab) {
  json state = lab;
  state["vxtsim"] = {{"format", 1}, {"lab_digest", LabDigest(lab)}};
  return state;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buf;
  buf << in.rdbuf();
  text = buf.str();
  return true;
}

json LoadState(const std::string& path) {
  std::string text;
  if (!ReadFile(path, text)) throw LabError(path + ": cannot read the state file");
  return ParseLab(text, path);
}

void SaveState(const std::string& path, const json& state) {
  std::string tmp = path + ".tmp." + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << state.dump(1) << '\n';
    if (!out.flush()) throw LabError(tmp + ": cannot write the state file");
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    // Tidying up after the failure reported below.
    // NOLINTNEXTLINE(cert-err33-c)
    std::remove(tmp.c_str());
    throw LabError(path + ": cannot replace the state file");
  }
}

namespace {

// The node part of a state document as the model has it.
NodeState NodeOf(const json& state) {
  Model model;
  json doc = json::object();
  if (state.is_object() && state.contains("node")) doc["node"] = state["node"];
  std::vector<std::string> problems = ReadModel(doc, model);
  if (!problems.empty()) throw LabError(problems.front());
  return model.node;
}

void StoreNode(json& state, const NodeState& node) {
  Model model;
  model.node = node;
  json doc = WriteModel(model);
  if (doc.contains("node")) state["node"] = doc["node"];
}

}  // namespace

int NodeOpen(const json& state) { return NodeOpen(NodeOf(state)); }

int NodeMknod(json& state, uint32_t mode, uint32_t major, uint32_t minor, bool& changed) {
  NodeState node = NodeOf(state);
  int err = NodeMknod(node, mode, major, minor, changed);
  if (changed) StoreNode(state, node);
  return err;
}

int NodeUnlink(json& state, bool& changed) {
  NodeState node = NodeOf(state);
  int err = NodeUnlink(node, changed);
  if (changed) StoreNode(state, node);
  return err;
}

}  // namespace vxtsim
