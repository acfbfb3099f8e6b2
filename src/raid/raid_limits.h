// The controller's IR limits: drive counts per volume type, hot spares, the
// physical-disk total and the per-drive metadata reserve.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

struct RaidLimits {
  uint8_t MaxDrivesIS;
  uint8_t MaxDrivesIM;
  uint8_t MaxDrivesIME;
  uint8_t MinDrivesIS;
  uint8_t MinDrivesIM;
  uint8_t MinDrivesIME;
  uint8_t MaxHotSpares;
  uint32_t MetadataBlocks;  // blocks each member keeps back
  uint8_t MaxPhysDisks;     // in all volumes together
};

// The drive counts a volume of one type may hold: the firmware's limits,
// and whatever they say, two drives for a mirror of either kind and one for a
// stripe, or the builders have nothing to build from.
struct DriveCountRange {
  int Minimum;
  int Maximum;
};

DriveCountRange DriveCountOf(const RaidLimits& limits, uint8_t volume_type);

// The values that stand in when the firmware does not report its own.
RaidLimits DefaultRaidLimits(uint8_t bus_type);

// The limits from IocPg6, IocPg2 and ManufacturingPg4, with the defaults for
// what cannot be read.  The metadata reserve depends on `volume_type`.
RaidLimits LoadRaidLimits(ControllerInfo* controller, uint8_t volume_type);
