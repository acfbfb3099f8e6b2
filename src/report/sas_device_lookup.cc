// The connector a SAS device's branch reaches the controller at.
#include <bitset>
#include <memory>

#include "report/device_scan.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr uint8_t kNoConnector = 0xFF;

}  // namespace

uint8_t FindConnector(ControllerInfo* c, ConstBytes device) {
  if (SasDevicePg0DeviceInfo(device) & kDeviceInfoDirectAttach) return SasDevicePg0PhyNum(device);
  // A parent chain that comes back to a handle already visited would never
  // reach the controller; it ends the walk like a failed read.
  auto seen = std::make_unique<std::bitset<0x10000>>();
  uint16_t parent = SasDevicePg0ParentDevHandle(device);
  for (;;) {
    if (seen->test(parent)) return kNoConnector;
    seen->set(parent);
    PageBuffer page;
    if (!ReadSasDevicePg0(c, SasAddressHandle(parent), &page)) {
      return kNoConnector;
    }
    if (SasDevicePg0DeviceInfo(page) & kDeviceInfoDirectAttach) return SasDevicePg0PhyNum(page);
    parent = SasDevicePg0ParentDevHandle(page);
  }
}
