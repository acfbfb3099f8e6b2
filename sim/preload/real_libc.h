// The C library's own entry points, for the calls the interposer passes on.
#pragma once

#include <sys/types.h>

namespace vxtsim::preload {

struct Libc {
  int (*open)(const char*, int, ...);
  int (*openat)(int, const char*, int, ...);
  int (*close)(int);
  int (*ioctl)(int, unsigned long, ...);
  int (*fcntl)(int, int, ...);
  int (*fcntl64)(int, int, ...);
  int (*mknod)(const char*, mode_t, dev_t);
  int (*mknodat)(int, const char*, mode_t, dev_t);
  int (*xmknod)(int, const char*, mode_t, dev_t*);
  int (*xmknodat)(int, int, const char*, mode_t, dev_t*);
  int (*unlink)(const char*);
  int (*unlinkat)(int, const char*, int);
};

// Looked up once, on first use.
const Libc& Real();

}  // namespace vxtsim::preload
