// vxtsim: runs a command with the virtual controller in place of the driver.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "capture/capture_main.h"
#include "fail_command.h"
#include "options.h"
#include "show.h"
#include "state_setup.h"

namespace {

std::string Absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

std::string ExePath() {
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  return n <= 0 ? "" : std::string(exe, static_cast<size_t>(n));
}

std::string ExeDir() {
  std::string path = ExePath();
  if (path.empty()) return ".";
  return path.substr(0, path.rfind('/'));
}

// Beside the launcher in the build tree, under the library directory once
// installed; VXTSIM_PRELOAD overrides both.
std::string PreloadPath() {
  if (const char* env = std::getenv("VXTSIM_PRELOAD"); env && *env) return env;
  std::string dir = ExeDir();
  for (const std::string& candidate :
       {dir + "/libvxtsim_preload.so", dir + "/" VXTSIM_PRELOAD_FROM_BINDIR}) {
    if (access(candidate.c_str(), R_OK) == 0) return candidate;
  }
  return "";
}

void AppendEnv(const char* name, const std::string& value, const char* separator) {
  const char* old = std::getenv(name);
  std::string joined = old && *old ? std::string(old) + separator + value : value;
  setenv(name, joined.c_str(), 1);
}

int Run(const vxtsim::LaunchOptions& opts, const std::string& state_path) {
  std::string preload = PreloadPath();
  if (preload.empty()) {
    std::fprintf(stderr, "vxtsim: cannot find libvxtsim_preload.so\n");
    return 127;
  }
  AppendEnv("LD_PRELOAD", preload, ":");
  // A sanitized program would otherwise refuse to run behind the preload.
  AppendEnv("ASAN_OPTIONS", "verify_asan_link_order=0", ":");
  setenv("VXTSIM_STATE", Absolute(state_path).c_str(), 1);
  if (opts.log_path.empty()) {
    unsetenv("VXTSIM_LOG");
  } else {
    setenv("VXTSIM_LOG", Absolute(opts.log_path).c_str(), 1);
  }
  std::vector<std::string> command = opts.command;
  // Capture of the simulated controller: this launcher, run under the
  // interposer.
  if (opts.verb == "capture") command.insert(command.begin(), ExePath());
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  std::fprintf(stderr, "vxtsim: cannot run %s: %s\n", argv[0], std::strerror(errno));
  return 127;
}

// The verbs other than capture without launcher options: help needs nothing,
// check the state's path, the others the state (made afresh for reset).
int Help(const vxtsim::LaunchOptions&, const std::string&, vxtsim::Model&) {
  vxtsim::PrintUsage(stdout);
  return 0;
}

int Check(const vxtsim::LaunchOptions& opts, const std::string& state_path, vxtsim::Model&) {
  return vxtsim::CheckCommand(opts, state_path);
}

int Fail(const vxtsim::LaunchOptions& opts, const std::string& state_path, vxtsim::Model& state) {
  return vxtsim::FailCommand(opts.command[0], state_path, state);
}

int Replace(const vxtsim::LaunchOptions& opts, const std::string& state_path,
            vxtsim::Model& state) {
  return vxtsim::ReplaceCommand(opts.command[0], state_path, state);
}

int Show(const vxtsim::LaunchOptions&, const std::string& state_path, vxtsim::Model& state) {
  vxtsim::PrintSummary(state, state_path, stdout);
  return 0;
}

int Reset(const vxtsim::LaunchOptions& opts, const std::string& state_path, vxtsim::Model&) {
  std::printf("vxtsim: %s started afresh from the %s\n", state_path.c_str(),
              opts.lab_path.empty() ? "built-in lab" : opts.lab_path.c_str());
  return 0;
}

int RunCommand(const vxtsim::LaunchOptions& opts, const std::string& state_path, vxtsim::Model&) {
  return Run(opts, state_path);
}

enum class Needs { kNothing, kStatePath, kState, kFreshState };

struct Verb {
  const char* name;
  Needs needs;
  int (*run)(const vxtsim::LaunchOptions&, const std::string& state_path, vxtsim::Model& state);
};

constexpr Verb kVerbs[] = {
    {"help", Needs::kNothing, Help},        {"check", Needs::kStatePath, Check},
    {"fail", Needs::kState, Fail},          {"show", Needs::kState, Show},
    {"reset", Needs::kFreshState, Reset},   {"run", Needs::kState, RunCommand},
    {"capture", Needs::kState, RunCommand}, {"replace", Needs::kState, Replace},
};

const Verb* FindVerb(const std::string& name) {
  for (const Verb& verb : kVerbs) {
    if (name == verb.name) return &verb;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  // Without launcher options capture reads the node this process sees.
  if (argc > 1 && std::strcmp(argv[1], "capture") == 0) {
    return capture::CaptureMain(argc - 1, argv + 1);
  }
  vxtsim::LaunchOptions opts;
  const Verb* verb = nullptr;
  if (vxtsim::ParseOptions(argc, argv, opts)) verb = FindVerb(opts.verb);
  if (!verb) {
    vxtsim::PrintUsage(stderr);
    return 2;
  }
  vxtsim::Model state;
  if (verb->needs == Needs::kNothing) return verb->run(opts, "", state);
  std::string state_path = opts.state_path.empty() ? vxtsim::DefaultStatePath() : opts.state_path;
  if (verb->needs == Needs::kStatePath) return verb->run(opts, state_path, state);
  if (state_path.empty()) {
    std::fprintf(stderr, "vxtsim: no state file: give --state FILE or set HOME\n");
    return 2;
  }
  if (!vxtsim::PrepareState(opts, state_path, verb->needs == Needs::kFreshState, state)) return 2;
  return verb->run(opts, state_path, state);
}
