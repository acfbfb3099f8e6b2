// How the physical device section copes with requests that fail: the SCSI
// repeat rule seen through READ CAPACITY, required inquiries that end the
// report, and optional data that only shortens a block.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kScsiIo = 0x00;

json TwoDiskLab(const std::string& faults) {
  json lab = SasLab(2, 2048);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 2}};
  lab["faults"] = Lab(faults);
  return lab;
}

int CountScsi(const VolkitRun& run, const std::string& target, const std::string& opcode) {
  int n = 0;
  for (const json& line : run.Ioctls(kScsiIo)) {
    std::string frame = FrameHex(line, 25);
    n += frame.substr(0, 2) == target && frame.substr(48, 2) == opcode;
  }
  return n;
}

const std::string kReportEnd =
    std::string("  Start Bus                               : 0\n") + kRule;

// Target 1's lines between its Target ID line and its Manufacturer line.
std::string StateAndSize(const VolkitRun& run) {
  return Slice(Slice(run.out, "Target on ID #1", "------"), "  State", "  Manufacturer");
}

constexpr char kReady[] =
    "  State                                   : Ready (RDY)\n"
    "  Size (in MB)/(in sectors)               : 1/2048\n";

TEST(DeviceFailures, CapacityRepeatRule) {
  struct Case {
    const char* Name;
    const char* Effect;
    const char* First;
    std::string Lines;
    int Sends;
  };
  const Case cases[] = {
      {"unit attention once", R"({"unit_attention": true})", "1", kReady, 2},
      {"unit attention twice", R"({"unit_attention": true})", "2", "", 2},
      {"not ready", R"({"not_ready": true})", "9",
       "  State                                   : Available (AVL)\n", 1},
      {"flag bit alone", R"({"ioc_status": "0x8000"})", "9", "", 1},
      {"no device", R"({"ioc_status": "0x0043"})", "9", "", 1},
      {"illegal request", R"({"sense_key": 5})", "9", "", 1},
  };
  for (const Case& c : cases) {
    VolkitRun run = RunVolkit(
        TwoDiskLab(std::string(R"([{"match": {"function": 0, "scsi_opcode": "0x25", "target": 1},
                                    "first": )") +
                   c.First + R"(, "effect": )" + c.Effect + "}]"),
        {"0", "display"});
    EXPECT_EQ(run.status, 0) << c.Name;
    EXPECT_EQ(StateAndSize(run), c.Lines) << c.Name;
    EXPECT_EQ(CountScsi(run, "01", "25"), c.Sends) << c.Name;
    EXPECT_TRUE(run.out.ends_with(kReportEnd)) << c.Name;
  }
}

TEST(DeviceFailures, FailingInquiryEndsTheReportAfterEarlierTargets) {
  VolkitRun run =
      RunVolkit(TwoDiskLab(R"([{"match": {"function": 0, "scsi_opcode": "0x12", "target": 1},
                      "effect": {"ioc_status": 4}}])"),
                {"0", "display"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("Target on ID #0\n"), std::string::npos);
  EXPECT_EQ(run.out.find("Target on ID #1\n"), std::string::npos);
  EXPECT_TRUE(run.out.ends_with("  Protocol                                : SAS \n")) << run.out;
  // First try, the second standard inquiry, and its 52-byte retry.
  EXPECT_EQ(CountScsi(run, "01", "12"), 3);
}

// Missing optional data on the last target leaves its line blank or out,
// and the report still ends normally.
TEST(DeviceFailures, OptionalDataOfTheLastTargetDoesNotEndTheReport) {
  // The fourth inquiry of a plain SAS disk asks for its serial number; the
  // third read of its device page is the one for the Protocol line.
  VolkitRun run = RunVolkit(
      TwoDiskLab(R"([{"match": {"function": 0, "scsi_opcode": "0x12", "target": 1}, "nth": 4,
                      "effect": {"ioc_status": 4}},
                     {"match": {"page": "SasDevicePg0", "action": 1, "address": "0x10000001"},
                      "nth": 3, "effect": {"ioc_status": "0x22"}}])"),
      {"0", "display"});
  EXPECT_EQ(run.status, 0);
  std::string block = Slice(run.out, "Target on ID #1", "------");
  EXPECT_NE(block.find("  Serial No                               : \n"), std::string::npos)
      << block;
  EXPECT_EQ(block.find("  Protocol"), std::string::npos) << block;
  EXPECT_NE(block.find("  Drive Type                              : SAS \n"), std::string::npos);
  EXPECT_TRUE(run.out.ends_with(kReportEnd));
}

}  // namespace
}  // namespace volkit_test
