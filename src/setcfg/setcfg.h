// DELETE (and its old name DEFAULTS): removing a controller's whole IR
// configuration.
#pragma once

#include <cstdint>

#include "vxt/vxt.h"

// volkit <controller #> delete [noprompt].  0 on success, 1 on failure.
int DeleteCommand(ControllerInfo* controller, int argc, char** argv);

// Deletes every volume, then every RAID physical disk and hot spare left.
// 1 when all went; otherwise the failing request's result, after a message.
// Whatever was deleted before the failure stays deleted.
int RemoveAllVolumes(ControllerInfo* controller);

// Clears the disk signature in block 0 of the secondary member of mirror
// `volume_id`, so that the member no longer passes for the volume's old disk.
// 1 on success; 0 when a block transfer fails or there is nothing to clear
// (no secondary, not a mirror); a page read's result when it fails.
int InvalidateBootSector(ControllerInfo* controller, uint8_t volume_id);
