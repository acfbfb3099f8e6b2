// Opening the driver's control node and finding controllers on it.
#pragma once

#include <cstdint>
#include <string>

#include "vxt/adapter_info.h"
#include "vxt/vxt.h"

// 1 with the handle; 0 after printing the two driver messages.  Creates the
// node when it is missing.
int OpenDriver(int* handle);

// 1 with a fresh context; 3 when the controller does not exist; 0 when the
// driver could not be opened or the query failed otherwise.
int OpenController(uint32_t controller_number, ControllerInfo** controller);

// OpenController on a control node already open.
int OpenControllerOn(int handle, uint32_t controller_number, ControllerInfo** controller);

// The adapter type name for a PCI device ID low byte.
std::string ControllerTypeName(uint8_t device_id_low);

// The bus type a controller's device ID low byte stands for.
uint8_t BusTypeOf(uint8_t device_id_low);
