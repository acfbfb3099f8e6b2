// Drive specifiers on the command line: a SCSI target ID, or on SAS
// controllers an Encl:Bay pair.  Every message here goes to standard output.
#pragma once

#include <cstdint>

#include "console/drive_table.h"
#include "vxt/vxt.h"

// 1 with the disk's target ID; 0 after printing why the text names no disk.
// A bare target ID is only range-checked: whether a device answers there is
// the caller's to find out.
int ResolveDriveTarget(ControllerInfo* controller, const char* text, uint8_t* target_id);

// For an Encl:Bay pair (`is_encl_bay` non-zero): 1 with the enclosure number
// and the bay as typed.  For a target ID: 1 with the EnclosureHandle and Slot
// of the last table entry holding that ID.  0 after printing the message.
int ParseDriveLocation(ControllerInfo* controller, const char* text, int is_encl_bay,
                       const DeviceTable& table, int count, uint16_t* first, uint16_t* second);
