#include "request_gate.h"

namespace capture {

namespace {

int refused = 0;

}  // namespace

bool MaySend(RequestKind kind) {
  return ReadOnlyAllows(kind) || kind == RequestKind::kReadBlockZero;
}

int RefusedRequests() { return refused; }
void CountRefusal() { ++refused; }

}  // namespace capture
