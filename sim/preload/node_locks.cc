#include "preload/node_locks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "preload/real_libc.h"

namespace vxtsim::preload {

namespace {

// Record locks on the node. The kernel keeps them per process and node, names
// their holder to F_GETLK, drops them all when the process closes any
// descriptor of the node, and drops them when the process ends. The same
// locks placed on a lock file beside the state give processes that share a
// state the same; the state file itself is replaced on every save, so it
// cannot carry them.
constexpr int kLockDescriptorFloor = 950;

int& LockFileFd() {
  static int fd = -1;
  return fd;
}

// -1 when the lock file cannot be opened (errno set).
int OpenLockFile() {
  if (LockFileFd() >= 0) return LockFileFd();
  const char* state = std::getenv("VXTSIM_STATE");
  if (!state || !*state) {
    errno = ENOLCK;
    return -1;
  }
  std::string path = std::string(state) + ".lock";
  int fd = Real().open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  // Kept on a high descriptor, so that the program's own descriptors are
  // numbered as they would be without the simulator.
  int high = Real().fcntl(fd, F_DUPFD_CLOEXEC, kLockDescriptorFloor);
  if (high >= 0) {
    Real().close(fd);
    fd = high;
  }
  LockFileFd() = fd;
  return fd;
}

}  // namespace

void DropNodeLocks() {
  if (LockFileFd() < 0) return;
  Real().close(LockFileFd());
  LockFileFd() = -1;
}

int NodeFcntl(FcntlFn real, int fd, int cmd, void* arg) {
  switch (cmd) {
    case F_GETLK:
    case F_SETLK:
    case F_SETLKW: {
      // Nothing is held before the lock file is open: an unlock then has
      // nothing to do, and readers that only unlock make no lock file.
      const auto* range = static_cast<const struct flock*>(arg);
      if (cmd != F_GETLK && range && range->l_type == F_UNLCK && LockFileFd() < 0) return 0;
      int lock_fd = OpenLockFile();
      return lock_fd < 0 ? -1 : real(lock_fd, cmd, arg);
    }
    case F_OFD_GETLK:
    case F_OFD_SETLK:
    case F_OFD_SETLKW:
      // Only the classic per-process record locks are modelled.
      errno = EINVAL;
      return -1;
    default:
      return real(fd, cmd, arg);
  }
}

}  // namespace vxtsim::preload
