// Which logged requests only read: the requests volkit's read-only verbs
// may send (the allow-list of src/vxt/request_gate.cc, judged here from the
// request log rather than from volkit's own classification).
#pragma once

#include "support/volkit_run.h"

namespace volkit_test {

// Whether the ioctl line of a request log is a read: adapter information,
// facts, page headers and reads, the progress action, INQUIRY, READ
// CAPACITY, ATA IDENTIFY and the SEP slot-status read, none carrying data
// to the controller.
bool IsReadRequest(const json& log_line);

// The ioctl lines of a log that are not reads.
std::vector<json> RequestsNotReads(const std::vector<json>& log);

}  // namespace volkit_test
