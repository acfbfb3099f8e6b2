// What the layout tests share: writing a layout file, counting the requests
// of a run that change anything.
#pragma once

#include <string>

#include "support/volkit_run.h"

namespace volkit_test {

// Writes `layout` to a new file and returns its path.
std::string WriteLayout(const json& layout);

// The requests of the run that could change the controller or a disk: RAID
// actions, enclosure requests, page writes, resets, and every SCSI command
// other than the reads the checks send.
size_t ChangeRequests(const VolkitRun& run);

// A layout document of one controller.
json OneController(const json& controller);

}  // namespace volkit_test
