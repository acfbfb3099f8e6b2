#include "model/node.h"

#include <sys/stat.h>

#include <cerrno>

#include "model/protocol.h"

namespace vxtsim {

int NodeOpen(const NodeState& node) {
  if (!node.exists) return ENOENT;
  // A node with other numbers, or not a character device, reaches no driver.
  uint32_t major = node.major.given ? node.major.value : kNodeMajor;
  uint32_t minor = node.minor.given ? node.minor.value : kNodeMinor;
  uint32_t mode = node.mode.given ? node.mode.value : S_IFCHR | 0600;
  if (major != kNodeMajor || minor != kNodeMinor || (mode & S_IFMT) != S_IFCHR) return ENXIO;
  if (!node.driver_loaded) return ENXIO;
  return 0;
}

int NodeMknod(NodeState& node, uint32_t mode, uint32_t major, uint32_t minor, bool& changed) {
  if (node.exists) return EEXIST;
  if (!node.creatable) return EPERM;
  node.exists = true;
  node.mode = mode;
  node.major = major;
  node.minor = minor;
  changed = true;
  return 0;
}

int NodeUnlink(NodeState& node, bool& changed) {
  if (!node.exists) return ENOENT;
  if (!node.creatable) return EACCES;
  node.exists = false;
  node.mode.Erase();
  node.major.Erase();
  node.minor.Erase();
  changed = true;
  return 0;
}

}  // namespace vxtsim
