#include "console/discovery.h"

#include <cstdio>
#include <new>

#include "vxt/driver_channel.h"
#include "vxt/driver_records.h"

int OpenDriver(int* handle) {
  if (OpenDriverChannel(handle)) return 1;
  std::fprintf(stderr, "volkit: couldn't open %s!\n", kDriverNodePath);
  std::fprintf(stderr, "volkit: make sure the vxtctl driver is loaded!\n");
  return 0;
}

int OpenController(uint32_t controller_number, ControllerInfo** controller) {
  int handle = -1;
  if (!OpenDriver(&handle)) return 0;
  return OpenControllerOn(handle, controller_number, controller);
}

int OpenControllerOn(int handle, uint32_t controller_number, ControllerInfo** controller) {
  AdapterEntry entry{};
  int found = GetAdapterInfo(handle, controller_number, &entry);
  if (found != kAdapterFound) return found;

  ControllerInfo* c = new (std::nothrow) ControllerInfo{};
  if (c == nullptr) return 0;
  c->DriverHandle = handle;
  c->Adapter = entry;
  *controller = c;
  return kAdapterFound;
}
