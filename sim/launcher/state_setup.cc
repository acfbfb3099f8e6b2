#include "state_setup.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "default_lab.h"
#include "model/lab_check.h"
#include "model/state_file.h"

namespace vxtsim {

namespace {

bool MakeDirs(const std::string& dir) {
  for (size_t at = 1; at <= dir.size(); ++at) {
    if (at != dir.size() && dir[at] != '/') continue;
    std::string part = dir.substr(0, at);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

std::string DefaultStatePath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.local/state";
  } else {
    return "";
  }
  std::string dir = base + "/vxtsim";
  if (!MakeDirs(dir)) {
    std::fprintf(stderr, "vxtsim: cannot create %s: %s\n", dir.c_str(), std::strerror(errno));
    return "";
  }
  return dir + "/state.json";
}

bool PrepareState(const LaunchOptions& opts, const std::string& state_path, bool fresh,
                  json& state) {
  try {
    std::string text = kDefaultLab;
    std::string origin = "built-in lab";
    if (!opts.lab_path.empty()) {
      origin = opts.lab_path;
      if (!ReadFile(opts.lab_path, text)) {
        std::fprintf(stderr, "vxtsim: cannot read lab %s\n", opts.lab_path.c_str());
        return false;
      }
    }
    json lab = ParseLab(text, origin);
    if (!fresh) {
      try {
        state = LoadState(state_path);
        std::string made_from = Text(Member(state, "vxtsim"), "lab_digest", "");
        if (opts.lab_path.empty() || made_from == LabDigest(lab)) return true;
      } catch (const LabError&) {
        // Missing or unreadable: start afresh below.
      }
    }
    CheckLab(lab);
    state = StateFromLab(lab);
    SaveState(state_path, state);
    return true;
  } catch (const LabError& e) {
    std::fprintf(stderr, "vxtsim: %s\n", e.what());
    return false;
  }
}

}  // namespace vxtsim
