// Seeded noise in the pages of the built-in lab: whatever bytes the firmware
// hands back, every command must end with 0 or 1, never crash, hang or read
// outside what was delivered (the sanitizer build turns any stray access
// into a report on standard error).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

const char* const kPages[] = {"IocPg2",           "IocPg3",         "IocPg5",     "IocPg6",
                              "ManufacturingPg4", "BiosPg2",        "RaidVolPg0", "RaidPhysDiskPg0",
                              "SasDevicePg0",     "SasEnclosurePg0"};

const std::vector<std::vector<std::string>> kCommands = {
    {"0", "display"},
    {"0", "status"},
    {"0", "create", "im", "max", "2", "3", "noprompt"},
    {"0", "create", "is", "max", "1:4", "1:7", "noprompt"},
    {"0", "delete", "noprompt"},
    {"0", "setoffline", "1"},
    {"0", "setonline", "1:1"},
    {"0", "rebuild", "0"},
    {"0", "locate", "1:2", "on"},
    {"0", "format", "4", "noprompt"},
    {"0", "hotspare", "2"},
    {"0", "hotspare", "delete", "9"},
    {"0", "auto", "is", "max", "noprompt"},
};

std::string Hex(uint8_t byte) {
  const char digits[] = "0123456789abcdef";
  return {digits[byte >> 4], digits[byte & 15]};
}

// Three random bytes over one or two pages, chosen by the seed alone.
json NoisyLab(unsigned seed) {
  std::mt19937 random(seed);
  json lab = DefaultLab();
  json& pages = lab["controllers"][0]["pages"];
  for (int i = 0; i < 3; ++i) {
    const char* page = kPages[random() % std::size(kPages)];
    std::string offset = std::to_string(random() % 64);
    uint8_t value = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random());
    pages[page]["bytes"][offset] = Hex(value);
  }
  return lab;
}

// Seeds 1 to 24 in three shards, so that CTest runs them side by side.
class PageNoise : public testing::TestWithParam<unsigned> {};

TEST_P(PageNoise, EveryCommandEndsCleanly) {
  for (unsigned seed = GetParam() * 8 + 1; seed <= GetParam() * 8 + 8; ++seed) {
    json lab = NoisyLab(seed);
    for (const std::vector<std::string>& args : kCommands) {
      VolkitRun run = RunVolkit(lab, args);
      std::string what = "seed " + std::to_string(seed) + ": " + args[1] + " " +
                         (args.size() > 2 ? args[2] : "") + "\n" +
                         lab["controllers"][0]["pages"].dump();
      EXPECT_TRUE(run.status == 0 || run.status == 1) << what << "\nstatus " << run.status;
      EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << what << "\n" << run.err;
      EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << what << "\n" << run.err;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, PageNoise, testing::Range(0u, 3u));

}  // namespace
}  // namespace volkit_test
