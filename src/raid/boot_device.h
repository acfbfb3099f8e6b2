// Keeping the BIOS boot device right when the disk or volume it names changes
// role.  SAS controllers only.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

inline constexpr uint16_t kBootEventVolumeCreated = 2;
inline constexpr uint16_t kBootEventVolumeDeleting = 3;
inline constexpr uint16_t kBootEventPhysDiskCreated = 13;

// After a volume was created (event 2), before one is deleted (event 3) and
// after a hot spare was created (event 13, `volume_id` unused): hands the boot
// role to or from the volume, or clears it.  Prints nothing; any page that
// cannot be read leaves the boot device untouched.  Returns the result of the
// last page request.
int UpdateBootDevice(ControllerInfo* controller, uint16_t event, uint8_t volume_id);
