// The request layer's one way to the driver, private to src/vxt/: adapter
// information, every pass-through request and the controller reset all go
// through DispatchDriverRequest, which holds a read-only context to the reads
// of the gate (request_gate.h) and counts what it sends.
#pragma once

#include "vxt/vxt.h"

// DispatchDriverRequest's result for a request the read-only gate refused:
// the driver's own results are -1 and up.
inline constexpr int kDispatchRefused = -2;

// Issues driver request `code` with `record` on the control node `handle`.
// `context` is the controller's (its DriverHandle is `handle`), or null for
// adapter information, asked before any context exists.  On a read-only
// context a request the gate does not allow fails unsent, returning
// kDispatchRefused, and counts in RefusedRequests; a pass-through request
// sent counts in RequestsSent.  Otherwise what the driver returned, with
// errno cleared before it was asked.
int DispatchDriverRequest(ControllerInfo* context, int handle, unsigned long code, void* record);
