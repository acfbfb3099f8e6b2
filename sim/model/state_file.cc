#include "state_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vxtsim {

json ParseLab(const std::string& text, const std::string& origin) {
  json lab = json::parse(text, nullptr, false, true);
  if (lab.is_discarded() || !lab.is_object()) {
    throw LabError(origin + ": not a JSON object (check the syntax)");
  }
  return lab;
}

std::string LabDigest(const json& lab) {
  // FNV-1a over the canonical dump: blanks and key order do not matter.
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : lab.dump()) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

json StateFromLab(const json& lab) {
  json state = lab;
  state["vxtsim"] = {{"format", 1}, {"lab_digest", LabDigest(lab)}};
  return state;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buf;
  buf << in.rdbuf();
  text = buf.str();
  return true;
}

json LoadState(const std::string& path) {
  std::string text;
  if (!ReadFile(path, text)) throw LabError(path + ": cannot read the state file");
  return ParseLab(text, path);
}

void SaveState(const std::string& path, const json& state) {
  std::string tmp = path + ".tmp." + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << state.dump(1) << '\n';
    if (!out.flush()) throw LabError(tmp + ": cannot write the state file");
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    throw LabError(path + ": cannot replace the state file");
  }
}

}  // namespace vxtsim
