// Lookups over one controller of the model.
#pragma once

#include <cstdint>

#include "firmware/page_table.h"
#include "model/model.h"

namespace vxtsim {

// A stored page field, current copy.
inline uint64_t PageField(const Controller& ctl, PageIndex page, uint8_t field) {
  return ctl.pages[page].current.fields[field].value;
}

// The disk (or other end device) at a target ID on bus 0, or null.
const Device* FindDeviceAtTarget(const Controller& ctl, uint32_t target);

// Whether the IR capability is switched off (IoUnitPg1 flag 0x40 as of the
// last controller reset).
bool IrDisabled(const Controller& ctl);

}  // namespace vxtsim
