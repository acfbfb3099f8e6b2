// LD_PRELOAD shim: calls on /dev/vxtctl and on descriptors opened from it go
// to the simulated driver; every other path and descriptor goes to the C
// library untouched.
#undef _FORTIFY_SOURCE
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <set>
#include <string>

#include "driver/simulator.h"
#include "model/protocol.h"
#include "preload/node_locks.h"
#include "preload/real_libc.h"

#define VXTSIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using vxtsim::preload::DropNodeLocks;
using vxtsim::preload::FcntlFn;
using vxtsim::preload::NodeFcntl;
using vxtsim::preload::Real;

struct Loaded {
  std::unique_ptr<vxtsim::Simulator> sim;
  std::string problem;  // why the state named by the launcher cannot be used
};

// The simulator of the state the launcher named; the shim stays out of the
// way when it named none.
const Loaded& Load() {
  static const Loaded loaded = [] {
    Loaded l;
    const char* state = std::getenv("VXTSIM_STATE");
    const char* log = std::getenv("VXTSIM_LOG");
    if (state && *state) {
      try {
        l.sim = std::make_unique<vxtsim::Simulator>(state, log ? log : "");
      } catch (const std::exception& e) {
        l.problem = e.what();
      }
    }
    return l;
  }();
  return loaded;
}

vxtsim::Simulator* Sim() { return Load().sim.get(); }

// A state that does not check reaches no driver: calls on the node fail
// rather than run on half a lab.
bool Unusable() { return !Load().problem.empty(); }

int RefuseNode(const char* call) {
  std::fprintf(stderr, "vxtsim: %s %s refused: %s\n", call, vxtsim::kNodePath,
               Load().problem.c_str());
  errno = EIO;
  return -1;
}

// Descriptors handed out for the node. Each is a real descriptor of
// /dev/null, so its number cannot be given to anything else.
std::set<int>& FakeFds() {
  static std::set<int> fds;
  return fds;
}

bool IsNode(int dirfd, const char* path) {
  if (!path || std::strcmp(path, vxtsim::kNodePath) != 0) return false;
  return dirfd == AT_FDCWD || path[0] == '/';
}

bool Simulated(int dirfd, const char* path) { return IsNode(dirfd, path) && (Sim() || Unusable()); }

// Runs a simulator call; an unreadable lab fails the call with EIO.
template <typename F>
int Guarded(F&& call) {
  int err = 0;
  int result = -1;
  try {
    result = call(err);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vxtsim: %s\n", e.what());
    result = -1;
    err = EIO;
  }
  if (result < 0) errno = err;
  return result;
}

int OpenNode(const char* call, int flags) {
  if (!Sim()) return RefuseNode(call);
  return Guarded([&](int& err) {
    return Sim()->Open(
        call, flags,
        [flags] {
          int fd = Real().open("/dev/null", O_RDWR | (flags & O_CLOEXEC));
          if (fd >= 0) FakeFds().insert(fd);
          return fd;
        },
        err);
  });
}

int MknodNode(const char* call, mode_t mode, dev_t dev) {
  if (!Sim()) return RefuseNode(call);
  return Guarded([&](int& err) { return Sim()->Mknod(call, mode, major(dev), minor(dev), err); });
}

int UnlinkNode(const char* call) {
  if (!Sim()) return RefuseNode(call);
  return Guarded([&](int& err) { return Sim()->Unlink(call, err); });
}

int Fcntl(FcntlFn real, int fd, int cmd, va_list ap) {
  // Every argument fcntl takes is passed in a register of pointer width.
  void* arg = va_arg(ap, void*);
  if (!real) {
    errno = ENOSYS;
    return -1;
  }
  if (FakeFds().count(fd) && Sim()) return NodeFcntl(real, fd, cmd, arg);
  return real(fd, cmd, arg);
}

mode_t ModeArg(int flags, va_list ap) {
  bool wants_mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
  return wants_mode ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

}  // namespace

VXTSIM_EXPORT int open(const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  mode_t mode = ModeArg(flags, ap);
  va_end(ap);
  if (Simulated(AT_FDCWD, path)) return OpenNode("open", flags);
  return Real().open(path, flags, mode);
}

VXTSIM_EXPORT int open64(const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  mode_t mode = ModeArg(flags, ap);
  va_end(ap);
  if (Simulated(AT_FDCWD, path)) return OpenNode("open64", flags);
  return Real().open(path, flags | O_LARGEFILE, mode);
}

