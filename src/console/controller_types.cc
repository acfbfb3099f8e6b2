// The adapter type names and bus types by PCI device ID.
#include "console/discovery.h"

namespace {

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
