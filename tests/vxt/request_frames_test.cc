// The SCSI and RAID action requests as the driver receives them: frame
// layout, timeouts, data descriptor offsets and directions, and which RAID
// action replies count as done.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kScsiIo = 0x00;
constexpr int kRaidAction = 0x15;

VolkitRun CreateStripe(const json& lab) {
  return RunVolkit(lab, {"0", "create", "is", "max", "0", "1", "noprompt"});
}

// The first SCSI request of the run whose CDB starts with `opcode`.
json FirstScsi(const VolkitRun& run, const std::string& opcode_hex) {
  for (const json& line : run.Ioctls(kScsiIo)) {
    if (FrameHex(line, 25).substr(48, 2) == opcode_hex) return line;
  }
  ADD_FAILURE() << "no SCSI request with opcode " << opcode_hex;
  return json::object();
}

TEST(RequestFrames, ScsiCommandsToATarget) {
  VolkitRun run = CreateStripe(SasLab(2));
  ASSERT_EQ(run.status, 0) << run.err;

  json inquiry = FirstScsi(run, "12");
  // Target 0, bus 0, plain I/O, a 6-byte CDB, 64 sense bytes, the context
  // word, LUN 0, the data-in control word, INQUIRY for 36 bytes, 36 bytes.
  EXPECT_EQ(FrameHex(inquiry, 48),
            "00000000"
            "06400000"
            "efbe1101"
            "00000000"
            "00000000"
            "00050002"
            "12000000"
            "24000000"
            "00000000"
            "00000000"
            "24000000"
            "00000000");
  EXPECT_EQ(inquiry["timeout"], 30);
  EXPECT_EQ(inquiry["sge_offset"], 12);
  EXPECT_EQ(inquiry["direction"], "in");
  EXPECT_EQ(inquiry["data_in_size"], 36);

  json capacity = FirstScsi(run, "25");
  EXPECT_EQ(FrameHex(capacity, 48).substr(8, 2), "0a");  // 10-byte CDB
  EXPECT_EQ(FrameHex(capacity, 48).substr(48, 20), "25000000000000000000");
  EXPECT_EQ(FrameHex(capacity, 48).substr(80, 8), "08000000");
  EXPECT_EQ(capacity["timeout"], 30);
  EXPECT_EQ(capacity["data_in_size"], 8);
}

TEST(RequestFrames, RaidActionsCarryAddressDataWordAndImage) {
  VolkitRun run = CreateStripe(SasLab(2));
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<json> actions = run.Ioctls(kRaidAction);
  ASSERT_EQ(actions.size(), 3u);  // two physical disks, then the volume
  for (const json& line : actions) {
    EXPECT_EQ(line["timeout"], 300);
    EXPECT_EQ(line["sge_offset"], 5);
    EXPECT_EQ(line["direction"], "out");
  }
  // Create physical disk: all addressing 0, data word 0.
  EXPECT_EQ(FrameHex(actions[0], 20),
            "0d000015"
            "00000000"
            "efbe1101"
            "00000000"
            "00000000");
  // Create volume: the volume's ID from the image, data word 3 for IS.
  EXPECT_EQ(FrameHex(actions[2], 20),
            "02000015"
            "00000000"
            "efbe1101"
            "00000000"
            "03000000");
  // The image is the whole RaidVolPg0 the firmware's header describes.
  std::string image = actions[2]["data_out"];
  int words = std::stoi(image.substr(2, 2), nullptr, 16);
  EXPECT_EQ(actions[2]["data_out_size"], words * 4);
}

TEST(RequestFrames, ActionStillInProgressCountsAsDoneOthersFail) {
  // The firmware answers the create-volume action without doing it: with
  // status 3 (in progress) volkit takes the volume as made; with status 1
  // it rolls the build back and reports the failure.
  json in_progress = Patched(SasLab(2), R"({"faults": [{"match": {"raid_action": 2},
      "effect": {"action_status": 3}}]})");
  VolkitRun run = CreateStripe(in_progress);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::vector<json> actions = run.Ioctls(kRaidAction);
  ASSERT_EQ(actions.size(), 3u);  // nothing is deleted again

  json refused = Patched(SasLab(2), R"({"faults": [{"match": {"raid_action": 2},
      "effect": {"action_status": 1}}]})");
  run = CreateStripe(refused);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("volkit: Volume creation failed.\n"), std::string::npos);
  actions = run.Ioctls(kRaidAction);
  ASSERT_GT(actions.size(), 3u);
  EXPECT_EQ(FrameHex(actions[3], 1), "0e");  // the new physical disks go again
}

}  // namespace
}  // namespace volkit_test