VXTSIM_EXPORT int openat(int dirfd, const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  mode_t mode = ModeArg(flags, ap);
  va_end(ap);
  if (Simulated(dirfd, path)) return OpenNode("openat", flags);
  return Real().openat(dirfd, path, flags, mode);
}

VXTSIM_EXPORT int openat64(int dirfd, const char* path, int flags, ...) {
  va_list ap;
  va_start(ap, flags);
  mode_t mode = ModeArg(flags, ap);
  va_end(ap);
  if (Simulated(dirfd, path)) return OpenNode("openat64", flags);
  return Real().openat(dirfd, path, flags | O_LARGEFILE, mode);
}

VXTSIM_EXPORT int __open_2(const char* path, int flags) {
  if (Simulated(AT_FDCWD, path)) return OpenNode("__open_2", flags);
  return Real().open(path, flags);
}

VXTSIM_EXPORT int __open64_2(const char* path, int flags) {
  if (Simulated(AT_FDCWD, path)) return OpenNode("__open64_2", flags);
  return Real().open(path, flags | O_LARGEFILE);
}

VXTSIM_EXPORT int __openat_2(int dirfd, const char* path, int flags) {
  if (Simulated(dirfd, path)) return OpenNode("__openat_2", flags);
  return Real().openat(dirfd, path, flags);
}

VXTSIM_EXPORT int __openat64_2(int dirfd, const char* path, int flags) {
  if (Simulated(dirfd, path)) return OpenNode("__openat64_2", flags);
  return Real().openat(dirfd, path, flags | O_LARGEFILE);
}

VXTSIM_EXPORT int close(int fd) {
  if (FakeFds().erase(fd) > 0) {
    DropNodeLocks();
    try {
      if (Sim()) Sim()->Close(fd);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vxtsim: %s\n", e.what());
    }
  }
  return Real().close(fd);
}

VXTSIM_EXPORT int ioctl(int fd, unsigned long request, ...) __THROW {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  if (FakeFds().count(fd) && Sim()) {
    return Guarded([&](int& err) { return Sim()->Ioctl(fd, request, arg, err); });
  }
  return Real().ioctl(fd, request, arg);
}

VXTSIM_EXPORT int fcntl(int fd, int cmd, ...) {
  va_list ap;
  va_start(ap, cmd);
  int result = Fcntl(Real().fcntl, fd, cmd, ap);
  va_end(ap);
  return result;
}

VXTSIM_EXPORT int fcntl64(int fd, int cmd, ...) {
  va_list ap;
  va_start(ap, cmd);
  int result = Fcntl(Real().fcntl64 ? Real().fcntl64 : Real().fcntl, fd, cmd, ap);
  va_end(ap);
  return result;
}

VXTSIM_EXPORT int mknod(const char* path, mode_t mode, dev_t dev) __THROW {
  if (Simulated(AT_FDCWD, path)) return MknodNode("mknod", mode, dev);
  return Real().mknod(path, mode, dev);
}

VXTSIM_EXPORT int mknodat(int dirfd, const char* path, mode_t mode, dev_t dev) __THROW {
  if (Simulated(dirfd, path)) return MknodNode("mknodat", mode, dev);
  return Real().mknodat(dirfd, path, mode, dev);
}

// Programs built against older C libraries reach mknod through these.
VXTSIM_EXPORT int __xmknod(int ver, const char* path, mode_t mode, dev_t* dev) {
  if (Simulated(AT_FDCWD, path) && dev) return MknodNode("mknod", mode, *dev);
  return Real().xmknod ? Real().xmknod(ver, path, mode, dev) : (errno = ENOSYS, -1);
}

VXTSIM_EXPORT int __xmknodat(int ver, int dirfd, const char* path, mode_t mode, dev_t* dev) {
  if (Simulated(dirfd, path) && dev) return MknodNode("mknodat", mode, *dev);
  return Real().xmknodat ? Real().xmknodat(ver, dirfd, path, mode, dev) : (errno = ENOSYS, -1);
}

VXTSIM_EXPORT int unlink(const char* path) __THROW {
  if (Simulated(AT_FDCWD, path)) return UnlinkNode("unlink");
  return Real().unlink(path);
}

VXTSIM_EXPORT int unlinkat(int dirfd, const char* path, int flags) __THROW {
  if (Simulated(dirfd, path) && !(flags & AT_REMOVEDIR)) return UnlinkNode("unlinkat");
  return Real().unlinkat(dirfd, path, flags);
}
