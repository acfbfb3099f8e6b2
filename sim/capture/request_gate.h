// What capture may ask of the driver: the request layer's read-only list,
// and the read of each disk's block 0, whose contents go into the lab.
#pragma once

#include "vxt/request_gate.h"

namespace capture {

using ::ClassifyRequest;
using ::RequestKindName;
using RequestKind = ::RequestKind;

bool MaySend(RequestKind kind);

// Requests refused since the program started; a capture that saw one is
// not written.
int RefusedRequests();
void CountRefusal();

}  // namespace capture
