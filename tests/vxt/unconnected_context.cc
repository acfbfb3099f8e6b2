#include "vxt/unconnected_context.h"

namespace volkit_test {

ControllerInfo* UnconnectedContext(bool read_only) {
  auto* c = new ControllerInfo{};
  c->DriverHandle = -1;
  VxtSetupIoc(c);
  c->ReadOnly = read_only;
  c->RequestsSent = 0;
  return c;
}

}  // namespace volkit_test
