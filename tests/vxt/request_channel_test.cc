// What volkit puts on the wire for set-up and page requests, and the send
// routine's retry and no-reply rules, as the driver sees them.
#include <gtest/gtest.h>

#include <string>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kConfig = 0x04;
const json kOneController = Lab(R"({"controllers": [{"number": 0}]})");

// Page requests of the firmware-version page, which DISPLAY reads first.
json BiosPageFault(int action, const std::string& effect, const std::string& count = "") {
  std::string rule = R"({"faults": [{"match": {"function": 4, "page_type": 0,
      "page_number": 2, "action": )" +
                     std::to_string(action) + R"(}, "effect": )" + effect +
                     (count.empty() ? "" : ", " + count) + "}]}";
  return Patched(kOneController, rule);
}

std::vector<json> BiosPageRequests(const VolkitRun& run) {
  std::vector<json> found;
  for (const json& line : run.Ioctls(kConfig)) {
    std::string frame = FrameHex(line, 24);
    if (frame.substr(44, 4) == "0200") found.push_back(line);  // page number 2, type 0
  }
  return found;
}

TEST(RequestChannel, SetUpSendsControllerThenPortFactsOnce) {
  VolkitRun run = RunVolkit(kOneController, {"0", "nosuch"});
  std::vector<json> calls = run.Ioctls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0]["kind"], "adapter_info");
  for (int i : {1, 2}) {
    EXPECT_EQ(calls[i]["request"], 0xC0486D14u);
    EXPECT_EQ(calls[i]["max_data_size"], 199);
    EXPECT_EQ(calls[i]["timeout"], 10);
    EXPECT_EQ(calls[i]["sge_offset"], 3);
    EXPECT_EQ(calls[i]["max_reply"], 128);
    EXPECT_EQ(calls[i]["max_sense"], 64);
    EXPECT_EQ(calls[i]["port"], 0);
  }
  EXPECT_EQ(FrameHex(calls[1], 12), "000000030000000000000000");
  EXPECT_EQ(FrameHex(calls[2], 12), "000000050000000000000000");
  EXPECT_EQ(calls.size(), 3u);  // the unknown command sends nothing more
}

TEST(RequestChannel, PageReadIsAHeaderThenADataPhaseSizedByIt) {
  VolkitRun run = RunVolkit(kOneController, {"0", "display"});
  std::vector<json> bios = BiosPageRequests(run);
  ASSERT_EQ(bios.size(), 2u);
  // Header request: action 0, function 4, context word, number 2, type 0.
  EXPECT_EQ(FrameHex(bios[0], 40),
            "00000004"
            "00000000"
            "efbe1101"
            "00000000"
            "00000000"
            "00000200"
            "00000000"
            "00000000"
            "00000000"
            "00000000");
  EXPECT_EQ(bios[0]["direction"], "none");
  EXPECT_EQ(bios[0]["sge_offset"], 7);
  EXPECT_EQ(bios[0]["timeout"], 10);
  // Data phase: action 1 and the header exactly as the firmware returned it.
  std::string header = bios[0]["reply"].get<std::string>().substr(40, 8);
  EXPECT_EQ(FrameHex(bios[1], 28),
            "01000004"
            "00000000"
            "efbe1101"
            "00000000"
            "00000000" +
                header + "00000000");
  EXPECT_EQ(bios[1]["direction"], "in");
  int words = std::stoi(header.substr(2, 2), nullptr, 16);
  EXPECT_EQ(bios[1]["data_in_size"], words * 4);
}

TEST(RequestChannel, OneDriverFailureIsRetriedOnce) {
  VolkitRun run =
      RunVolkit(BiosPageFault(0, R"({"errno": "EIO"})", R"("first": 1)"), {"0", "display"});
  EXPECT_EQ(run.status, 0);
  std::vector<json> bios = BiosPageRequests(run);
  ASSERT_EQ(bios.size(), 3u);  // failed header, header again, data phase
  EXPECT_EQ(bios[0]["result"], -1);
  EXPECT_EQ(bios[0]["frame"], bios[1]["frame"]);
  EXPECT_NE(run.out.find("  BIOS version                            : "), std::string::npos);
}

TEST(RequestChannel, TwoDriverFailuresGiveUpAfterExactlyTwoTries) {
  VolkitRun run =
      RunVolkit(BiosPageFault(0, R"({"errno": "EIO"})", R"("first": 2)"), {"0", "display"});
  std::vector<json> bios = BiosPageRequests(run);
  ASSERT_EQ(bios.size(), 2u);
  EXPECT_EQ(bios[0]["result"], -1);
  EXPECT_EQ(bios[1]["result"], -1);
  EXPECT_EQ(run.out.find("BIOS version"), std::string::npos);
}

TEST(RequestChannel, ReplyLeftUnwrittenCountsAsSuccess) {
  VolkitRun run = RunVolkit(BiosPageFault(1, R"({"no_reply": true})"), {"0", "display"});
  EXPECT_EQ(run.status, 0);
  std::vector<json> bios = BiosPageRequests(run);
  ASSERT_EQ(bios.size(), 2u);
  EXPECT_EQ(bios[1]["reply"], "");
  EXPECT_NE(run.out.find("  BIOS version                            : 6.24.00.00\n"),
            std::string::npos);
}

TEST(RequestChannel, ErrorStatusIsNotRetried) {
  VolkitRun run = RunVolkit(BiosPageFault(0, R"({"ioc_status": "0x0022"})"), {"0", "display"});
  std::vector<json> bios = BiosPageRequests(run);
  ASSERT_EQ(bios.size(), 1u);
  EXPECT_EQ(bios[0]["ioc_status"], 0x22);
}

TEST(RequestChannel, FlagBitAloneIsSuccessForPageRequests) {
  VolkitRun run = RunVolkit(BiosPageFault(0, R"({"ioc_status": "0x8000"})"), {"0", "display"});
  std::vector<json> config = run.Ioctls(kConfig);
  ASSERT_GE(config.size(), 2u);
  // The faulted header counted as read, so its data phase (action 1) followed.
  EXPECT_EQ(config[0]["ioc_status"], 0x8000);
  EXPECT_EQ(FrameHex(config[0], 24).substr(44, 4), "0200");
  EXPECT_EQ(FrameHex(config[1], 1), "01");
}

}  // namespace
}  // namespace volkit_test
