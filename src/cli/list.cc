// LIST and the adapter type names.
#include <cstdio>
#include <vector>

#include "console/discovery.h"

namespace {

constexpr uint32_t kLastControllerNumber = 254;

struct TypeName {
  uint8_t DeviceIdLow;
  const char* Name;
  uint8_t BusType;
};

constexpr TypeName kTypeNames[] = {
    {0x30, "Wren", kBusTypeScsi},  {0x50, "Finch", kBusTypeSas},  {0x54, "Heron", kBusTypeSas},
    {0x56, "Siskin", kBusTypeSas}, {0x58, "Egret", kBusTypeSas},  {0x5A, "Robin", kBusTypeSas},
    {0x5C, "Linnet", kBusTypeSas}, {0x5E, "Thrush", kBusTypeSas}, {0x62, "Crane", kBusTypeSas},
};

const TypeName* FindType(uint8_t device_id_low) {
  for (const TypeName& t : kTypeNames) {
    if (t.DeviceIdLow == device_id_low) return &t;
  }
  return nullptr;
}

}  // namespace

std::string ControllerTypeName(uint8_t device_id_low) {
  const TypeName* t = FindType(device_id_low);
  return t ? t->Name : "UNKNOWN";
}

uint8_t BusTypeOf(uint8_t device_id_low) {
  const TypeName* t = FindType(device_id_low);
  return t ? t->BusType : kBusTypeScsi;
}

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
