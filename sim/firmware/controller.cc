#include "firmware/controller.h"

namespace vxtsim {

Controller* Model::FindController(uint32_t number) {
  for (Controller& ctl : controllers) {
    if (ctl.number.given && ctl.number.value == number) return &ctl;
  }
  return nullptr;
}

const Controller* Model::FindController(uint32_t number) const {
  return const_cast<Model*>(this)->FindController(number);
}

const Device* FindDeviceAtTarget(const Controller& ctl, uint32_t target) {
  for (const Device& dev : ctl.devices) {
    if (dev.HasTarget() && dev.target.value == target && dev.bus.value == 0) return &dev;
  }
  return nullptr;
}

bool IrDisabled(const Controller& ctl) {
  if (ctl.runtime.ir_disabled.given) return ctl.runtime.ir_disabled.value;
  return (PageField(ctl, kIoUnitPg1, kIoUnitFlags) & 0x40) != 0;
}

}  // namespace vxtsim
