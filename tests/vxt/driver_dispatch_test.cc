// Every driver request of the request layer passes one gate: a read-only
// context's controller reset fails unsent like any other request that is not
// a read, and only firmware requests sent through the pass-through count as
// the context's requests.
#include <gtest/gtest.h>

#include <cerrno>

#include "vxt/adapter_info.h"
#include "vxt/vxt.h"

namespace {

// A context whose requests reach no controller: the handle is closed, so a
// request that goes out fails with EBADF.
ControllerInfo* Unconnected(bool read_only) {
  auto* c = new ControllerInfo{};
  c->DriverHandle = -1;
  VxtSetupIoc(c);  // buffers allocated; the facts cannot be read
  c->ReadOnly = read_only;
  c->RequestsSent = 0;
  return c;
}

TEST(DriverDispatch, AReadOnlyContextsResetIsRefusedUnsent) {
  ControllerInfo* c = Unconnected(true);
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
