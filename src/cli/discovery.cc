#include "cli/discovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>

#include "vxt/driver_channel.h"

int OpenDriver(int* handle) {
  int fd = open(kDriverNodePath, O_RDWR);
  if (fd < 0 && errno == ENOENT) {
    if (mknod(kDriverNodePath, S_IFCHR | 0600, makedev(kDriverNodeMajor, kDriverNodeMinor)) == 0) {
      fd = open(kDriverNodePath, O_RDWR);
      // A node nobody answers on would only mislead the next run.
      if (fd < 0) unlink(kDriverNodePath);
    }
  }
  if (fd < 0) {
    std::fprintf(stderr, "volkit: couldn't open %s!\n", kDriverNodePath);
    std::fprintf(stderr, "volkit: make sure the vxtctl driver is loaded!\n");
    return 0;
  }
  *handle = fd;
  return 1;
}

int GetAdapterInfo(int handle, uint32_t controller_number, AdapterEntry* entry) {
  AdapterInfoRecord record{};
  record.ControllerNumber = controller_number;
  record.MaxDataSize = sizeof(AdapterInfoRecord);
  errno = 0;
  if (DriverRequest(handle, kAdapterInfoCode, &record) == -1) {
    return errno == ENODEV ? kAdapterMissing : 0;
  }
  entry->DeviceIdLow = static_cast<uint8_t>(record.PciDeviceId);
  entry->SubsystemDeviceId = static_cast<uint16_t>(record.SubsystemDeviceId);
  entry->SubsystemVendorId = static_cast<uint16_t>(record.SubsystemVendorId);
  entry->PciSegment = static_cast<uint16_t>(record.PciSegment);
  entry->PciBus = static_cast<uint8_t>(record.PciLocation >> 8);
  entry->PciDevFn =
      static_cast<uint8_t>((record.PciLocation & 0x1F) * 8 + ((record.PciLocation >> 5) & 0x7));
  entry->ControllerNumber = controller_number;
  return kAdapterFound;
}

int OpenController(uint32_t controller_number, ControllerInfo** controller,
                   DriverOpener open_driver) {
  int handle = -1;
  if (!open_driver(&handle)) return 0;
  AdapterEntry entry{};
  int found = GetAdapterInfo(handle, controller_number, &entry);
  if (found != kAdapterFound) return found;

  ControllerInfo* c = new (std::nothrow) ControllerInfo{};
  if (c == nullptr) return 0;
  c->DriverHandle = handle;
  c->ControllerNumber = controller_number;
  c->DeviceIdLow = entry.DeviceIdLow;
  c->PciSegment = entry.PciSegment;
  c->PciBus = entry.PciBus;
  c->PciDevFn = entry.PciDevFn;
  c->SubsystemDeviceId = entry.SubsystemDeviceId;
  c->SubsystemVendorId = entry.SubsystemVendorId;
  *controller = c;
  return kAdapterFound;
}
