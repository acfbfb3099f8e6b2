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

// Whether `text` holds `part`.
bool Has(const std::string& text, const std::string& part);

// `lab` with controller 0's RAID configuration replaced by `raid`.
json Raid(json lab, const std::string& raid);

// Mirror 0 on targets 0 and 1, target 3 its hot spare, target 2 free.
json MirrorLab();

}  // namespace volkit_test
