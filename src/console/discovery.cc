#include "console/discovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>

int OpenDriver(int* handle) {
  int fd = open(kDriverNodePath, O_RDWR);
  if (fd < 0 && errno == ENOENT) {
    if (mknod(kDriverNodePath, S_IFCHR | 0600, makedev(kDriverNodeMajor, kDriverNodeMinor)) == 0) {
      fd = open(kDriverNodePath, O_RDWR);
      // A node nobody answers on would only mislead the next run; one left
      // behind is only untidy, the open failure is what counts.
      // NOLINTNEXTLINE(cert-err33-c)
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

int OpenController(uint32_t controller_number, ControllerInfo** controller,
                   DriverOpener open_driver) {
  int handle = -1;
  if (!open_driver(&handle)) return 0;
  return OpenControllerOn(handle, controller_number, controller);
}

int OpenControllerOn(int handle, uint32_t controller_number, ControllerInfo** controller) {
  AdapterEntry entry{};
  int found = GetAdapterInfo(handle, controller_number, &entry);
  if (found != kAdapterFound) return found;

  ControllerInfo* c = new (std::nothrow) ControllerInfo{};
  if (c == nullptr) return 0;
  c->DriverHandle = handle;
  c->ControllerNumber = controller_number;
  c->DeviceIdLow = entry.DeviceIdLow;
  c->PciDeviceId = entry.PciDeviceId;
  c->PciSegment = entry.PciSegment;
  c->PciBus = entry.PciBus;
  c->PciDevFn = entry.PciDevFn;
  c->SubsystemDeviceId = entry.SubsystemDeviceId;
  c->SubsystemVendorId = entry.SubsystemVendorId;
  *controller = c;
  return kAdapterFound;
}
