// The SAS side of a controller: the walk orders in which the firmware hands
// out device and enclosure handles.
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"

namespace vxtsim {

template <typename Node>
const Node* FindByHandle(const std::vector<Node>& nodes, uint16_t handle) {
  for (const Node& n : nodes) {
    if (n.handle.value == handle) return &n;
  }
  return nullptr;
}

// The instance that follows a handle (0xFFFF: the first) in handle order. A
// lab may bend the walk with an {"after": handle} map to model a firmware
// that repeats or skips handles; a mapped value of 0xFFFF ends the walk.
template <typename Node>
const Node* NextAfter(const std::vector<Node>& nodes, const Walk& walk, uint16_t handle) {
  if (walk.given) {
    auto bent = walk.next.find(handle);
    if (bent != walk.next.end()) {
      uint16_t to = bent->second.value;
      return to == 0xFFFF ? nullptr : FindByHandle(nodes, to);
    }
  }
  const Node* best = nullptr;
  for (const Node& n : nodes) {
    if (handle != 0xFFFF && n.handle.value <= handle) continue;
    if (!best || n.handle.value < best->handle.value) best = &n;
  }
  return best;
}

// Resolves a SasDevicePg0 page address in any of its three forms.
const Device* ResolveSasDeviceAddress(const Controller& ctl, uint32_t address);

}  // namespace vxtsim
