#include "vxt/node_lock.h"

#include <cstdio>

#include "vxt/driver_channel.h"

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

// Another process's command line is foreign text: only printable ASCII is
// copied, the rest shown as '?', and a line that does not fit ends in "...".
void ReadCommandWords(pid_t pid, char* words, size_t room) {
  words[0] = '\0';
  char line[kCommandLineBytes];
  ssize_t got = ReadHolderCommandLine(pid, line, sizeof line);
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
    // A node that takes no record locks at all is no reason to refuse work.
    if (LockNodeRange(handle, byte, 1) != NodeLockAnswer::kInTheWay) return 1;
    pid_t pid = 0;
    int held = NodeRangeHolder(handle, byte, 1, &pid);
    if (held < 0) return 0;
    if (held == 0) continue;
    holder->Pid = pid;
    if (pid > 0) ReadCommandWords(pid, holder->Words, sizeof holder->Words);
    return 0;
  }
  return 0;
}

}  // namespace

int VxtLockConfiguration(ControllerInfo* controller, NodeLockHolder* holder) {
  return LockByte(controller->DriverHandle, off_t{controller->Adapter.ControllerNumber}, holder);
}

int VxtLockTarget(ControllerInfo* controller, uint8_t target_id, NodeLockHolder* holder) {
  return LockByte(controller->DriverHandle,
                  TargetByte(controller->Adapter.ControllerNumber, target_id), holder);
}

void VxtUnlockController(const ControllerInfo* controller) {
  const uint32_t n = controller->Adapter.ControllerNumber;
  UnlockNodeRange(controller->DriverHandle, off_t{n}, 1);
  UnlockNodeRange(controller->DriverHandle, TargetByte(n, 0), kTargetBytesPerController);
}
