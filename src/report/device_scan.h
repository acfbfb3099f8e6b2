// The physical device section's two halves: the probe finds out what
// answers at each target (raid/device_probe.h), printing shows it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "raid/device_probe.h"

// Prints the target's block, fetching the optional data as it goes.  The KVR
// FRU/CRU and part number lines only when `show_kvr_fru`.
void PrintTarget(ControllerInfo* controller, DeviceProbe* probe, FILE* log_file, bool show_kvr_fru);

// The controller PHY through which the device with `sas_device_page` reaches
// the controller: its own PHY when attached directly, else that of the first
// directly attached device up its parent chain.  0xFF when the chain cannot
// be followed (a failed read, or a handle seen twice).
uint8_t FindConnector(ControllerInfo* controller, ConstBytes sas_device_page);
