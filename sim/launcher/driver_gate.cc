// The launcher's driver channel, for capture: the request layer's one way to
// the driver, here guarded so that only the reads capture is allowed reach
// the node.  Capture opens the node itself; it never makes one.
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdio>

#include "capture/request_gate.h"
#include "vxt/driver_channel.h"

int DriverRequest(int handle, unsigned long code, void* record) {
  capture::RequestKind kind = capture::ClassifyRequest(code, record);
  if (!capture::MaySend(kind)) {
    capture::CountRefusal();
    std::fprintf(stderr, "vxtsim capture: refused to send a %s\n", capture::RequestKindName(kind));
    errno = EPERM;
    return -1;
  }
  return ioctl(handle, code, record);
}

// Capture changes nothing, so it takes no record locks: the context it
// releases holds none to give up.
NodeLockAnswer LockNodeRange(int, off_t, off_t) { return NodeLockAnswer::kNoLocks; }
void UnlockNodeRange(int, off_t, off_t) {}
int NodeRangeHolder(int, off_t, off_t, pid_t*) { return -1; }
ssize_t ReadHolderCommandLine(pid_t, char*, size_t) { return -1; }
