#include "simulator.h"

#include <cerrno>
#include <fstream>
#include <unistd.h>

#include "driver.h"
#include "faults.h"
#include "node.h"
#include "protocol.h"
#include "state_file.h"

namespace vxtsim {

namespace {

json NodeLine(const char* call, int result, int err) {
  json line = {{"call", call}, {"path", kNodePath}, {"result", result}};
  if (result < 0) {
    line["errno"] = err;
    line["error"] = ErrnoName(err);
  }
  return line;
}

}  // namespace

Simulator::Simulator(std::string state_path, std::string log_path)
    : state_path_(std::move(state_path)), log_path_(std::move(log_path)) {
  state_ = LoadState(state_path_);
}

void Simulator::Finish(json& line, bool changed) {
  if (changed) SaveState(state_path_, state_);
  if (log_path_.empty()) return;
  line["seq"] = ++seq_;
  line["pid"] = getpid();
  std::ofstream out(log_path_, std::ios::app);
  out << line.dump() << '\n';
}

int Simulator::Open(const char* call, int flags, const std::function<int()>& make_fd, int& err) {
  err = NodeOpen(state_);
  int fd = -1;
  if (err == 0) {
    fd = make_fd();
    if (fd < 0) err = errno;
  }
  json line = NodeLine(call, fd, err);
  line["flags"] = flags;
  Finish(line, false);
  return fd;
}

int Simulator::Mknod(const char* call, uint32_t mode, uint32_t major, uint32_t minor, int& err) {
  bool changed = false;
  err = NodeMknod(state_, mode, major, minor, changed);
  json line = NodeLine(call, err ? -1 : 0, err);
  line["mode"] = mode;
  line["major"] = major;
  line["minor"] = minor;
  Finish(line, changed);
  return err ? -1 : 0;
}

int Simulator::Unlink(const char* call, int& err) {
  bool changed = false;
  err = NodeUnlink(state_, changed);
  json line = NodeLine(call, err ? -1 : 0, err);
  Finish(line, changed);
  return err ? -1 : 0;
}

void Simulator::Close(int fd) {
  json line = NodeLine("close", 0, 0);
  line["fd"] = fd;
  Finish(line, false);
}

int Simulator::Ioctl(int fd, unsigned long request, void* arg, int& err) {
  IoctlResult r = DriverIoctl(state_, request, arg);
  err = r.err;
  json line = {{"call", "ioctl"}, {"fd", fd}};
  line.update(r.log);
  Finish(line, r.changed);
  return r.result;
}

}  // namespace vxtsim
