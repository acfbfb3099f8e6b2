#include "support/volkit_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/run_program.h"

namespace volkit_test {

namespace {

constexpr auto kRunLimit = std::chrono::seconds(120);

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// Scratch directories are removed when the test program ends, unless
// VOLKIT_KEEP_SCRATCH is set for a look at a failed run.
std::vector<std::string>& ScratchDirs() {
  static std::vector<std::string>* dirs = [] {
    auto* d = new std::vector<std::string>;
    std::atexit([] {
      if (std::getenv("VOLKIT_KEEP_SCRATCH")) return;
      for (const std::string& dir : ScratchDirs()) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
      }
    });
    return d;
  }();
  return *dirs;
}

// Runs argv with stdin from a file and stdout/stderr into files; returns the
// exit status, or 128 + signal. Kills a run that hangs.
int Spawn(const std::vector<std::string>& argv, const std::string& dir) {
  pid_t pid = fork();
  if (pid == 0) {
    int in = open((dir + "/stdin").c_str(), O_RDONLY);
    int out = open((dir + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open((dir + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    // Descriptors the test runner left open would shift the numbers the
    // program under test is given.
    close_range(3, ~0u, 0);
    // Files a command makes under a bare name land in the scratch directory.
    if (chdir(dir.c_str()) != 0) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  if (pid < 0) {
    ADD_FAILURE() << "fork failed";
    return -1;
  }
  auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      if (waitpid(pid, &status, 0) != pid) status = -1;
      ADD_FAILURE() << "run did not finish within " << kRunLimit.count() << " s: " << argv.back();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Runs the launcher with `args` as given; `dir` receives the output files.
VolkitRun Launch(const std::string& dir, const std::vector<std::string>& args,
                 const std::string& stdin_text) {
  VolkitRun run;
  run.dir = dir;
  std::string log_path = dir + "/log.jsonl";
  // A log that was never there is what is wanted.
  // NOLINTNEXTLINE(cert-err33-c)
  std::remove(log_path.c_str());
  WriteAll(dir + "/stdin", stdin_text);
  std::vector<std::string> argv = {VxtsimPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  run.status = Spawn(argv, dir);
  run.out = ReadAll(dir + "/stdout");
  run.err = ReadAll(dir + "/stderr");
  std::istringstream log(ReadAll(log_path));
  for (std::string line; std::getline(log, line);) {
    json entry = json::parse(line, nullptr, false);
    if (entry.is_discarded()) {
      ADD_FAILURE() << "bad log line: " << line;
      continue;
    }
    run.log.push_back(std::move(entry));
  }
  std::string state = ReadAll(dir + "/state.json");
  run.state = json::parse(state, nullptr, false);
  if (run.state.is_discarded()) run.state = json();
  return run;
}

VolkitRun RunIn(const std::string& dir, const std::vector<std::string>& tail,
                const std::string& stdin_text) {
  std::vector<std::string> args = {"--lab", dir + "/lab.json", "--state", dir + "/state.json",
                                   "--log", dir + "/log.jsonl"};
  args.insert(args.end(), tail.begin(), tail.end());
  return Launch(dir, args, stdin_text);
}

std::vector<std::string> VolkitCommand(const std::vector<std::string>& args) {
  std::vector<std::string> tail = {"--", VolkitPath()};
  tail.insert(tail.end(), args.begin(), args.end());
  return tail;
}

std::string NewScratch(const json& lab) {
  std::string dir = MakeScratchDir();
  WriteAll(dir + "/lab.json", lab.dump(1));
  return dir;
}

}  // namespace

std::string MakeScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/volkit-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) ADD_FAILURE() << "mkdtemp failed for " << pattern;
  ScratchDirs().push_back(buf.data());
  return buf.data();
}

std::vector<json> VolkitRun::Ioctls(int function) const {
  std::vector<json> lines;
  for (const json& line : log) {
    if (line.value("call", "") != "ioctl") continue;
    if (function >= 0 && line.value("function", -1) != function) continue;
    lines.push_back(line);
  }
  return lines;
}

// A lab of a test that does not check is the test's mistake: say so loudly
// rather than let the test compare an empty report.
VolkitRun Checked(VolkitRun run) {
  if (run.status == 2 && run.err.rfind("vxtsim: ", 0) == 0) {
    ADD_FAILURE() << "the lab does not check:\n" << run.err;
  }
  return run;
}

VolkitRun RunVolkit(const json& lab, const std::vector<std::string>& args,
                    const std::string& stdin_text) {
  return Checked(RunIn(NewScratch(lab), VolkitCommand(args), stdin_text));
}

VolkitRun RunVolkitAgain(const VolkitRun& before, const std::vector<std::string>& args,
                         const std::string& stdin_text) {
  return Checked(RunIn(before.dir, VolkitCommand(args), stdin_text));
}

VolkitRun RunVxtsim(const json& lab, const std::vector<std::string>& launcher_args,
                    const std::string& stdin_text) {
  return RunIn(NewScratch(lab), launcher_args, stdin_text);
}

VolkitRun RunLauncher(const std::vector<std::string>& args, const std::string& stdin_text) {
  return Launch(MakeScratchDir(), args, stdin_text);
}

VolkitRun RunProgram(const std::vector<std::string>& argv, const std::string& stdin_text) {
  VolkitRun run;
  run.dir = MakeScratchDir();
  WriteAll(run.dir + "/stdin", stdin_text);
  run.status = Spawn(argv, run.dir);
  run.out = ReadAll(run.dir + "/stdout");
  run.err = ReadAll(run.dir + "/stderr");
  return run;
}

std::string FrameHex(const json& log_line, size_t n) {
  std::string hex = log_line.value("frame", "");
  hex.resize(2 * n, '0');
  return hex;
}

std::string VolkitPath() { return VOLKIT_BIN; }
std::string VxtsimPath() { return VXTSIM_BIN; }

}  // namespace volkit_test
