// LIST: every controller the driver knows.
#include "cli/list.h"

#include <cstdio>
#include <vector>

#include "console/discovery.h"
#include "vxt/adapter_info.h"

int ListControllers(int handle) {
  std::vector<AdapterEntry> found;
  for (uint32_t n = 0; n <= kLastControllerNumber; ++n) {
    AdapterEntry entry{};
    if (GetAdapterInfo(handle, n, &entry) == kAdapterFound) found.push_back(entry);
  }
  if (found.empty()) return 2;

  std::printf(
      "\n         Adapter   Vendor  Device  Segment                     SubSys  SubSys \n"
      " Ioc#     Type       ID      ID      ID     Bus  Device  Func  Ven ID  Dev ID \n"
      " -----  ---------  ------  ------  -------  ---  ------  ----  ------  ------ \n");
  for (const AdapterEntry& e : found) {
    std::printf(
        "  %2d     %s   %04xh    %02xh    %04xh    %02xh    %02xh   %02xh   %04xh   %04xh \n",
        static_cast<int>(e.ControllerNumber), ControllerTypeName(e.DeviceIdLow).c_str(),
        kPciVendorId, unsigned{e.DeviceIdLow}, unsigned{e.PciSegment}, unsigned{e.PciBus},
        unsigned{e.PciDevFn} / 8, unsigned{e.PciDevFn} & 7, unsigned{e.SubsystemVendorId},
        unsigned{e.SubsystemDeviceId});
  }
  std::printf("\n\n");
  return 1;
}
