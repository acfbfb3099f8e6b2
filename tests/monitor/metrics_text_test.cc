// The metrics text from snapshots built here: state sets, what a half-read
// controller and an empty run show, and label escaping.
#include "monitor/metrics_text.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/prometheus_check.h"

namespace volkit_test {
namespace {

ControllerSnapshot SasController() {
  ControllerSnapshot c;
  c.Sas = true;
  c.Model = "Heron";
  c.FirmwareVersion = "1.27.02.00";
  VolumeSnapshot v;
  v.VolumeId = 4;
  v.Type = 1;
  v.StateCode = 1;
  v.SizeBlocks = 1000;
  v.Members = {{0, 0, std::string("online"), 0},
               {1, 1, std::string("out_of_sync"), 0},
               {2, 2, std::nullopt, 0}};
  v.Resync = {true, 400, 100};
  c.Volumes = {v};
  DeviceSnapshot d;
  d.Target = 1;
  d.DeviceType = "disk";
  d.Vendor = "ORB\"IT\\AL";
  d.Model = "M\xe9\n1";
  d.Blocks = 100;
  d.BlockSize = 512;
  d.State = "out_of_sync";
  d.PredictiveFailure = true;
  DeviceSnapshot enclosure;
  enclosure.Target = 7;
  enclosure.DeviceType = "enclosure";
  c.Devices = {d, enclosure};
  return c;
}

TEST(MetricsText, VolumeAndDiskSeries) {
  FleetSnapshot fleet;
  fleet.Controllers = {SasController()};
  std::string text = MetricsText(fleet, "5.01.03.00");
  ExpectWellFormedExposition(text);
  const char* const kLines[] = {
      R"(volkit_build_info{version="5.01.03.00"} 1)",
      R"(volkit_controller_info{controller="0",model="Heron",firmware_version="1.27.02.00",bios_version="",bus_type="sas"} 1)",
      R"(volkit_volume_info{controller="0",volume="4",type="ime",raid_level="1e"} 1)",
      R"(volkit_volume_state{controller="0",volume="4",state="optimal"} 0)",
      R"(volkit_volume_state{controller="0",volume="4",state="degraded"} 1)",
      R"(volkit_volume_size_bytes{controller="0",volume="4"} 512000)",
      R"(volkit_volume_resync_progress_ratio{controller="0",volume="4"} 0.75)",
      R"(volkit_volume_disks{controller="0",volume="4",state="out_of_sync"} 1)",
      R"(volkit_volume_disks{controller="0",volume="4",state="unknown"} 1)",
      R"(volkit_volume_disks{controller="0",volume="4",state="failed"} 0)",
      R"(volkit_disk_info{controller="0",target="1",enclosure="",slot="",vendor="ORB\"IT\\AL",model="M\\xe9\n1",serial="",firmware_revision=""} 1)",
      R"(volkit_disk_state{controller="0",target="1",state="out_of_sync"} 1)",
      R"(volkit_disk_predictive_failure{controller="0",target="1"} 1)",
      R"(volkit_disk_size_bytes{controller="0",target="1"} 51200)",
  };
  for (const char* line : kLines) {
    EXPECT_NE(text.find(std::string(line) + "\n"), std::string::npos) << line << text;
  }
  // Each state set holds exactly one 1; the enclosure is no disk.
  ExpectStateSetsHoldOneOne(text, "volkit_volume_state");
  ExpectStateSetsHoldOneOne(text, "volkit_disk_state");
  EXPECT_EQ(text.find("target=\"7\""), std::string::npos);
}

TEST(MetricsText, EveryRaidPhysicalDiskWithItsRole) {
  FleetSnapshot fleet;
  fleet.Controllers = {SasController()};
  PhysicalDiskSnapshot member;
  member.PhysicalDisk = 1;
  member.Target = 1;
  member.State = "out_of_sync";
  member.VolumeId = 4;
  member.HotSpare = false;
  PhysicalDiskSnapshot spare = member;
  spare.PhysicalDisk = 2;
  spare.Target = 5;
  spare.State = "hot_spare";
  spare.VolumeId.reset();
  spare.HotSpare = true;
  PhysicalDiskSnapshot left = spare;
  left.PhysicalDisk = 3;
  left.Target.reset();  // its page unread: state unknown too
  left.State.reset();
  left.HotSpare = false;
  fleet.Controllers[0].PhysicalDisks = {member, spare, left};
  std::string text = MetricsText(fleet, "5.01.03.00");
  ExpectWellFormedExposition(text);
  ExpectStateSetsHoldOneOne(text, "volkit_physical_disk_state");
  for (
      const char* line : {
          R"(volkit_physical_disk_state{controller="0",physical_disk="1",target="1",role="member",state="out_of_sync"} 1)",
          R"(volkit_physical_disk_state{controller="0",physical_disk="2",target="5",role="hot_spare",state="hot_spare"} 1)",
          R"(volkit_physical_disk_state{controller="0",physical_disk="3",target="",role="none",state="unknown"} 1)",
          R"(volkit_physical_disk_state{controller="0",physical_disk="3",target="",role="none",state="failed"} 0)",
      }) {
    EXPECT_NE(text.find(std::string(line) + "\n"), std::string::npos) << line << text;
  }
}

TEST(MetricsText, AHalfReadControllerShowsOnlyItsFailure) {
  FleetSnapshot fleet;
  fleet.Controllers = {SasController(), SasController()};
  fleet.Controllers[1].Controller = 1;
  fleet.Controllers[1].Complete = false;
  std::string text = MetricsText(fleet, "5.01.03.00");
  ExpectWellFormedExposition(text);
  EXPECT_NE(text.find("volkit_collect_success{controller=\"1\"} 0\n"), std::string::npos);
  size_t mentions = 0;
  for (size_t at = text.find("controller=\"1\""); at != std::string::npos;
       at = text.find("controller=\"1\"", at + 1)) {
    ++mentions;
  }
  EXPECT_EQ(mentions, 1u) << text;
}

TEST(MetricsText, ARunWithoutControllersStillReportsAFailedCollection) {
  FleetSnapshot fleet;
  fleet.Failure = RunFailure::kNoControllers;
  std::string text = MetricsText(fleet, "5.01.03.00");
  ExpectWellFormedExposition(text);
  EXPECT_NE(text.find("\nvolkit_collect_success 0\n"), std::string::npos) << text;
}

// promtool passes both of these; the exporters reading our files do not.
TEST(MetricsText, OurChecksCatchWhatPromtoolMisses) {
  EXPECT_NONFATAL_FAILURE(ExpectWellFormedExposition("# HELP a x\n# TYPE a gauge\na 1\n"
                                                     "# HELP b y\n# TYPE b gauge\nb 1\n"
                                                     "a{x=\"1\"} 1\n"),
                          "series outside its family's group");
  EXPECT_NONFATAL_FAILURE(
      ExpectWellFormedExposition("# HELP a x\n# TYPE a gauge\na{x=\"1\"} 1\na{x=\"1\"} 2\n"),
      "series twice");
}

TEST(MetricsText, LabelValuesAreEscaped) {
  EXPECT_EQ(PrometheusLabelValue("plain 1.0"), "plain 1.0");
  EXPECT_EQ(PrometheusLabelValue("a\"b\\c\nd"), "a\\\"b\\\\c\\nd");
  EXPECT_EQ(PrometheusLabelValue(std::string("\x01\xff", 2)), "\\\\x01\\\\xff");
}

}  // namespace
}  // namespace volkit_test
