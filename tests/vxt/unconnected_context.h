// A controller context whose requests reach no controller, for the tests of
// what the request layer lets through and how it tells why a request failed.
#pragma once

#include "vxt/vxt.h"

namespace volkit_test {

// The handle is closed, so a request that goes out fails at the driver with
// EBADF; the buffers are allocated (the facts could not be read) and no
// request counts yet.  The caller releases it with ReleaseController.
ControllerInfo* UnconnectedContext(bool read_only);

}  // namespace volkit_test
