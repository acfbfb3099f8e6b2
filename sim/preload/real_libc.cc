#include "preload/real_libc.h"

#include <dlfcn.h>

namespace vxtsim::preload {

namespace {

template <typename F>
void Resolve(F& fn, const char* name) {
  fn = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

const Libc& Real() {
  static const Libc libc = [] {
    Libc l{};
    Resolve(l.open, "open");
    Resolve(l.openat, "openat");
    Resolve(l.close, "close");
    Resolve(l.ioctl, "ioctl");
    Resolve(l.fcntl, "fcntl");
    Resolve(l.fcntl64, "fcntl64");
    Resolve(l.mknod, "mknod");
    Resolve(l.mknodat, "mknodat");
    Resolve(l.xmknod, "__xmknod");
    Resolve(l.xmknodat, "__xmknodat");
    Resolve(l.unlink, "unlink");
    Resolve(l.unlinkat, "unlinkat");
    return l;
  }();
  return libc;
}

}  // namespace vxtsim::preload
