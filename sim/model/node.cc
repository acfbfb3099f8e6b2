#include "node.h"

#include <cerrno>
#include <sys/stat.h>

#include "protocol.h"

namespace vxtsim {

namespace {

const json& NodeConfig(const json& state) { return Member(state, "node"); }

}  // namespace

int NodeOpen(const json& state) {
  const json& node = NodeConfig(state);
  if (!Flag(node, "exists", true)) return ENOENT;
  // A node with other numbers, or not a character device, reaches no driver.
  if (Num(node, "major", kNodeMajor) != kNodeMajor || Num(node, "minor", kNodeMinor) != kNodeMinor ||
      (Num(node, "mode", S_IFCHR | 0600) & S_IFMT) != S_IFCHR) {
    return ENXIO;
  }
  if (!Flag(node, "driver_loaded", true)) return ENXIO;
  return 0;
}

int NodeMknod(json& state, uint32_t mode, uint32_t major, uint32_t minor, bool& changed) {
  const json& node = NodeConfig(state);
  if (Flag(node, "exists", true)) return EEXIST;
  if (!Flag(node, "creatable", true)) return EPERM;
  json& n = state["node"];
  n["exists"] = true;
  n["mode"] = mode;
  n["major"] = major;
  n["minor"] = minor;
  changed = true;
  return 0;
}

int NodeUnlink(json& state, bool& changed) {
  const json& node = NodeConfig(state);
  if (!Flag(node, "exists", true)) return ENOENT;
  if (!Flag(node, "creatable", true)) return EACCES;
  json& n = state["node"];
  n["exists"] = false;
  n.erase("mode");
  n.erase("major");
  n.erase("minor");
  changed = true;
  return 0;
}

}  // namespace vxtsim
