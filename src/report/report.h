// The reporting commands: DISPLAY and STATUS.
#pragma once

#include "vxt/vxt.h"

// DISPLAY: controller, volume, physical device and enclosure sections, on
// the screen and optionally into a file.  0 when every section completed, 1
// on a usage error or when a section stopped the report.
int DisplayCommand(ControllerInfo* controller, int argc, char** argv);

// STATUS: background operation and progress of every active volume.  0 when
// the last volume in the list could be shown in full, otherwise 1.
int StatusCommand(ControllerInfo* controller, int argc, char** argv);
