// The SAS devices and enclosures a controller enumerates, in firmware order.
#pragma once

#include <cstdint>
#include <vector>

#include "vxt/vxt.h"

struct DeviceEntry {
  uint16_t DevHandle;
  uint8_t TargetID;
  uint16_t Slot;
  uint8_t Bus;
  uint16_t EnclosureHandle;
};

using DeviceTable = std::vector<DeviceEntry>;
using EnclosureList = std::vector<uint16_t>;

// Every SAS or SATA disk, walking SasDevicePg0 from the first handle until the
// firmware has no more (or repeats a handle).  Returns the entry count.
int EnumerateSasDevices(ControllerInfo* controller, DeviceTable* table);

// Every enclosure handle in enumeration order; enclosure number k is entry
// k - 1.  Returns the handle count.
int EnumerateEnclosures(ControllerInfo* controller, EnclosureList* list);

// How many entries of `table` sit in `slot` of the enclosure with
// `enclosure_handle`, counting no further than 2; `found`, unless null, gets the first.
int CountDevicesInSlot(const DeviceTable& table, uint16_t enclosure_handle, uint16_t slot,
                       const DeviceEntry** found);
