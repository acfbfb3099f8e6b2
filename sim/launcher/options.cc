#include "options.h"

#include <cstdio>
#include <cstring>

namespace vxtsim {

void PrintUsage(FILE* out) {
  std::fputs(
      "usage: vxtsim [--lab FILE] [--state FILE] [--log FILE] -- COMMAND [ARGS...]\n"
      "       vxtsim [--lab FILE] [--state FILE] reset\n"
      "       vxtsim [--lab FILE] [--state FILE] show\n"
      "       vxtsim [--lab FILE] [--state FILE] check\n"
      "       vxtsim [--lab FILE] [--state FILE] fail CONTROLLER:TARGET\n"
      "       vxtsim [--lab FILE] [--state FILE] replace CONTROLLER:TARGET\n"
      "       vxtsim [--lab FILE] [--state FILE] [--log FILE] capture [CAPTURE ARGS...]\n"
      "       vxtsim capture [--controller N | --all] [--out FILE]\n"
      "Runs COMMAND with the virtual controller standing in for /dev/vxtctl.\n"
      "  --lab FILE    lab to start from (default: the built-in lab)\n"
      "  --state FILE  state carried from command to command\n"
      "                (default: $XDG_STATE_HOME/vxtsim/state.json)\n"
      "  --log FILE    append one JSON line per driver call to FILE\n"
      "  fail          fails the disk at TARGET (bus 0) of the state\n"
      "  replace       swaps the disk at TARGET (bus 0) for a new blank one\n"
      "capture writes the controllers of /dev/vxtctl as a lab; with launcher\n"
      "options before it, those of the virtual controller.\n",
      out);
}

bool ParseOptions(int argc, char** argv, LaunchOptions& opts) {
  int i = 1;
  bool capture = false;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    std::string* target = nullptr;
    std::string name = arg.substr(0, arg.find('='));
    if (name == "--lab") target = &opts.lab_path;
    if (name == "--state") target = &opts.state_path;
    if (name == "--log") target = &opts.log_path;
    if (target) {
      if (arg.find('=') != std::string::npos) {
        *target = arg.substr(arg.find('=') + 1);
      } else if (i + 1 < argc) {
        *target = argv[++i];
      } else {
        std::fprintf(stderr, "vxtsim: %s needs a file name\n", arg.c_str());
        return false;
      }
      if (target->empty()) {
        std::fprintf(stderr, "vxtsim: %s needs a file name\n", name.c_str());
        return false;
      }
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      opts.verb = "help";
      return true;
    }
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "vxtsim: unknown option %s\n", arg.c_str());
      return false;
    }
    if (arg == "fail" || arg == "replace") {
      if (i + 2 != argc) {
        std::fprintf(stderr, "vxtsim: %s takes one CONTROLLER:TARGET\n", arg.c_str());
        return false;
      }
      opts.verb = arg;
      opts.command.push_back(argv[i + 1]);
      return true;
    }
    if (arg == "capture") {
      capture = true;
      break;
    }
    if (arg == "reset" || arg == "show" || arg == "check") {
      if (i + 1 != argc) {
        std::fprintf(stderr, "vxtsim: %s takes no arguments\n", arg.c_str());
        return false;
      }
      opts.verb = arg;
      return true;
    }
    break;
  }
  for (; i < argc; ++i) opts.command.push_back(argv[i]);
  if (opts.command.empty()) {
    std::fprintf(stderr, "vxtsim: no command given\n");
    return false;
  }
  opts.verb = capture ? "capture" : "run";
  return true;
}

}  // namespace vxtsim
