#include "report/report_expect.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace volkit_test {

std::string Slice(const std::string& text, const std::string& first, const std::string& next) {
  size_t begin = 0;
  if (text.compare(0, first.size(), first) != 0) {
    begin = text.find('\n' + first);
    if (begin == std::string::npos) return "";
    ++begin;
  }
  size_t end = text.find('\n' + next, begin);
  return text.substr(begin, end == std::string::npos ? std::string::npos : end + 1 - begin);
}

namespace {

// Removed when the test program ends, like the harness's scratch directories.
std::vector<std::string>& MadeDirs() {
  static std::vector<std::string>* dirs = [] {
    auto* d = new std::vector<std::string>;
    std::atexit([] {
      if (std::getenv("VOLKIT_KEEP_SCRATCH")) return;
      for (const std::string& dir : MadeDirs()) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
      }
    });
    return d;
  }();
  return *dirs;
}

}  // namespace

std::string TempDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/volkit-report-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) ADD_FAILURE() << "mkdtemp failed";
  MadeDirs().push_back(buf.data());
  return buf.data();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

json EmptySasLab() {
  return Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x54", "bus": 2},
                                   "ioc_facts": {"firmware_version": "1.27.2.0"}}]})");
}

json EmptyScsiLab() {
  return Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30", "bus": 6,
                                   "device": 4},
                                   "ioc_facts": {"firmware_version": "1.3.41.32"}}]})");
}

}  // namespace volkit_test
