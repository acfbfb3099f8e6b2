// The controller's RAID limits as CREATE applies them: drive counts and the
// per-member metadata reserve, from the firmware's pages or the defaults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kDriveCount[] = "volkit: incorrect number of SCSI ID's specified\n";

VolkitRun Create(const json& lab, std::vector<std::string> words) {
  words.insert(words.begin(), {"0", "create"});
  words.push_back("noprompt");
  return RunVolkit(lab, words);
}

// The volume image's MaxLBA, or 0 when no volume was sent.
uint32_t SentMaxLba(const VolkitRun& run) {
  for (const LoggedAction& a : RaidActions(run)) {
    if (a.Action == 2 && a.DataOut.size() >= 20) {
      return a.DataOut[16] | a.DataOut[17] << 8 | a.DataOut[18] << 16 |
             uint32_t{a.DataOut[19]} << 24;
    }
  }
  return 0;
}

TEST(RaidLimits, ReserveFromTheTypesSettingsWord) {
  json lab = SasLab(2);
  lab["controllers"][0]["pages"]["ManufacturingPg4"] = {{"ImVolumeSettings", "0x40"},
                                                        {"IsVolumeSettings", "0xC0"}};
  // 512 MiB kept back on each mirror member; the stripe keeps the 64 MiB of IocPg6.
  EXPECT_EQ(SentMaxLba(Create(lab, {"im", "max", "0", "1"})), 140623871u);
  EXPECT_EQ(SentMaxLba(Create(lab, {"is", "20480", "0", "1"})), 41680895u);
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MetadataSize", 0}};
  EXPECT_EQ(SentMaxLba(Create(lab, {"is", "20480", "0", "1"})), 41943039u);
}

TEST(RaidLimits, ParallelScsiDefaultsWithoutIocPg6) {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "pages": {"IocPg6": {"absent": true}}, "devices": []}]})");
  for (int t = 0; t < 7; ++t) {
    lab["controllers"][0]["devices"].push_back({{"target", t}, {"blocks", 71132960}});
  }
  VolkitRun run = Create(lab, {"ime", "max", "0", "1", "2", "3", "4", "5", "6"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kDriveCount);
  run = Create(lab, {"ime", "max", "0", "1", "2", "3", "4", "5"});
  EXPECT_EQ(run.status, 0) << run.err;
  // 71020544 blocks a member, aligned, three of six shares.
  EXPECT_EQ(SentMaxLba(run), 213061631u);
  EXPECT_EQ(Create(lab, {"is", "max", "0"}).err, kDriveCount);
}

TEST(RaidLimits, FirmwareLimitsBelowWhatATypeNeeds) {
  // A controller that claims a mirror of one drive or a stripe of none
  // still gets no such volume.
  json lab = SasLab(2);
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MinDrivesIM", 1}, {"MinDrivesIS", 0}};
  VolkitRun run = Create(lab, {"im", "max", "0"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kDriveCount);
  run = Create(lab, {"is", "max", "qsync"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kDriveCount);
  EXPECT_TRUE(RaidActions(run).empty());
}

}  // namespace
}  // namespace volkit_test
