#include "support/background_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace volkit_test {

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(60);

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

std::string FilePath(const BackgroundVolkit& run, const char* suffix) {
  return run.dir + "/" + run.name + suffix;
}

// Reaps the process; its exit status, or 128 + signal. Kills one that hangs.
int Reap(pid_t pid) {
  auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid, &status, WNOHANG)) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "background volkit did not end within " << kWaitLimit.count() << " s";
      kill(pid, SIGKILL);
      done = waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (done != pid) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

VolkitRun Collect(BackgroundVolkit* run, int status) {
  if (run->stdin_fd >= 0) close(run->stdin_fd);
  run->stdin_fd = -1;
  run->pid = -1;
  VolkitRun result;
  result.status = status;
  result.dir = run->dir;
  result.out = ReadAll(FilePath(*run, ".out"));
  result.err = ReadAll(FilePath(*run, ".err"));
  std::istringstream log(ReadAll(FilePath(*run, ".log")));
  for (std::string line; std::getline(log, line);) {
    json entry = json::parse(line, nullptr, false);
    if (entry.is_discarded()) {
      ADD_FAILURE() << "bad log line: " << line;
      continue;
    }
    result.log.push_back(std::move(entry));
  }
  result.state = json::parse(ReadAll(run->dir + "/state.json"), nullptr, false);
  if (result.state.is_discarded()) result.state = json();
  return result;
}

}  // namespace

BackgroundVolkit StartVolkit(const std::string& dir, const std::string& name,
                             const std::vector<std::string>& args) {
  std::vector<std::string> command = {VolkitPath()};
  command.insert(command.end(), args.begin(), args.end());
  return StartUnderVxtsim(dir, name, command);
}

BackgroundVolkit StartUnderVxtsim(const std::string& dir, const std::string& name,
                                  const std::vector<std::string>& command) {
  BackgroundVolkit run;
  run.dir = dir;
  run.name = name;
  std::vector<std::string> argv = {VxtsimPath(),        "--lab", dir + "/lab.json",     "--state",
                                   dir + "/state.json", "--log", FilePath(run, ".log"), "--"};
  argv.insert(argv.end(), command.begin(), command.end());
  int in[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return run;
  }
  std::string out_path = FilePath(run, ".out");
  std::string err_path = FilePath(run, ".err");
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) _exit(126);
    dup2(in[0], 0);
    dup2(out, 1);
    dup2(err, 2);
    close_range(3, ~0u, 0);
    if (chdir(dir.c_str()) != 0) _exit(126);
    std::vector<char*> list;
    for (const std::string& a : argv) list.push_back(const_cast<char*>(a.c_str()));
    list.push_back(nullptr);
    execv(list[0], list.data());
    _exit(127);
  }
  close(in[0]);
  if (pid < 0) {
    close(in[1]);
    ADD_FAILURE() << "fork failed";
    return run;
  }
  run.pid = pid;
  run.stdin_fd = in[1];
  return run;
}

bool WaitForOutput(const BackgroundVolkit& run, const std::string& text) {
  auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (ReadAll(FilePath(run, ".out")).find(text) != std::string::npos) return true;
    siginfo_t info{};
    if (run.pid <= 0 ||
        waitid(P_PID, static_cast<id_t>(run.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != 0) {
      // Ended (or never started): what it wrote is all there will be.
      return ReadAll(FilePath(run, ".out")).find(text) != std::string::npos;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

VolkitRun FinishVolkit(BackgroundVolkit* run, const std::string& stdin_text) {
  if (run->pid <= 0) return Collect(run, -1);
  // A closed pipe is the process's business: it reads end of input.
  signal(SIGPIPE, SIG_IGN);
  size_t at = 0;
  while (at < stdin_text.size()) {
    ssize_t n = write(run->stdin_fd, stdin_text.data() + at, stdin_text.size() - at);
    if (n <= 0) break;
    at += static_cast<size_t>(n);
  }
  close(run->stdin_fd);
  run->stdin_fd = -1;
  return Collect(run, Reap(run->pid));
}

VolkitRun KillVolkit(BackgroundVolkit* run) {
  if (run->pid <= 0) return Collect(run, -1);
  kill(run->pid, SIGKILL);
  return Collect(run, Reap(run->pid));
}

}  // namespace volkit_test
