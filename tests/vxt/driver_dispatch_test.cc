// Every driver request of the request layer passes one gate: a read-only
// context's controller reset fails unsent like any other request that is not
// a read, and only firmware requests sent through the pass-through count as
// the context's requests.
#include <gtest/gtest.h>

#include <cerrno>

#include "vxt/adapter_info.h"
#include "vxt/unconnected_context.h"
#include "vxt/vxt.h"

namespace {

using volkit_test::UnconnectedContext;

TEST(DriverDispatch, AReadOnlyContextsResetIsRefusedUnsent) {
  ControllerInfo* c = UnconnectedContext(true);
  errno = 0;
  EXPECT_EQ(ResetController(c), 0);
  EXPECT_EQ(errno, 0);  // the driver was never asked
  EXPECT_EQ(c->RefusedRequests, 1u);
  EXPECT_EQ(c->RequestsSent, 0u);

  // On a context that may change the controller the reset goes to the
  // driver, and is no firmware request of the context's.
  c->ReadOnly = false;
  EXPECT_EQ(ResetController(c), 0);
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(c->RefusedRequests, 1u);
  EXPECT_EQ(c->RequestsSent, 0u);
  ReleaseController(c);
}

TEST(DriverDispatch, AdapterInformationGoesToTheDriverWithoutAContext) {
  AdapterEntry entry{};
  errno = 0;
  EXPECT_EQ(GetAdapterInfo(-1, 0, &entry), 0);
  EXPECT_EQ(errno, EBADF);
}

}  // namespace
