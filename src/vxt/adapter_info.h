// The driver's adapter information request: which controllers exist and
// where they sit on the PCI bus.
#pragma once

#include <cstdint>

inline constexpr int kAdapterFound = 1;
inline constexpr int kAdapterMissing = 3;
// The driver numbers its controllers from 0 to this.
inline constexpr uint32_t kLastControllerNumber = 254;
// Every controller volkit drives carries this PCI vendor ID.
inline constexpr unsigned kPciVendorId = 0x1000;

struct AdapterEntry {
  uint8_t DeviceIdLow;
  uint16_t PciDeviceId;
  uint16_t PciSegment;
  uint8_t PciBus;
  uint8_t PciDevFn;
  uint16_t SubsystemDeviceId;
  uint16_t SubsystemVendorId;
  uint32_t ControllerNumber;
};

// 1 with the adapter fields; 3 when the driver knows no such controller; 0 on
// any other failure.
int GetAdapterInfo(int handle, uint32_t controller_number, AdapterEntry* entry);
