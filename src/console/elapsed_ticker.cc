#include "console/elapsed_ticker.h"

#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kLineWidth = 40;

long long MillisecondsSince(const timespec& start) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
}

void WriteAll(int fd, const char* text, size_t length) {
  while (length > 0) {
    ssize_t n = write(fd, text, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text += n;
    length -= static_cast<size_t>(n);
  }
}

void ShowElapsed(int fd, long seconds) {
  char line[kLineWidth + 2];
  int n = std::snprintf(line, sizeof line, "\rElapsed time: %ld:%02ld:%02ld", seconds / 3600,
                        seconds / 60 % 60, seconds % 60);
  if (n > 0) WriteAll(fd, line, static_cast<size_t>(n) < sizeof line ? n : sizeof line - 1);
}

void BlankLine(int fd) {
  char line[kLineWidth + 2];
  line[0] = '\r';
  for (int i = 1; i <= kLineWidth; ++i) line[i] = ' ';
  line[kLineWidth + 1] = '\r';
  WriteAll(fd, line, sizeof line);
}

// A terminal whose foreground belongs to another process group is not ours
// to write on while we run in the background.
bool InBackground(int fd) {
  pid_t foreground = tcgetpgrp(fd);
  return foreground > 0 && foreground != getpgrp();
}

[[noreturn]] void RunHelper(int fd, int hangup, const timespec& start) {
  // Should the job be sent to the background, a write must not stop the
  // whole process group, the waiting process with it.
  signal(SIGTTOU, SIG_IGN);
  for (;;) {
    // A millisecond past the turn of the second, so that it has turned.
    int wait = static_cast<int>(1001 - MillisecondsSince(start) % 1000);
    pollfd p{hangup, POLLIN, 0};
    int ready = poll(&p, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready != 0) _exit(0);  // the caller is done, or gone
    if (!InBackground(fd)) ShowElapsed(fd, static_cast<long>(MillisecondsSince(start) / 1000));
  }
}

}  // namespace

ElapsedTicker StartElapsedTicker(int fd) {
  ElapsedTicker ticker{0, fd, -1};
  if (!isatty(fd) || InBackground(fd)) return ticker;
  int ends[2];
  if (pipe(ends) != 0) return ticker;
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = fork();
  if (pid == 0) {
    close(ends[1]);
    RunHelper(fd, ends[0], start);
  }
  close(ends[0]);
  if (pid < 0) {
    close(ends[1]);
    return ticker;
  }
  ticker.Pid = pid;
  ticker.Pipe = ends[1];
  ShowElapsed(fd, 0);
  return ticker;
}

void StopElapsedTicker(ElapsedTicker* ticker) {
  if (ticker->Pid <= 0) return;
  close(ticker->Pipe);
  // Killed outright as well: a helper held up in a write to a terminal that
  // is stopped by flow control would never see the hang-up.
  kill(ticker->Pid, SIGKILL);
  while (waitpid(ticker->Pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  BlankLine(ticker->Fd);
  ticker->Pid = 0;
  ticker->Pipe = -1;
}
