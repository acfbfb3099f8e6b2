#include "create/create_build_expect.h"

#include <gtest/gtest.h>

#include "support/lab.h"

namespace volkit_test {
namespace {

uint32_t Le32(const ByteVector& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

}  // namespace

VolkitRun Create(const json& lab, std::vector<std::string> words) {
  words.insert(words.begin(), {"0", "create"});
  words.push_back("noprompt");
  return RunVolkit(lab, words);
}

LoggedAction VolumeAction(const VolkitRun& run) {
  for (const LoggedAction& a : RaidActions(run)) {
    if (a.Action == 2) return a;
  }
  ADD_FAILURE() << "no create-volume action\n" << run.out << run.err;
  return {0, 0, 0, 0, 0, ByteVector(64, 0), false};
}

uint64_t ImageMaxLba(const LoggedAction& a) {
  return uint64_t{Le32(a.DataOut, 20)} << 32 | Le32(a.DataOut, 16);
}

std::vector<int> ActionCodes(const VolkitRun& run) {
  std::vector<int> codes;
  for (const LoggedAction& a : RaidActions(run)) codes.push_back(a.Action);
  return codes;
}

const json& RaidState(const VolkitRun& run) { return run.state["controllers"][0]["raid"]; }

size_t Count(const json& raid, const char* key) { return raid.value(key, json::array()).size(); }

json SasDisks(std::vector<unsigned long long> blocks) {
  json lab = SasLab(static_cast<int>(blocks.size()));
  for (size_t i = 0; i < blocks.size(); ++i) {
    lab["controllers"][0]["devices"][i]["blocks"] = blocks[i];
  }
  return lab;
}

std::string BootSectorHex(uint32_t start, uint32_t count) {
  ByteVector s(512, 0);
  s[446] = 0x80;
  s[450] = 0x07;
  for (int b = 0; b < 4; ++b) {
    s[454 + b] = static_cast<uint8_t>(start >> (8 * b));
    s[458 + b] = static_cast<uint8_t>(count >> (8 * b));
  }
  s[510] = 0x55;
  s[511] = 0xAA;
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t v : s) hex += {kDigits[v >> 4], kDigits[v & 15]};
  return hex;
}

}  // namespace volkit_test
