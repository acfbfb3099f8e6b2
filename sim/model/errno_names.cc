#include "model/errno_names.h"

#include <cerrno>

namespace vxtsim {

namespace {

struct ErrnoEntry {
  int value;
  const char* name;
};

constexpr ErrnoEntry kErrnos[] = {
    {EPERM, "EPERM"},   {ENOENT, "ENOENT"}, {EIO, "EIO"},
    {ENXIO, "ENXIO"},   {EAGAIN, "EAGAIN"}, {ENOMEM, "ENOMEM"},
    {EACCES, "EACCES"}, {EFAULT, "EFAULT"}, {EBUSY, "EBUSY"},
    {EEXIST, "EEXIST"}, {ENODEV, "ENODEV"}, {EINVAL, "EINVAL"},
    {ENOTTY, "ENOTTY"}, {EINTR, "EINTR"},   {ETIMEDOUT, "ETIMEDOUT"},
};

}  // namespace

bool ErrnoByName(const std::string& name, int& value) {
  for (const ErrnoEntry& e : kErrnos) {
    if (name == e.name) {
      value = e.value;
      return true;
    }
  }
  return false;
}

const char* ErrnoName(int err) {
  for (const ErrnoEntry& e : kErrnos) {
    if (e.value == err) return e.name;
  }
  return err == 0 ? "" : "E?";
}

}  // namespace vxtsim
