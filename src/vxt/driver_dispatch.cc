#include "vxt/driver_dispatch.h"

#include <cerrno>

#include "vxt/driver_channel.h"
#include "vxt/driver_records.h"
#include "vxt/request_gate.h"

int DispatchDriverRequest(ControllerInfo* context, int handle, unsigned long code, void* record) {
  if (context != nullptr) {
    if (context->ReadOnly && !ReadOnlyAllows(ClassifyRequest(code, record))) {
      ++context->RefusedRequests;
      return kDispatchRefused;
    }
    if (code == kPassThroughCode) ++context->RequestsSent;
  }
  errno = 0;
  return DriverRequest(handle, code, record);
}
