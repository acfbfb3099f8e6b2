// STATUS through the binary: its lines, progress arithmetic, bad indicator
// data, and which volume decides the result.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kHeading[] = "Background command progress status for controller 0...\n";

json VolumeLab(const std::string& raid, const std::string& faults = "[]") {
  json lab = SasLab(4, 2048);
  lab["controllers"][0]["raid"] = Lab(raid);
  lab["faults"] = Lab(faults);
  return lab;
}

TEST(StatusCommand, ExtraWordIsRefused) {
  VolkitRun run = RunVolkit(SasLab(), {"0", "status", "extra"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err,
            "volkit: too many command arguments!\n"
            "  volkit <controller #> STATUS\n"
            "    where <controller #> is:\n"
            "      Number between 0 and 255\n");
}

TEST(StatusCommand, NoVolumes) {
  VolkitRun run = RunVolkit(SasLab(), {"0", "status"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "volkit: there are no IR volumes on the controller!\n");
}

TEST(StatusCommand, QuietVolumeAndResyncingVolume) {
  VolkitRun run = RunVolkit(VolumeLab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 2}, {"num": 3, "target": 3}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1]},
                  {"id": 2, "type": "IM", "members": [2, 3], "state": 1,
                   "resync": {"total": 1000, "remaining": 250, "step": 0}}]})"),
                            {"0", "status"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kBanner + std::string(kHeading) +
                         "IR Volume 1\n"
                         "  Volume ID                               : 0\n"
                         "  Current operation                       : None\n"
                         "  Volume status                           : Enabled\n"
                         "  Volume state                            : Optimal\n"
                         "  Physical disk I/Os                      : Not quiesced\n"
                         "IR Volume 2\n"
                         "  Volume ID                               : 2\n"
                         "  Current operation                       : Synchronize\n"
                         "  Volume status                           : Enabled\n"
                         "  Volume state                            : Degraded\n"
                         "  Physical disk I/Os                      : Not quiesced\n"
                         "  Volume size (in sectors)                : 1000\n"
                         "  Number of remaining sectors             : 250\n"
                         "  Percentage complete                     : 75.00%\n");
}

TEST(StatusCommand, InactiveUnknownStateAndVolumeBusAddress) {
  VolkitRun run = RunVolkit(VolumeLab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
      "volumes": [{"id": 2, "bus": 1, "type": "IM", "members": [0, 1], "state": 3,
                   "inactive": true, "status_flags": "0x0A"}]})"),
                            {"0", "status"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kHeading) +
                         "IR Volume 1\n"
                         "  Volume ID                               : 2\n"
                         "  Current operation                       : None\n"
                         "  Volume status                           : Disabled\n"
                         "  Volume state                            : Inactive, Unknown\n"
                         "  Physical disk I/Os                      : Quiesced\n");
  // RaidVolPg0 is addressed as bus x 256 + ID; the progress request carries
  // the bus and ID in bytes 5 and 4.
  bool read_258 = false;
  for (const json& line : run.Ioctls(0x04)) {
    std::string frame = FrameHex(line, 28);
    read_258 |= frame.substr(0, 2) == "01" && frame.substr(44, 4) == "0008" &&
                frame.substr(48, 8) == "02010000";
  }
  EXPECT_TRUE(read_258);
  std::vector<json> actions = run.Ioctls(0x15);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(FrameHex(actions[0], 8), "0100001502010000");
}

TEST(StatusCommand, BadIndicatorDataFailsTheVolume) {
  VolkitRun run = RunVolkit(VolumeLab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1],
                   "resync": {"total": 0, "remaining": 5, "step": 0}}]})"),
                            {"0", "status"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: bad indicator data received from controller! total blocks = 0\n");
  EXPECT_TRUE(run.out.ends_with("  Physical disk I/Os                      : Not quiesced\n"));
}

// More blocks left than the whole would print a nonsense percentage; it is
// bad indicator data too.
TEST(StatusCommand, RemainingAboveTotalIsBadIndicatorData) {
  VolkitRun run = RunVolkit(VolumeLab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1],
                   "resync": {"total": 100, "remaining": 101, "step": 0}}]})"),
                            {"0", "status"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: bad indicator data received from controller! total blocks = 100\n");
  EXPECT_EQ(run.out.find("Percentage"), std::string::npos);
}

// The result is the last volume's: an unreadable first volume is left out
// silently, a failing last one fails the command.
TEST(StatusCommand, LastVolumeDecidesTheResult) {
  const char* raid = R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 2}, {"num": 3, "target": 3}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1]},
                  {"id": 2, "type": "IM", "members": [2, 3]}]})";
  VolkitRun first =
      RunVolkit(VolumeLab(raid, R"([{"match": {"page": "RaidVolPg0", "action": 1, "address": 0},
                           "effect": {"ioc_status": "0x22"}}])"),
                {"0", "status"});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(first.out.find("IR Volume 1\n"), std::string::npos);
  EXPECT_NE(first.out.find("IR Volume 2\n  Volume ID                               : 2\n"),
            std::string::npos);

  VolkitRun last =
      RunVolkit(VolumeLab(raid, R"([{"match": {"function": 21, "raid_action": 1}, "nth": 2,
                           "effect": {"action_status": 2}}])"),
                {"0", "status"});
  EXPECT_EQ(last.status, 1);
  EXPECT_EQ(last.err, "");
  EXPECT_NE(last.out.find("IR Volume 1\n"), std::string::npos);
  EXPECT_EQ(last.out.find("IR Volume 2\n"), std::string::npos);
}

}  // namespace
}  // namespace volkit_test
