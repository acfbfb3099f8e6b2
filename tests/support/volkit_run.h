// Runs the built volkit under the built vxtsim launcher with a lab written
// by the test, and collects everything a test may check afterwards.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace volkit_test {

using nlohmann::json;

struct VolkitRun {
  int status = -1;        // exit status; 128 + signal number when killed
  std::string out, err;   // standard output and standard error
  std::vector<json> log;  // request log lines of this run, in order
  json state;             // lab state after the run
  std::string dir;        // scratch directory: lab.json, state.json, log

  // The ioctl lines of the log, optionally only those of one message
  // function (-1: all ioctl lines).
  std::vector<json> Ioctls(int function = -1) const;
};

// Runs `volkit ARGS...` on a fresh state made from `lab`, feeding stdin_text
// to its standard input. Every run works in its scratch directory.
VolkitRun RunVolkit(const json& lab, const std::vector<std::string>& args,
                    const std::string& stdin_text = "");

// Runs volkit again on the state an earlier run left behind, with a new log.
VolkitRun RunVolkitAgain(const VolkitRun& before, const std::vector<std::string>& args,
                         const std::string& stdin_text = "");

// Runs the launcher itself: `vxtsim --lab --state --log LAUNCHER_ARGS...` in a
// fresh scratch directory holding `lab`. Use it to run other programs under
// the simulator or to call `reset` and `show`.
VolkitRun RunVxtsim(const json& lab, const std::vector<std::string>& launcher_args,
                    const std::string& stdin_text = "");

// Runs `vxtsim ARGS...` exactly as given, in a fresh scratch directory (the
// run's `state` and `log` are read from there, so they stay empty unless the
// arguments point into it).
VolkitRun RunLauncher(const std::vector<std::string>& args, const std::string& stdin_text = "");

// Hex of the first `n` bytes of a logged frame, padded with the zero bytes
// the log leaves off.
std::string FrameHex(const json& log_line, size_t n);

// A fresh scratch directory, removed when the test program ends.
std::string MakeScratchDir();

std::string VolkitPath();
std::string VxtsimPath();

}  // namespace volkit_test
