// The elapsed-time line: shown on a terminal by a helper process that leaves
// the waiting process alone, and never anywhere else.
#include "console/elapsed_ticker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

namespace {

volatile sig_atomic_t child_signals = 0;
void CountSignal(int) { child_signals = child_signals + 1; }

const std::string kBlank = "\r" + std::string(40, ' ') + "\r";

struct Pty {
  int Master = -1;
  int Slave = -1;
  Pty() {
    Master = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0) return;
    Slave = open(ptsname(Master), O_RDWR | O_NOCTTY);
    fcntl(Master, F_SETFL, O_NONBLOCK);
  }
  ~Pty() {
    if (Slave >= 0) close(Slave);
    if (Master >= 0) close(Master);
  }
  std::string Drain() const {
    std::string text;
    char buf[256];
    for (ssize_t n; (n = read(Master, buf, sizeof buf)) > 0;) text.append(buf, n);
    return text;
  }
};

bool Reaped(int pid) { return waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD; }

TEST(ElapsedTicker, CountsOnATerminalWithoutSignallingTheCaller) {
  Pty pty;
  ASSERT_GE(pty.Slave, 0);
  struct sigaction count {
  }, old{};
  count.sa_handler = CountSignal;  // no SA_RESTART: a signal would cut the sleep short
  sigemptyset(&count.sa_mask);
  ASSERT_EQ(sigaction(SIGCHLD, &count, &old), 0);
  child_signals = 0;

  ElapsedTicker ticker = StartElapsedTicker(pty.Slave);
  ASSERT_GT(ticker.Pid, 0);
  int pid = ticker.Pid;
  timespec wait{2, 500000000}, left{};
  EXPECT_EQ(nanosleep(&wait, &left), 0) << "the waiting process was interrupted";
  EXPECT_EQ(child_signals, 0);
  StopElapsedTicker(&ticker);
  sigaction(SIGCHLD, &old, nullptr);

  EXPECT_EQ(ticker.Pid, 0);
  EXPECT_TRUE(Reaped(pid));
  std::string shown = pty.Drain();
  EXPECT_EQ(shown.rfind("\rElapsed time: 0:00:00", 0), 0u) << shown;
  EXPECT_NE(shown.find("\rElapsed time: 0:00:01"), std::string::npos) << shown;
  EXPECT_EQ(shown.find('\n'), std::string::npos) << "one line, rewritten";
  ASSERT_GE(shown.size(), kBlank.size());
  EXPECT_EQ(shown.substr(shown.size() - kBlank.size()), kBlank);
}

TEST(ElapsedTicker, NothingWithoutATerminal) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ElapsedTicker ticker = StartElapsedTicker(ends[1]);
  EXPECT_EQ(ticker.Pid, 0);
  StopElapsedTicker(&ticker);
  close(ends[1]);
  char c;
  EXPECT_EQ(read(ends[0], &c, 1), 0);
  close(ends[0]);
}

TEST(ElapsedTicker, AHelperThatDiedIsStillReaped) {
  Pty pty;
  ASSERT_GE(pty.Slave, 0);
  ElapsedTicker ticker = StartElapsedTicker(pty.Slave);
  ASSERT_GT(ticker.Pid, 0);
  int pid = ticker.Pid;
  kill(pid, SIGKILL);
  usleep(50000);
  StopElapsedTicker(&ticker);
  EXPECT_TRUE(Reaped(pid));
  std::string shown = pty.Drain();
  ASSERT_GE(shown.size(), kBlank.size());
  EXPECT_EQ(shown.substr(shown.size() - kBlank.size()), kBlank);
}

}  // namespace
