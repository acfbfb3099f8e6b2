#include "state_setup.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "default_lab.h"
#include "document/state_file.h"

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

// The lab the options name, parsed; false after a message.
bool LoadLab(const LaunchOptions& opts, json& lab, std::string& origin) {
  std::string text = kDefaultLab;
  origin = "built-in lab";
  if (!opts.lab_path.empty()) {
    origin = opts.lab_path;
    if (!ReadFile(opts.lab_path, text)) {
      std::fprintf(stderr, "vxtsim: cannot read lab %s\n", opts.lab_path.c_str());
      return false;
    }
  }
  try {
    lab = ParseLab(text, origin);
  } catch (const LabError& e) {
    std::fprintf(stderr, "vxtsim: %s\n", e.what());
    return false;
  }
  return true;
}

// Prints every problem of a document, one line each; true when it has none.
bool Checked(const json& doc, const std::string& origin, Model& model) {
  std::vector<std::string> problems = ReadModel(doc, model);
  for (const std::string& p : problems) {
    std::fprintf(stderr, "vxtsim: %s: %s\n", origin.c_str(), p.c_str());
  }
  return problems.empty();
}

bool LoadedState(const std::string& path, json& state) {
  try {
    state = LoadState(path);
    return true;
  } catch (const LabError&) {
    return false;
  }
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
                  Model& model) {
  json lab;
  std::string origin;
  if (!LoadLab(opts, lab, origin) || !Checked(lab, origin, model)) return false;
  json state;
  if (!fresh && LoadedState(state_path, state)) {
    const json& meta = state.is_object() && state.contains("vxtsim") ? state["vxtsim"] : json();
    std::string made_from = meta.is_object() ? meta.value("lab_digest", "") : "";
    if (opts.lab_path.empty() || made_from == LabDigest(lab)) {
      return Checked(state, state_path, model);
    }
  }
  try {
    state = StateFromLab(lab);
    SaveState(state_path, state);
  } catch (const LabError& e) {
    std::fprintf(stderr, "vxtsim: %s\n", e.what());
    return false;
  }
  return Checked(state, state_path, model);
}

int CheckCommand(const LaunchOptions& opts, const std::string& state_path) {
  json lab;
  std::string origin;
  if (!LoadLab(opts, lab, origin)) return 2;
  Model model;
  bool ok = Checked(lab, origin, model);
  json state;
  if (!state_path.empty() && LoadedState(state_path, state))
    ok = Checked(state, state_path, model) && ok;
  if (!ok) return 2;
  std::printf("ok\n");
  return 0;
}

}  // namespace vxtsim
