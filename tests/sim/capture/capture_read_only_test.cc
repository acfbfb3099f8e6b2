// Capture only reads: what it may send is one list, checked before every
// request, and a capture that cannot read what it needs writes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "capture/request_gate.h"
#include "sim/capture/capture_support.h"
#include "support/lab.h"
#include "vxt/driver_records.h"
#include "vxt/raid_action.h"

namespace volkit_test {
namespace {

using capture::ClassifyRequest;
using capture::MaySend;

uint8_t FrameByte(const json& line, size_t at) {
  std::string hex = FrameHex(line, at + 1);
  return static_cast<uint8_t>(std::stoul(hex.substr(2 * at, 2), nullptr, 16));
}

// Whether a logged request is one of the reads capture may send.
bool IsRead(const json& line) {
  if (line["kind"] == "adapter_info") return true;
  if (line["kind"] != "passthrough" || line["data_out"] != "") return false;
  switch (line["function"].get<int>()) {
    case kFunctionIocFacts:
    case kFunctionPortFacts:
      return true;
    case kFunctionConfig: {
      uint8_t action = FrameByte(line, 0);
      return action == 0 || action == 1 || action == 6;
    }
    case kFunctionRaidAction:
      return FrameByte(line, 0) == kRaidActionProgress;
    case kFunctionScsiIo:
    case kFunctionRaidPassthrough: {
      uint8_t op = FrameByte(line, 24);
      bool block_zero = op == 0x08 && FrameHex(line, 29).substr(50, 8) == "00000001";
      return op == 0x12 || op == 0x25 || block_zero;
    }
    case kFunctionSataPassthrough:
      return FrameByte(line, 30) == 0xEC;
    case kFunctionSep:
      return FrameByte(line, 4) == kSepActionReadStatus;
    default:
      return false;
  }
}

TEST(CaptureReadOnly, TheLogHoldsOnlyReadsAndTheLabIsUnchanged) {
  for (const json& lab : {DefaultLab(), SasLab(4)}) {
    VolkitRun run = RunCapture(lab);
    ASSERT_EQ(run.status, 0) << run.err;
    size_t ioctls = 0;
    for (const json& line : run.log) {
      if (line["call"] != "ioctl") {
        EXPECT_TRUE(line["call"] == "open" || line["call"] == "close") << line.dump();
        continue;
      }
      ++ioctls;
      EXPECT_TRUE(IsRead(line)) << line.dump();
    }
    EXPECT_GT(ioctls, 100u);
  }
  // Without a resynchronisation to move on, the state is the lab as it was.
  VolkitRun run = RunCapture(SasLab(4));
  EXPECT_EQ(run.state["controllers"], SasLab(4)["controllers"]);
}

TEST(CaptureReadOnly, TheGateLetsOnlyTheListedReadsThrough) {
  auto kind = [](uint8_t function, std::initializer_list<std::pair<size_t, uint8_t>> bytes,
                 int32_t data_out = 0) {
    PassThroughRecord record{};
    record.MessageFrame[3] = function;
    for (auto [at, value] : bytes) record.MessageFrame[at] = value;
    record.DataOutSize = data_out;
    return ClassifyRequest(kPassThroughCode, &record);
  };
  EXPECT_TRUE(MaySend(kind(kFunctionConfig, {{0, 0}})));
  EXPECT_TRUE(MaySend(kind(kFunctionConfig, {{0, 1}})));
  EXPECT_TRUE(MaySend(kind(kFunctionConfig, {{0, 6}})));
  EXPECT_FALSE(MaySend(kind(kFunctionConfig, {{0, 2}})));
  EXPECT_FALSE(MaySend(kind(kFunctionConfig, {{0, 4}})));
  EXPECT_FALSE(MaySend(kind(kFunctionConfig, {{0, 1}}, 28)));
  EXPECT_TRUE(MaySend(kind(kFunctionRaidAction, {{0, 1}})));
  for (uint8_t action : {2, 3, 10, 11, 13, 14}) {
    EXPECT_FALSE(MaySend(kind(kFunctionRaidAction, {{0, action}}))) << int{action};
  }
  EXPECT_TRUE(MaySend(kind(kFunctionScsiIo, {{24, 0x12}})));
  EXPECT_TRUE(MaySend(kind(kFunctionRaidPassthrough, {{24, 0x25}})));
  EXPECT_TRUE(MaySend(kind(kFunctionScsiIo, {{24, 0x08}, {28, 1}})));
  EXPECT_TRUE(MaySend(kind(kFunctionScsiIo, {{24, 0x28}, {32, 1}})));
  EXPECT_FALSE(MaySend(kind(kFunctionScsiIo, {{24, 0x08}, {27, 5}, {28, 1}})));
  EXPECT_FALSE(MaySend(kind(kFunctionScsiIo, {{24, 0x08}, {28, 2}})));
  EXPECT_FALSE(MaySend(kind(kFunctionScsiIo, {{24, 0x0A}, {28, 1}})));
  EXPECT_FALSE(MaySend(kind(kFunctionScsiIo, {{24, 0x04}})));
  EXPECT_TRUE(MaySend(kind(kFunctionSataPassthrough, {{28, 0x27}, {30, 0xEC}})));
  EXPECT_FALSE(MaySend(kind(kFunctionSataPassthrough, {{28, 0x27}, {30, 0xCA}})));
  EXPECT_TRUE(MaySend(kind(kFunctionSep, {{4, 1}})));
  EXPECT_FALSE(MaySend(kind(kFunctionSep, {{4, 0}})));
  EXPECT_FALSE(MaySend(kind(0x07, {})));
  ResetRecord reset{};
  EXPECT_FALSE(MaySend(ClassifyRequest(kResetCode, &reset)));
  AdapterInfoRecord info{};
  EXPECT_TRUE(MaySend(ClassifyRequest(kAdapterInfoCode, &info)));
}

json WithFault(json lab, const std::string& rule) {
  lab["faults"] = json::array({Lab(rule)});
  return lab;
}

TEST(CaptureReadOnly, ARequiredReadThatFailsWritesNothing) {
  VolkitRun run = RunCapture(
      WithFault(SasLab(2),
                R"({"match": {"page": "IocPg2", "action": 1}, "effect": {"errno": "EIO"}})"),
      {"--out", "copy.json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "vxtsim capture: controller 0: IocPg2 could not be read (the driver failed it: "
            "Input/output error)\n"
            "vxtsim capture: no lab written\n");
  EXPECT_FALSE(std::ifstream(run.dir + "/copy.json").good());

  run = RunCapture(WithFault(SasLab(2), R"({"match": {"request": "adapter_info"},
                                            "effect": {"errno": "EIO"}})"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("the adapter information of controller 0 could not be read"),
            std::string::npos)
      << run.err;

  run = RunCapture(Patched(SasLab(2), R"({"node": {"exists": false}})"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "vxtsim capture: cannot open /dev/vxtctl: No such file or directory\n");
}

TEST(CaptureReadOnly, AnOptionalReadThatFailsIsNotedAndLeftOut) {
  json lab = SasLab(2);
  lab["faults"] = Lab(R"([
    {"match": {"page": "IocPg1", "action": 1}, "effect": {"ioc_status": 4}},
    {"match": {"scsi_opcode": 18, "target": 1}, "effect": {"errno": "EIO"}}])");
  VolkitRun run = RunCapture(lab);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "vxtsim capture: controller 0 (SAS): 2 devices, 0 volumes, 0 physical disks, "
            "1 enclosure\n"
            "vxtsim capture: controller 0: IocPg1 could not be read (IocStatus 0x0004); noted "
            "as absent\n"
            "vxtsim capture: controller 0: target 1: INQUIRY failed; its identity is left out\n");
  json copy = json::parse(run.out);
  const json& ctl = copy["controllers"][0];
  EXPECT_EQ(ctl["pages"]["IocPg1"], Lab(R"({"absent": true})"));
  EXPECT_FALSE(ctl["devices"][1].contains("vendor"));
  EXPECT_EQ(ctl["devices"][0]["vendor"], "ORBITAL");
}

// The lab file is replaced in one step: no temporary file is left beside it,
// whether the write succeeds or fails.
TEST(CaptureReadOnly, TheOutputFileIsReplacedWhole) {
  auto leftovers = [](const std::string& dir) {
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      std::string name = entry.path().filename().string();
      if (name.find(".tmp") != std::string::npos) names += name + " ";
    }
    return names;
  };
  VolkitRun run = RunCapture(SasLab(2), {"--out", "copy.json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(json::parse(std::ifstream(run.dir + "/copy.json"))["controllers"].size(), 1u);
  EXPECT_EQ(leftovers(run.dir), "");

  run = RunCapture(SasLab(2), {"--out", "missing/copy.json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("vxtsim capture: cannot write missing/copy.json: No such file or "
                         "directory\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(leftovers(run.dir), "");
}

TEST(CaptureReadOnly, ControllerChoiceAndOutputFile) {
  VolkitRun run = RunCapture(DefaultLab(), {"--controller", "1", "--out", "copy.json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  std::ifstream in(run.dir + "/copy.json");
  json copy = json::parse(in);
  ASSERT_EQ(copy["controllers"].size(), 1u);
  EXPECT_EQ(copy["controllers"][0]["number"], 1);
  EXPECT_EQ(copy["controllers"][0]["kind"], "scsi");

  run = RunCapture(DefaultLab(), {"--controller=7"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "vxtsim capture: there is no controller 7\nvxtsim capture: no lab written\n");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--controller", "1", "--all"}, {"--controller", "256"}, {"--out"}, {"--verbose"}}) {
    run = RunCapture(DefaultLab(), args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: vxtsim capture"), std::string::npos) << run.err;
  }
}

// Counts past the end of their pages and enclosures of every size: the
// capture ends cleanly whatever the pages hold.
TEST(CaptureReadOnly, PagesWithCountsPastTheirEnd) {
  json lab = DefaultLab();
  json& ctl = lab["controllers"][0];
  ctl["pages"]["IocPg2"]["bytes"] = {{"8", "ff"}};
  ctl["pages"]["IocPg3"] = {{"bytes", {{"4", "ff"}}}};
  ctl["pages"]["IocPg5"] = {{"bytes", {{"8", "ff"}}}};
  ctl["raid"]["volumes"][0]["page_bytes"] = {{"36", "ff"}};
  ctl["enclosures"][1]["page_bytes"] = {{"24", "ffff"}, {"26", "f0ff"}};
  ctl["devices"][3]["page_bytes"] = {{"20", "0d00"}};
  VolkitRun run = RunCapture(lab);
  EXPECT_LT(run.status, 2) << run.err;
  json copy = json::parse(run.out, nullptr, false);
  ASSERT_FALSE(copy.is_discarded()) << run.err;
  EXPECT_EQ(copy["controllers"][0]["raid"]["volumes"].size(), 1u);
  VolkitRun again = RunVolkit(copy, {"0", "display"});
  EXPECT_EQ(again.status, 0) << again.err;
}

}  // namespace
}  // namespace volkit_test
