#include "vxt/node_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

constexpr off_t kConfigurationBytes = 256;
constexpr off_t kTargetBytesPerController = 256;
// A holder that ends between the refusal and the question who it is frees
// the lock; a try or two more then take it.
constexpr int kLockTries = 3;
constexpr size_t kCommandLineBytes = 512;
constexpr int kWordsToSkip = 2;  // the program and the controller

off_t TargetByte(uint32_t controller_number, uint8_t target_id) {
  return kConfigurationBytes + off_t{controller_number} * kTargetBytesPerController + target_id;
}

struct flock Range(short type, off_t start, off_t length) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = start;
  range.l_len = length;
  return range;
}

// Another process's command line is foreign text: only printable ASCII is
// copied, the rest shown as '?', and a line that does not fit ends in "...".
void ReadCommandWords(pid_t pid, char* words, size_t room) {
  words[0] = '\0';
  char path[40];
  std::snprintf(path, sizeof path, "/proc/%ld/cmdline", static_cast<long>(pid));
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  char line[kCommandLineBytes];
  ssize_t got = read(fd, line, sizeof line);
  close(fd);
  if (got <= 0) return;
  size_t length = static_cast<size_t>(got);
  size_t at = 0;
  for (int skipped = 0; skipped < kWordsToSkip && at < length; ++at) {
    if (line[at] == '\0') ++skipped;
  }
  size_t out = 0;
  const size_t last = room - 1;
  for (; at < length && out < last; ++at) {
    unsigned char ch = static_cast<unsigned char>(line[at]);
    if (ch == '\0') {
      if (at + 1 < length) words[out++] = ' ';
    } else {
      words[out++] = ch >= 0x20 && ch < 0x7F ? static_cast<char>(ch) : '?';
    }
  }
  words[out] = '\0';
  bool cut = at < length || length == sizeof line;
  if (cut && room > 4) std::snprintf(words + (out > room - 4 ? room - 4 : out), 4, "...");
}

int LockByte(int handle, off_t byte, NodeLockHolder* holder) {
  holder->Pid = 0;
  holder->Words[0] = '\0';
  for (int i = 0; i < kLockTries; ++i) {
    struct flock want = Range(F_WRLCK, byte, 1);
    if (fcntl(handle, F_SETLK, &want) == 0) return 1;
    // A node that takes no record locks at all is no reason to refuse work.
    if (errno != EACCES && errno != EAGAIN) return 1;
    struct flock probe = Range(F_WRLCK, byte, 1);
    if (fcntl(handle, F_GETLK, &probe) != 0) return 0;
    if (probe.l_type == F_UNLCK) continue;
    holder->Pid = probe.l_pid;
    if (probe.l_pid > 0) ReadCommandWords(probe.l_pid, holder->Words, sizeof holder->Words);
    return 0;
  }
  return 0;
}

}  // namespace

int VxtLockConfiguration(ControllerInfo* controller, NodeLockHolder* holder) {
  return LockByte(controller->DriverHandle, off_t{controller->Adapter.ControllerNumber}, holder);
}

int VxtLockTarget(ControllerInfo* controller, uint8_t target_id, NodeLockHolder* holder) {
  return LockByte(controller->DriverHandle, TargetByte(controller->Adapter.ControllerNumber, target_id),
                  holder);
}

void VxtUnlockController(const ControllerInfo* controller) {
  const uint32_t n = controller->Adapter.ControllerNumber;
  struct flock configuration = Range(F_UNLCK, off_t{n}, 1);
  struct flock targets = Range(F_UNLCK, TargetByte(n, 0), kTargetBytesPerController);
  // Unlocking what was never locked, or a node without locks, is no failure.
  (void)fcntl(controller->DriverHandle, F_SETLK, &configuration);
  (void)fcntl(controller->DriverHandle, F_SETLK, &targets);
}
