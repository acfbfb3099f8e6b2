// The simulated driver as one process sees it: the state file it works on,
// the request log it appends to, and the node and ioctl calls that the
// interposer routes here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lab_values.h"

namespace vxtsim {

class Simulator {
 public:
  // An empty log path logs nothing. The state is read at once.
  Simulator(std::string state_path, std::string log_path);

  // Each returns what the libc call returns and sets err on failure.
  int Open(const char* call, int flags, const std::function<int()>& make_fd, int& err);
  int Mknod(const char* call, uint32_t mode, uint32_t major, uint32_t minor, int& err);
  int Unlink(const char* call, int& err);
  void Close(int fd);
  int Ioctl(int fd, unsigned long request, void* arg, int& err);

  const json& state() const { return state_; }

 private:
  void Finish(json& line, bool changed);

  std::string state_path_;
  std::string log_path_;
  json state_;
  uint64_t seq_ = 0;
};

}  // namespace vxtsim
