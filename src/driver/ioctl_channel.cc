// The driver channel of volkit (and of the tests): the control node itself,
// and the one place that calls ioctl.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "vxt/driver_channel.h"
#include "vxt/driver_records.h"

int OpenDriverChannel(int* handle) {
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
  if (fd < 0) return 0;
  *handle = fd;
  return 1;
}

int DriverRequest(int handle, unsigned long code, void* record) {
  return ioctl(handle, code, record);
}
