// Lookups over one controller of the lab state.
#pragma once

#include <cstdint>

#include "lab_values.h"

namespace vxtsim {

// The controller with this number, or null.
json* FindController(json& state, uint32_t number);
const json* FindController(const json& state, uint32_t number);

// A SAS controller unless the lab says "kind": "scsi" or its PCI device ID
// is not one of the SAS family.
bool IsSasController(const json& ctl);
uint8_t IocNumber(const json& ctl);

// The lab's settings object of a page (null when the lab has none).
const json& PageConfig(const json& ctl, const char* page);
// A stored page field: the lab's value, else the directory's fallback.
uint64_t PageField(const json& ctl, const char* page, const char* field);

// The disk (or other end device) at a target ID on bus 0, or null.
const json* FindDeviceAtTarget(const json& ctl, uint32_t target);

// Whether the IR capability is switched off (IoUnitPg1 flag 0x40 as of the
// last controller reset).
bool IrDisabled(const json& ctl);

}  // namespace vxtsim
