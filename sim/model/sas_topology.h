// The SAS side of a controller: device and enclosure handles and the walk
// orders in which the firmware hands them out.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "lab_values.h"

namespace vxtsim {

struct SasNode {
  uint16_t handle;
  const json* item;
  size_t index;  // position in the lab list
};

// Devices get handle index + 9 and enclosures index + 1 unless the lab
// names their handles.
std::vector<SasNode> SasDevices(const json& ctl);
std::vector<SasNode> SasEnclosures(const json& ctl);

const SasNode* FindByHandle(const std::vector<SasNode>& nodes, uint16_t handle);

// The instance that follows a handle (0xFFFF: the first) in handle order. A
// lab may bend the walk with an {"after": handle} map to model a firmware
// that repeats or skips handles; a mapped value of 0xFFFF ends the walk.
const SasNode* NextAfter(const std::vector<SasNode>& nodes, const json& overrides,
                         uint16_t handle);

// Resolves a SasDevicePg0 page address in any of its three forms.
const SasNode* ResolveSasDeviceAddress(const json& ctl, const std::vector<SasNode>& devices,
                                       uint32_t address);

uint32_t DeviceInfo(const json& dev);

}  // namespace vxtsim
