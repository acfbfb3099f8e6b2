// The four sections of the DISPLAY report, in report order.  Each writes
// through EmitLine and returns 1 when it completed; anything else stops the
// report (a section prints no error text of its own).
#pragma once

#include <cstdio>

#include "vxt/vxt.h"

// What the DISPLAY command line asks of the report.
struct DisplayOptions {
  FILE* LogFile;    // the file copy of the report; null for none
  bool ShowKvrFru;  // the KVR FRU/CRU and part number lines
};

int DisplayControllerSection(ControllerInfo* controller, const DisplayOptions& options);
int DisplayVolumeSection(ControllerInfo* controller, const DisplayOptions& options);
int DisplayDeviceSection(ControllerInfo* controller, const DisplayOptions& options);
int DisplayEnclosureSection(ControllerInfo* controller, const DisplayOptions& options);
