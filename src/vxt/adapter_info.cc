#include "vxt/adapter_info.h"

#include <cerrno>

#include "vxt/driver_dispatch.h"
#include "vxt/driver_records.h"

int GetAdapterInfo(int handle, uint32_t controller_number, AdapterEntry* entry) {
  AdapterInfoRecord record{};
  record.ControllerNumber = controller_number;
  record.MaxDataSize = sizeof(AdapterInfoRecord);
  // Asked before any controller context exists: nothing to gate or count.
  if (DispatchDriverRequest(nullptr, handle, kAdapterInfoCode, &record) == -1) {
    return errno == ENODEV ? kAdapterMissing : 0;
  }
  entry->DeviceIdLow = static_cast<uint8_t>(record.PciDeviceId);
  entry->PciDeviceId = static_cast<uint16_t>(record.PciDeviceId);
  entry->SubsystemDeviceId = static_cast<uint16_t>(record.SubsystemDeviceId);
  entry->SubsystemVendorId = static_cast<uint16_t>(record.SubsystemVendorId);
  entry->PciSegment = static_cast<uint16_t>(record.PciSegment);
  entry->PciBus = static_cast<uint8_t>(record.PciLocation >> 8);
  entry->PciDevFn =
      static_cast<uint8_t>((record.PciLocation & 0x1F) * 8 + ((record.PciLocation >> 5) & 0x7));
  entry->ControllerNumber = controller_number;
  return kAdapterFound;
}
