#include "vxt/driver_channel.h"

#include <sys/ioctl.h>

int DriverRequest(int handle, unsigned long code, void* record) {
  return ioctl(handle, code, record);
}
