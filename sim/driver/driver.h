// The kernel driver's side of the control node: decodes the ioctl records a
// caller passes, hands messages to the firmware model (RAID actions to its
// RAID engine, the rest to the firmware), copies replies, data and sense
// back within the sizes the caller gave, and applies fault rules.
#pragma once

#include "driver/log_line.h"
#include "model/model.h"

namespace vxtsim {

struct IoctlResult {
  int result = 0;  // what ioctl returns: 0 or -1
  int err = 0;     // errno when result is -1
  bool changed = false;
  uint32_t wait_ms = 0;  // how long the request keeps the caller waiting
  LogLine log;
};

// `arg` is the caller's record, read and written in place.
IoctlResult DriverIoctl(Model& model, unsigned long request, void* arg);

}  // namespace vxtsim
