#include "driver/simulator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "document/state_file.h"
#include "driver/driver.h"
#include "driver/faults.h"
#include "model/errno_names.h"
#include "model/node.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

constexpr int kLogDescriptorFloor = 900;

LogLine NodeLine(const char* call, int result, int err) {
  LogLine line;
  line.Text(LogKey::kCall, call);
  line.Text(LogKey::kPath, kNodePath);
  line.Number(LogKey::kResult, result);
  if (result < 0) {
    line.Number(LogKey::kErrno, err);
    line.Text(LogKey::kError, ErrnoName(err));
  }
  return line;
}

// Sleeps through signals to the end, as a driver waiting for its request.
void Wait(uint32_t ms) {
  timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace

Simulator::Simulator(std::string state_path, std::string log_path)
    : state_path_(std::move(state_path)), log_path_(std::move(log_path)) {
  NoteStateFile();
  model_ = ModelOf(LoadState(state_path_), state_path_);
}

void Simulator::NoteStateFile() {
  struct stat st {};
  if (::stat(state_path_.c_str(), &st) != 0) {
    state_identity_ = {};
    return;
  }
  state_identity_ = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                     static_cast<uint64_t>(st.st_size),
                     int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec,
                     int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec};
}

void Simulator::Refresh() {
  FileIdentity known = state_identity_;
  NoteStateFile();
  if (state_identity_ == known) return;
  model_ = ModelOf(LoadState(state_path_), state_path_);
}

Simulator::~Simulator() {
  if (log_fd_ >= 0) ::close(log_fd_);
}

void Simulator::Finish(LogLine& line, bool changed) {
  if (changed) {
    SaveState(state_path_, WriteModel(model_));
    NoteStateFile();
  }
  if (log_path_.empty()) return;
  line.Number(LogKey::kSeq, static_cast<int64_t>(++seq_));
  line.Number(LogKey::kPid, getpid());
  int fd = log_fd_;
  if (fd < 0) fd = ::open(log_path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::string& text = log_text_;
  text.clear();
  line.AppendTo(text);
  // One write per line keeps lines of concurrent processes whole.
  ssize_t n = ::write(fd, text.data(), text.size());
  (void)n;
  if (fd == log_fd_) return;
  // The log stays open on a high descriptor, so that the program's own
  // descriptors are numbered as they would be without the simulator.
  log_fd_ = fcntl(fd, F_DUPFD_CLOEXEC, kLogDescriptorFloor);
  ::close(fd);
}

int Simulator::Open(const char* call, int flags, const std::function<int()>& make_fd, int& err) {
  Refresh();
  err = NodeOpen(model_.node);
  int fd = -1;
  if (err == 0) {
    fd = make_fd();
    if (fd < 0) err = errno;
  }
  LogLine line = NodeLine(call, fd, err);
  line.Number(LogKey::kFlags, flags);
  Finish(line, false);
  return fd;
}

int Simulator::Mknod(const char* call, uint32_t mode, uint32_t major, uint32_t minor, int& err) {
  Refresh();
  bool changed = false;
  err = NodeMknod(model_.node, mode, major, minor, changed);
  LogLine line = NodeLine(call, err ? -1 : 0, err);
  line.Number(LogKey::kMode, mode);
  line.Number(LogKey::kMajor, major);
  line.Number(LogKey::kMinor, minor);
  Finish(line, changed);
  return err ? -1 : 0;
}

int Simulator::Unlink(const char* call, int& err) {
  Refresh();
  bool changed = false;
  err = NodeUnlink(model_.node, changed);
  LogLine line = NodeLine(call, err ? -1 : 0, err);
  Finish(line, changed);
  return err ? -1 : 0;
}

void Simulator::Close(int fd) {
  LogLine line = NodeLine("close", 0, 0);
  line.Number(LogKey::kFd, fd);
  Finish(line, false);
}

int Simulator::Ioctl(int fd, unsigned long request, void* arg, int& err) {
  Refresh();
  IoctlResult r = DriverIoctl(model_, request, arg);
  err = r.err;
  r.log.Text(LogKey::kCall, "ioctl");
  r.log.Number(LogKey::kFd, fd);
  // The change is saved when the firmware has taken the request, before the
  // caller's wait: others see a long format as begun, and changes they make
  // meanwhile are not overwritten when it ends.
  Finish(r.log, r.changed);
  if (r.wait_ms) Wait(r.wait_ms);
  return r.result;
}

}  // namespace vxtsim
