#include "command_runner.h"

#include <cstdio>

#include "cli/entry.h"

namespace fuzz {
const std::vector<std::vector<std::string>>& FirmwareScenarios() {
  static const std::vector<std::vector<std::string>> scenarios = {
      {"list"},
      {"0", "display"},
      {"0", "display", "/dev/null", "KVRFRU"},
      {"0", "status"},
      {"0", "create", "im", "max", "1", "2", "noprompt"},
      {"0", "create", "ime", "max", "1", "2", "3", "noprompt"},
      {"0", "create", "is", "100", "1", "2", "noprompt"},
      {"0", "create", "im", "max", "1:0", "1:1", "qsync", "noprompt"},
      {"0", "delete", "noprompt"},
      {"0", "hotspare", "3"},
      {"0", "hotspare", "delete", "3"},
      {"0", "auto", "im", "max", "noprompt"},
      {"0", "auto1", "is", "max", "noprompt"},
      {"sas", "auto", "im", "max", "noprompt"},
      {"0", "setoffline", "1"},
      {"0", "setonline", "1"},
      {"0", "rebuild", "0"},
      {"0", "locate", "2", "on"},
      {"0", "locate", "1:2", "off"},
      {"0", "enableir"},
      {"0", "disableir"},
      {"0", "format", "4", "noprompt"},
      {"0", "json"},
      {"all", "json"},
  };
  return scenarios;
}

int RunWords(const std::vector<std::string>& words) {
  // Handlers lower-case their words in place, as on a real command line.
  std::vector<std::vector<char>> storage;
  std::vector<char*> argv;
  storage.push_back({'v', 'o', 'l', 'k', 'i', 't', '\0'});
  for (const std::string& w : words) storage.emplace_back(w.c_str(), w.c_str() + w.size() + 1);
  for (std::vector<char>& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  return VolkitMain(static_cast<int>(storage.size()), argv.data());
}

void QuietStandardStreams() {
  if (std::freopen("/dev/null", "r", stdin) == nullptr) std::perror("stdin");
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::perror("stdout");
}

}  // namespace fuzz
