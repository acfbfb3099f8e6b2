#include "report/report_expect.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/volkit_run.h"

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

std::string TempDir() { return MakeScratchDir(); }

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
