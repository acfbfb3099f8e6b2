// ENABLEIR and DISABLEIR through the binary: the non-volatile IoUnitPg1
// write, the controller reset, and what DISPLAY shows afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kUsage[] =
    "  volkit <controller #> enableir/disableir\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n\n";
constexpr char kRaidYes[] = "  RAID Support                            : Yes\n";
constexpr char kRaidNo[] = "  RAID Support                            : No\n";

json IrLab(const char* current_flags = "0x5", const char* nvram_flags = nullptr) {
  json lab = SasLab(2);
  json& page = lab["controllers"][0]["pages"]["IoUnitPg1"];
  page["IoUnitFlags"] = current_flags;
  if (nvram_flags != nullptr) page["nvram"]["IoUnitFlags"] = nvram_flags;
  return lab;
}

json WithMirror(json lab) {
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

json ShortIoUnitPg1() {
  json lab = IrLab();
  lab["controllers"][0]["pages"]["IoUnitPg1"]["PageLength"] = 1;
  return lab;
}

json WithFault(json lab, const char* fault) {
  lab["faults"] = json::array({Lab(fault)});
  return lab;
}

// The config actions sent for IoUnitPg1, in order.
std::vector<int> IoUnitPg1Actions(const VolkitRun& run) {
  std::vector<int> actions;
  for (const json& line : run.Ioctls(0x04)) {
    ByteVector f = FrameBytes(line, 28);
    if (f[23] == 0 && f[22] == 1) actions.push_back(f[0]);
  }
  return actions;
}

size_t Resets(const VolkitRun& run) {
  size_t n = 0;
  for (const json& line : run.Ioctls()) n += line.value("kind", "") == "reset";
  return n;
}

uint32_t WrittenFlags(const VolkitRun& run) {
  std::vector<ByteVector> writes = PageWrites(run, 0, 1);
  if (writes.size() != 1 || writes[0].size() < 8) {
    ADD_FAILURE() << "expected one IoUnitPg1 write";
    return 0;
  }
  const ByteVector& w = writes[0];
  return uint32_t{w[4]} | uint32_t{w[5]} << 8 | uint32_t{w[6]} << 16 | uint32_t{w[7]} << 24;
}

bool Shows(const VolkitRun& run, const char* line) {
  return run.out.find(line) != std::string::npos;
}

TEST(IrSwitchCommand, Usage) {
  for (const char* word : {"enableir", "DISABLEIR"}) {
    VolkitRun run = RunVolkit(IrLab(), {"0", word, "now"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, std::string(kBanner) + kUsage);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.Ioctls(0x04).empty());
  }
}

TEST(IrSwitchCommand, DisableAndEnableTakeEffectAtTheReset) {
  VolkitRun run = RunVolkit(IrLab(), {"0", "DisableIR"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(IoUnitPg1Actions(run), (std::vector<int>{0, 6, 4}));  // never the current copy
  EXPECT_EQ(WrittenFlags(run), 0x45u);
  for (const json& line : run.Ioctls(0x04)) {
    ByteVector f = FrameBytes(line, 28);
    if (f[0] == 4) {
      EXPECT_EQ(FrameHex(line, 28).substr(48), "00000000");  // page address 0
    }
  }
  EXPECT_EQ(Resets(run), 1u);

  run = RunVolkitAgain(run, {"0", "display"});
  EXPECT_TRUE(Shows(run, kRaidNo)) << run.out;
  run = RunVolkitAgain(run, {"0", "create", "im", "max", "0", "1", "noprompt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(RaidActions(run).empty()) << "no RAID support is left to ask for";

  run = RunVolkitAgain(run, {"0", "enableir"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(WrittenFlags(run), 0x05u);
  EXPECT_EQ(Resets(run), 1u);
  run = RunVolkitAgain(run, {"0", "display"});
  EXPECT_TRUE(Shows(run, kRaidYes)) << run.out;
}

TEST(IrSwitchCommand, NothingToChangeWritesNothing) {
  // Already disabled in non-volatile memory: volumes do not matter then.
  VolkitRun run = RunVolkit(WithMirror(IrLab("0", "0x40")), {"0", "disableir"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(PageWrites(run, 0, 1).empty());
  EXPECT_EQ(Resets(run), 0u);

  // Enabled in non-volatile memory although the current copy says disabled.
  run = RunVolkit(IrLab("0x40", "0"), {"0", "enableir"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_TRUE(PageWrites(run, 0, 1).empty());
  EXPECT_EQ(Resets(run), 0u);
}

TEST(IrSwitchCommand, RefusedWhileVolumesExist) {
  VolkitRun run = RunVolkit(WithMirror(IrLab()), {"0", "disableir"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Cannot disable IR when volume(s) exist!\n");
  EXPECT_EQ(run.out, std::string(kBanner) + "volkit: Disable IR failed\n");
  EXPECT_TRUE(PageWrites(run, 0, 1).empty());
  EXPECT_EQ(Resets(run), 0u);
}

TEST(IrSwitchCommand, FailuresNeverPassForSuccess) {
  struct Case {
    const char* word;
    json lab;
  } cases[] = {
      {"disableir", WithFault(IrLab(), R"({"match": {"page": "IoUnitPg1", "action": 6},
                                           "effect": {"ioc_status": "0x0022"}})")},
      {"enableir", WithFault(IrLab("0x40"), R"({"match": {"page": "IocPg2"},
                                                "effect": {"errno": "EIO"}})")},
      {"disableir", WithFault(IrLab(), R"({"match": {"page": "IoUnitPg1", "action": 4},
                                           "effect": {"ioc_status": "0x0020"}})")},
      {"enableir", WithFault(IrLab("0x40"), R"({"match": {"page": "IoUnitPg1", "action": 4},
                                                "effect": {"errno": "EIO"}})")},
      // A page too short to hold the flags word cannot take the switch.
      {"disableir", ShortIoUnitPg1()},
  };
  for (Case& c : cases) {
    VolkitRun run = RunVolkit(c.lab, {"0", c.word});
    std::string failed = std::string(c.word) == "enableir" ? "volkit: Enable IR failed\n"
                                                           : "volkit: Disable IR failed\n";
    EXPECT_EQ(run.status, 1) << c.lab.dump();
    EXPECT_EQ(run.out, kBanner + failed);
    EXPECT_EQ(Resets(run), 0u);
  }
}

TEST(IrSwitchCommand, RefusedResetAsksForAReboot) {
  VolkitRun run = RunVolkit(WithFault(IrLab(), R"({"match": {"request": "reset"},
                                                  "effect": {"errno": "EIO"}})"),
                            {"0", "disableir"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + "WARNING: Need system reboot to effect changes.\n");
  EXPECT_EQ(WrittenFlags(run), 0x45u);
  run = RunVolkitAgain(run, {"0", "display"});
  EXPECT_TRUE(Shows(run, kRaidYes)) << "the setting waits for the reset";
}

}  // namespace
}  // namespace volkit_test
