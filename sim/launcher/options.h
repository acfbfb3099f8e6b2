// The launcher's command line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace vxtsim {

struct LaunchOptions {
  std::string lab_path;    // empty: the built-in lab
  std::string state_path;  // empty: the per-user state file
  std::string log_path;    // empty: no request log
  std::string verb;        // "run", "capture", "reset", "show", "check" or "help"
  std::vector<std::string> command;
};

// Returns false after printing a message when the line cannot be used.
bool ParseOptions(int argc, char** argv, LaunchOptions& opts);
void PrintUsage(FILE* out);

}  // namespace vxtsim
