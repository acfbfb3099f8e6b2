// Places and disks of a controller's snapshot: what a layout's "Encl:Bay"
// or target ID names, and the place of a target.
#pragma once

#include <cstdint>

#include "layout/layout_document.h"
#include "monitor/snapshot.h"

// The device at `place`, or null with `why` (absent, or two disks in one bay).
const DeviceSnapshot* DeviceAtPlace(const ControllerSnapshot& snapshot, const LayoutPlace& place,
                                    std::string* why);

// The device at `target`, or null.
const DeviceSnapshot* DeviceAtTarget(const ControllerSnapshot& snapshot, uint8_t target);

// How a layout names `target`: Encl:Bay on SAS when the device sits in a
// known enclosure's bay, else its target ID.
LayoutPlace PlaceOfTarget(const ControllerSnapshot& snapshot, uint8_t target);
