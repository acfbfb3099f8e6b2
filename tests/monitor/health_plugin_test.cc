// The health verb's plugin text from snapshots built here: the line's
// shape, what the perfdata counts and what it leaves out.
#include "monitor/health_plugin.h"

#include <gtest/gtest.h>

namespace {

VolumeSnapshot Mirror(uint8_t id, uint8_t state_code, const char* second_member = "online") {
  VolumeSnapshot v;
  v.VolumeId = id;
  v.Type = 2;
  v.StateCode = state_code;
  v.Members = {{0, 0, std::string("online"), 0}, {1, 1, std::string(second_member), 0}};
  return v;
}

ControllerSnapshot Controller(uint32_t number, std::vector<VolumeSnapshot> volumes) {
  ControllerSnapshot c;
  c.Controller = number;
  c.Volumes = std::move(volumes);
  return c;
}

std::string Text(const FleetSnapshot& fleet) {
  return HealthPluginText(fleet, ClassifyHealth(fleet));
}

TEST(HealthPlugin, OkCountsTheOptimalVolumes) {
  FleetSnapshot fleet;
  fleet.Controllers = {Controller(0, {Mirror(0, 0), Mirror(1, 0)}), Controller(2, {})};
  fleet.Controllers[0].HotSpares = {{2, 2, std::string("hot_spare"), 0}};
  EXPECT_EQ(Text(fleet),
            "VOLKIT OK - 2 volumes optimal on 2 controllers | volumes=2 optimal=2 degraded=0 "
            "failed=0 failed_disks=0 hot_spares=1\n");
  EXPECT_EQ(HealthPluginStatus(ClassifyHealth(fleet).State), 0);
}

TEST(HealthPlugin, WorstFirstWithDetailLinesAndResyncPerfdata) {
  VolumeSnapshot resyncing = Mirror(3, 1, "out_of_sync");
  resyncing.Resync = {true, 1000, 630};
  VolumeSnapshot unknown_progress = Mirror(4, 1, "out_of_sync");
  unknown_progress.Resync = {true, std::nullopt, std::nullopt};
  FleetSnapshot fleet;
  fleet.Controllers = {Controller(0, {resyncing, unknown_progress}),
                       Controller(1, {Mirror(0, 1, "failed")})};
  HealthVerdict verdict = ClassifyHealth(fleet);
  EXPECT_EQ(HealthPluginStatus(verdict.State), 2);
  EXPECT_EQ(HealthPluginText(fleet, verdict),
            "VOLKIT CRITICAL - controller 1 volume 0 (IM) degraded, controller 1 target 1 failed, "
            "controller 0 volume 3 (IM) resyncing 37%, controller 0 volume 4 (IM) resyncing"
            " | volumes=3 optimal=0 degraded=3 failed=0 failed_disks=1 hot_spares=0"
            " resync_c0_v3=37%;;;0;100 resync_c0_v4=U%;;;0;100\n"
            "CRITICAL: controller 1 volume 0 (IM) degraded\n"
            "CRITICAL: controller 1 target 1 failed\n"
            "WARNING: controller 0 volume 3 (IM) resyncing 37%\n"
            "WARNING: controller 0 volume 4 (IM) resyncing\n");
}

TEST(HealthPlugin, ALongListIsCutOnTheFirstLineOnly) {
  FleetSnapshot fleet;
  fleet.Controllers = {Controller(0, {})};
  for (uint8_t id = 0; id < 7; ++id) fleet.Controllers[0].Volumes.push_back(Mirror(id, 2));
  std::string text = Text(fleet);
  std::string first = text.substr(0, text.find('\n'));
  EXPECT_NE(first.find("controller 0 volume 4 (IM) failed and 2 more |"), std::string::npos)
      << first;
  EXPECT_NE(text.find("CRITICAL: controller 0 volume 6 (IM) failed\n"), std::string::npos);
}

TEST(HealthPlugin, NothingReadIsUnknownWithoutPerfdata) {
  FleetSnapshot fleet;
  fleet.Failure = RunFailure::kDriverUnavailable;
  fleet.Messages = {{"error", "the driver's control node could not be opened"}};
  HealthVerdict verdict = ClassifyHealth(fleet);
  EXPECT_EQ(HealthPluginText(fleet, verdict),
            "VOLKIT UNKNOWN - the driver's control node could not be opened\n");
  EXPECT_EQ(HealthPluginStatus(verdict.State), 3);
}

TEST(HealthPlugin, AHalfReadControllerIsUnknownAndLeftOutOfThePerfdata) {
  FleetSnapshot fleet;
  fleet.Controllers = {Controller(0, {Mirror(0, 0)}), Controller(1, {Mirror(0, 0)})};
  fleet.Controllers[1].Complete = false;
  fleet.Controllers[1].Problems = {"volume 0 | resync"};
  std::string text = Text(fleet);
  // The firmware's text never breaks the plugin line or its perfdata.
  EXPECT_EQ(text,
            "VOLKIT UNKNOWN - controller 1 could not be read completely: volume 0   resync"
            " | volumes=1 optimal=1 degraded=0 failed=0 failed_disks=0 hot_spares=0\n");
}

TEST(HealthPlugin, FailedDisksCountEachDiskOnceWhereverItIsListed) {
  FleetSnapshot fleet;
  fleet.Controllers = {Controller(0, {Mirror(0, 1, "failed")})};
  PhysicalDiskSnapshot member;
  member.PhysicalDisk = 1;
  member.State = "failed";
  member.VolumeId = 0;
  member.HotSpare = false;
  PhysicalDiskSnapshot left = member;
  left.PhysicalDisk = 6;
  left.VolumeId.reset();
  fleet.Controllers[0].PhysicalDisks = {member, left};
  EXPECT_NE(Text(fleet).find(" failed_disks=2 "), std::string::npos) << Text(fleet);
}

}  // namespace
