// CREATE end to end through the binary: the physical disks and the volume
// image it sends, the drive it makes the primary, the quick sync's wipe, and
// what a refused or failed build leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "create/create_build_expect.h"
#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(CreateBuild, MirrorOfMaximumSize) {
  VolkitRun run = Create(SasLab(2), {"im", "max", "0", "1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "");
  std::vector<LoggedAction> actions = RaidActions(run);
  ASSERT_EQ(actions.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(actions[i].Action, 13);
    EXPECT_EQ(actions[i].VolumeID, 0);
    EXPECT_EQ(actions[i].VolumeBus, 0);
    EXPECT_EQ(actions[i].PhysDiskNum, 0);
    EXPECT_EQ(actions[i].DataWord, 0u);
    ASSERT_GE(actions[i].DataOut.size(), 12u);
    EXPECT_EQ(ByteVector(actions[i].DataOut.begin() + 4, actions[i].DataOut.begin() + 12),
              (ByteVector{static_cast<uint8_t>(i), 0, 0, 0, 0, 0, 0, 0}));
  }
  const LoggedAction& volume = actions[2];
  EXPECT_EQ(volume.Action, 2);
  EXPECT_EQ(volume.VolumeID, 0);
  EXPECT_EQ(volume.VolumeBus, 0);
  EXPECT_EQ(volume.PhysDiskNum, 0);
  EXPECT_EQ(volume.DataWord, 0u);
  ASSERT_GE(volume.DataOut.size(), 48u);
  EXPECT_EQ(
      ByteVector(volume.DataOut.begin() + 4, volume.DataOut.begin() + 48),
      (ByteVector{0,    0,    0,    2,    0, 0, 0, 0, 0, 0x80, 1, 0,  // id, bus, ioc, IM, pool 1
                  0xFF, 0x8F, 0x7F, 0x08, 0, 0, 0, 0,                 // MaxLBA 142577663
                  0,    0,    0,    0,    0, 0, 0, 0, 0, 0,    0, 0, 2, 0, 0, 0,  // two members
                  0,    0,    1,    0,    0, 0, 2, 1}));
  EXPECT_EQ(Count(RaidState(run), "volumes"), 1u);
  EXPECT_EQ(Count(RaidState(run), "phys_disks"), 2u);
}

TEST(CreateBuild, FirstNamedDriveIsThePrimaryWhateverItsId) {
  // 128 is one past the highest SAS target ID the candidate fields know, yet
  // a controller with a larger device limit may have a disk there.
  json lab = SasLab(2);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 200}};
  lab["controllers"][0]["devices"][0]["target"] = 128;
  lab["controllers"][0]["devices"][1]["target"] = 5;
  VolkitRun run = Create(lab, {"im", "max", "128", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<LoggedTransfer> io = BlockTransfers(run);
  ASSERT_EQ(io.size(), 1u);
  EXPECT_EQ(io[0].Target, 128);  // the primary's partitions are the ones kept
  std::vector<LoggedAction> actions = RaidActions(run);
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[0].DataOut.at(4), 128);
  EXPECT_EQ(actions[1].DataOut.at(4), 5);
  ASSERT_GE(actions[2].DataOut.size(), 48u);
  EXPECT_EQ(actions[2].DataOut[4], 5);  // the smaller ID names the volume
  EXPECT_EQ(ByteVector(actions[2].DataOut.begin() + 40, actions[2].DataOut.begin() + 48),
            (ByteVector{0, 0, 1, 0, 0, 0, 2, 1}));  // 128 primary (disk 0), 5 secondary
}

TEST(CreateBuild, QuickSyncClearsTheStartOfTheNewVolume) {
  VolkitRun run = Create(SasDisks({kDisk146, kDisk146}), {"im", "1000", "1", "0", "qsync"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<LoggedTransfer> io = BlockTransfers(run);
  ASSERT_EQ(io.size(), 1u);  // no boot sector is read with qsync
  EXPECT_EQ(io[0].Function, 0x00);
  EXPECT_EQ(io[0].Target, 0);  // the volume answers at the smaller ID
  EXPECT_EQ(io[0].Cdb, (ByteVector{0x0A, 0, 0, 0, 64, 0}));
  EXPECT_EQ(io[0].DataOut, ByteVector(32768, 0));
}

TEST(CreateBuild, DuplicateDrivesAreRefusedBeforeAnyChange) {
  VolkitRun run = Create(SasLab(3), {"is", "max", "0", "1", "0"});
  EXPECT_EQ(run.err, "volkit: Duplicate SCSI ID's specified as RAID volume candidates!\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kCreationFailed);
  EXPECT_TRUE(RaidActions(run).empty());
  run = Create(SasLab(3), {"im", "max", "1", "0x1"});
  EXPECT_EQ(run.err, "volkit: Primary and Secondary ID's are the same!\n");
  EXPECT_TRUE(RaidActions(run).empty());
}

TEST(CreateBuild, FailedVolumeActionRemovesOnlyTheDisksItMade) {
  json lab = SasLab(6);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 5, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  lab["faults"] = Lab(R"([{"match": {"raid_action": 2}, "effect": {"ioc_status": "0x0004"}}])");
  VolkitRun run = Create(lab, {"is", "max", "2", "3", "4"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + kCreationFailed);
  EXPECT_EQ(ActionCodes(run), (std::vector<int>{13, 13, 13, 2, 14, 14, 14}));
  std::vector<LoggedAction> actions = RaidActions(run);
  EXPECT_EQ(actions[4].PhysDiskNum, 3);
  EXPECT_EQ(actions[5].PhysDiskNum, 4);
  EXPECT_EQ(actions[6].PhysDiskNum, 5);
  EXPECT_EQ(RaidState(run)["phys_disks"], lab["controllers"][0]["raid"]["phys_disks"]);
  EXPECT_EQ(Count(RaidState(run), "volumes"), 1u);
}

TEST(CreateBuild, FailedPhysicalDiskCreationRemovesTheOnesBefore) {
  json lab = SasLab(3);
  lab["faults"] = Lab(R"([{"match": {"raid_action": 13}, "nth": 3,
                          "effect": {"ioc_status": "0x0004"}}])");
  VolkitRun run = Create(lab, {"ime", "max", "0", "1", "2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ActionCodes(run), (std::vector<int>{13, 13, 13, 14, 14}));
  EXPECT_EQ(Count(RaidState(run), "phys_disks"), 0u);
}

}  // namespace
}  // namespace volkit_test
