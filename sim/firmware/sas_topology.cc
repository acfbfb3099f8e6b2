#include "firmware/sas_topology.h"

namespace vxtsim {

const Device* ResolveSasDeviceAddress(const Controller& ctl, uint32_t address) {
  switch (address >> 28) {
    case 0:
      if (address > 0xFFFF) return nullptr;
      return NextAfter(ctl.devices, ctl.device_walk, static_cast<uint16_t>(address));
    case 1: {
      if (address & 0x0FFF0000) return nullptr;
      uint32_t bus = (address >> 8) & 0xFF, target = address & 0xFF;
      for (const Device& dev : ctl.devices) {
        if (dev.HasTarget() && dev.target.value == target && dev.bus.value == bus) return &dev;
      }
      return nullptr;
    }
    case 2:
      if (address & 0x0FFF0000) return nullptr;
      return FindByHandle(ctl.devices, static_cast<uint16_t>(address));
    default:
      return nullptr;
  }
}

}  // namespace vxtsim
