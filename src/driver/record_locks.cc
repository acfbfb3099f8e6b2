// The control node's record locks, taken with fcntl on the node, and the
// command line of a process in the way of one, from its /proc entry.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "vxt/driver_channel.h"

namespace {

struct flock Range(short type, off_t start, off_t length) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = start;
  range.l_len = length;
  return range;
}

}  // namespace

NodeLockAnswer LockNodeRange(int handle, off_t start, off_t length) {
  struct flock want = Range(F_WRLCK, start, length);
  if (fcntl(handle, F_SETLK, &want) == 0) return NodeLockAnswer::kTaken;
  return errno == EACCES || errno == EAGAIN ? NodeLockAnswer::kInTheWay : NodeLockAnswer::kNoLocks;
}

void UnlockNodeRange(int handle, off_t start, off_t length) {
  struct flock range = Range(F_UNLCK, start, length);
  (void)fcntl(handle, F_SETLK, &range);
}

int NodeRangeHolder(int handle, off_t start, off_t length, pid_t* pid) {
  struct flock probe = Range(F_WRLCK, start, length);
  if (fcntl(handle, F_GETLK, &probe) != 0) return -1;
  if (probe.l_type == F_UNLCK) return 0;
  *pid = probe.l_pid;
  return 1;
}

ssize_t ReadHolderCommandLine(pid_t pid, char* line, size_t room) {
  char path[40];
  std::snprintf(path, sizeof path, "/proc/%ld/cmdline", static_cast<long>(pid));
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  ssize_t got = read(fd, line, room);
  close(fd);
  return got;
}
