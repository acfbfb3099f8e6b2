// The four sections of the DISPLAY report, in report order.  Each writes
// through EmitLine and returns 1 when it completed; anything else stops the
// report (a section prints no error text of its own).
#pragma once

#include <cstdio>

#include "vxt/vxt.h"

int DisplayControllerSection(ControllerInfo* controller, FILE* log_file);
int DisplayVolumeSection(ControllerInfo* controller, FILE* log_file);
int DisplayDeviceSection(ControllerInfo* controller, FILE* log_file);
int DisplayEnclosureSection(ControllerInfo* controller, FILE* log_file);
