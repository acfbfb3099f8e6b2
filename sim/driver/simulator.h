// The simulated driver as one process sees it: the state it works on (read
// again whenever another process has replaced it, written back after each
// request that changed it), the request log it appends to, and the node and
// ioctl calls that the interposer routes here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "driver/log_line.h"
#include "model/model.h"

namespace vxtsim {

class Simulator {
 public:
  // An empty log path logs nothing. The state is read and checked at once;
  // throws LabError naming the first problem.
  Simulator(std::string state_path, std::string log_path);
  ~Simulator();

  // Each returns what the libc call returns and sets err on failure.
  int Open(const char* call, int flags, const std::function<int()>& make_fd, int& err);
  int Mknod(const char* call, uint32_t mode, uint32_t major, uint32_t minor, int& err);
  int Unlink(const char* call, int& err);
  void Close(int fd);
  int Ioctl(int fd, unsigned long request, void* arg, int& err);

  const Model& model() const { return model_; }

 private:
  void Finish(LogLine& line, bool changed);
  // Reads the state again when the file is no longer the one last read or
  // written here, so that processes sharing it see each other's changes.
  void Refresh();
  void NoteStateFile();

  struct FileIdentity {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t mtime_ns = 0, ctime_ns = 0;
    bool operator==(const FileIdentity&) const = default;
  };
  FileIdentity state_identity_;

  std::string state_path_;
  std::string log_path_;
  int log_fd_ = -1;
  std::string log_text_;  // kept to spare an allocation per line
  Model model_;
  uint64_t seq_ = 0;
};

}  // namespace vxtsim
