// DELETE and its old name DEFAULTS, run through the binary.
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
    "  volkit <controller #> DELETE [noprompt]\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where noprompt is an optional argument that eliminates\n"
    "      warnings and prompts\n\n";
constexpr char kNote[] =
    "NOTE: The DEFAULTS command name has been deprecated.\n"
    "      Please use DELETE in future instances.\n\n";
constexpr char kPrompts[] =
    "You are about to delete all existing IR volumes and hotspare disks.\n\n"
    "WARNING: Proceeding with this operation may cause data loss or data\n"
    "         corruption. Are you sure you want to proceed (YES/NO)? "
    "\nWARNING: This is you last chance to abort this operation. Do you wish\n"
    "         to abort (YES/NO)? ";

// Mirror 0 on targets 0 (primary, disk 4) and 1 (secondary, disk 6), whose
// block 0 carries a partition table with a disk signature; disk 2 is a hot
// spare (disk 9).
json MirrorLab() {
  json lab = SasLab(3);
  std::string sector(1024, '0');
  sector.replace(0, 8, "fa31c08e");
  sector.replace(880, 8, "deadbeef");
  sector.replace(888, 4, "0000");
  sector.replace(892, 16, "80000000070000000008000000000100");
  sector.replace(1020, 4, "55aa");
  lab["controllers"][0]["devices"][1]["block_data"] = {{"0", sector}};
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 4, "target": 0}, {"num": 6, "target": 1},
                   {"num": 9, "target": 2, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [4, 6]}]})");
  return lab;
}

json StripedLab() {
  json lab = SasLab(6);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}, {"num": 2, "target": 2},
                   {"num": 3, "target": 3}, {"num": 4, "target": 4}, {"num": 5, "target": 5}],
    "volumes": [{"id": 0, "type": "IME", "members": [0, 1, 2]},
                {"id": 3, "bus": 1, "type": "IS", "members": [3, 4, 5]}]})");
  return lab;
}

TEST(DeleteCommand, ArgumentsAndTheOldName) {
  VolkitRun run = RunVolkit(SasLab(), {"0", "DEFAULTS", "noprompt", "extra"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + kNote);
  EXPECT_EQ(run.err, kUsage);
  run = RunVolkit(SasLab(), {"0", "delete", "a", "b"});
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, kUsage);
  run = RunVolkit(MirrorLab(), {"0", "defaults", "NOPROMPT"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kNote);
  EXPECT_EQ(run.err, "");
}

TEST(DeleteCommand, Dialogue) {
  VolkitRun run = RunVolkit(MirrorLab(), {"0", "delete", "now"}, "yes\nno\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kPrompts);
  EXPECT_EQ(RaidActions(run).size(), 4u);
  for (const char* answers : {"YES \n", "y\n", "Yes\n"}) {
    run = RunVolkit(MirrorLab(), {"0", "delete"}, answers);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "volkit: you must answer \"YES\" or \"yes\" to proceed; operation aborted!\n");
    EXPECT_TRUE(RaidActions(run).empty());
  }
  run = RunVolkit(MirrorLab(), {"0", "delete"}, "YES\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: you must answer \"NO\" or \"no\" to proceed; operation aborted!\n");
  EXPECT_TRUE(RaidActions(run).empty());
}

TEST(DeleteCommand, EmptyControllerSendsNothing) {
  VolkitRun run = RunVolkit(SasLab(), {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(RaidActions(run).empty());
  EXPECT_TRUE(BlockTransfers(run).empty());
}

TEST(DeleteCommand, MirrorSecondaryLosesItsSignatureThenEverythingGoes) {
  VolkitRun run = RunVolkit(MirrorLab(), {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, "");

  // Block 0 of the secondary, read and written back through the member
  // pass-through addressed by its physical disk number, with 6-byte CDBs.
  std::vector<LoggedTransfer> io = BlockTransfers(run);
  ASSERT_EQ(io.size(), 2u);
  EXPECT_EQ(io[0].Function, 0x16);
  EXPECT_EQ(io[0].Target, 6);
  EXPECT_EQ(io[0].Cdb, (ByteVector{0x08, 0, 0, 0, 1, 0}));
  EXPECT_EQ(io[1].Function, 0x16);
  EXPECT_EQ(io[1].Target, 6);
  EXPECT_EQ(io[1].Cdb, (ByteVector{0x0A, 0, 0, 0, 1, 0}));
  ByteVector expected(512, 0);
  expected[0] = 0xFA, expected[1] = 0x31, expected[2] = 0xC0, expected[3] = 0x8E;
  const uint8_t entry[] = {0x80, 0, 0, 0, 0x07, 0, 0, 0, 0, 0x08, 0, 0, 0, 0, 0x01, 0};
  std::copy(std::begin(entry), std::end(entry), expected.begin() + 446);
  expected[510] = 0x55, expected[511] = 0xAA;
  EXPECT_EQ(io[1].DataOut, expected);

  std::vector<LoggedAction> actions = RaidActions(run);
  ASSERT_EQ(actions.size(), 4u);
  EXPECT_EQ(actions[0].Action, 3);
  EXPECT_EQ(actions[0].VolumeID, 0);
  EXPECT_EQ(actions[0].DataWord, 1u);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(actions[i].Action, 14);
    EXPECT_EQ(actions[i].DataWord, 0u);
  }
  EXPECT_EQ(actions[1].PhysDiskNum, 4);
  EXPECT_EQ(actions[2].PhysDiskNum, 6);
  EXPECT_EQ(actions[3].PhysDiskNum, 9);
  EXPECT_TRUE(run.state["controllers"][0]["raid"].value("volumes", json::array()).empty());
  EXPECT_TRUE(run.state["controllers"][0]["raid"].value("phys_disks", json::array()).empty());
}

TEST(DeleteCommand, StripedVolumesNeedNoBlockTransfer) {
  VolkitRun run = RunVolkit(StripedLab(), {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(BlockTransfers(run).empty());
  std::vector<LoggedAction> actions = RaidActions(run);
  ASSERT_EQ(actions.size(), 8u);
  EXPECT_EQ(actions[0].Action, 3);
  EXPECT_EQ(actions[0].VolumeID, 0);
  EXPECT_EQ(actions[0].DataWord, 3u);
  EXPECT_EQ(actions[1].Action, 3);
  EXPECT_EQ(actions[1].VolumeID, 3);
  EXPECT_EQ(actions[1].VolumeBus, 1);
  EXPECT_EQ(actions[1].PhysDiskNum, 0);
  EXPECT_EQ(actions[1].DataWord, 3u);
}

TEST(DeleteCommand, BootDeviceIsKeptUpOnSasOnly) {
  // The boot device is looked at before each volume goes, and only where
  // the BIOS keeps one.
  auto bios_reads = [](const VolkitRun& run) {
    size_t n = 0;
    for (const json& line : run.Ioctls(0x04)) {
      ByteVector f = FrameBytes(line, 24);
      n += f[0] == 1 && f[23] == 2 && f[22] == 2;
    }
    return n;
  };
  VolkitRun run = RunVolkit(MirrorLab(), {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_GE(bios_reads(run), 1u);

  json scsi = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
             "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]}}]})");
  run = RunVolkit(scsi, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(bios_reads(run), 0u);
  EXPECT_EQ(BlockTransfers(run).size(), 2u);
  EXPECT_TRUE(run.state["controllers"][0]["raid"].value("volumes", json::array()).empty());
}

TEST(DeleteCommand, FailurePartWayKeepsWhatWasNotReached) {
  json lab = StripedLab();
  lab["faults"] = Lab(R"([{"match": {"raid_action": 3}, "nth": 2,
                          "effect": {"ioc_status": "0x0004"}}])");
  VolkitRun run = RunVolkit(lab, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Couldn't remove existing IR volume!\n");
  EXPECT_EQ(run.out, std::string(kBanner) + "volkit: Volume delete failed.\n");
  std::vector<LoggedAction> actions = RaidActions(run);
  ASSERT_EQ(actions.size(), 2u);
  const json& raid = run.state["controllers"][0]["raid"];
  ASSERT_EQ(raid["volumes"].size(), 1u);
  EXPECT_EQ(raid["volumes"][0]["id"], 3);
  EXPECT_EQ(raid["phys_disks"].size(), 6u);
}

TEST(DeleteCommand, MirrorWithoutSecondaryOrNotAMirrorAfterAllWritesNoBlock) {
  json lab = MirrorLab();
  lab["controllers"][0]["raid"]["volumes"][0]["members"] =
      Lab(R"([{"num": 4, "map": 1}, {"num": 6, "map": 1}])");
  VolkitRun run = RunVolkit(lab, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(BlockTransfers(run).empty());
  EXPECT_EQ(RaidActions(run).size(), 4u);

  // The volume list calls it a mirror, its own page says striped.
  lab = MirrorLab();
  lab["controllers"][0]["raid"]["volumes"][0]["page_bytes"] = {{"7", "00"}};
  run = RunVolkit(lab, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(BlockTransfers(run).empty());
}

TEST(DeleteCommand, ShortBlockReadIsNeverWrittenBack) {
  // The member delivers only part of block 0: the rest of the buffer is not
  // the disk's, and writing it back would wipe its partition table.
  json lab = MirrorLab();
  lab["faults"] = Lab(R"([{"match": {"scsi_opcode": "0x08"}, "effect": {"short": 300}}])");
  VolkitRun run = RunVolkit(lab, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::vector<LoggedTransfer> io = BlockTransfers(run);
  ASSERT_EQ(io.size(), 1u);
  EXPECT_EQ(io[0].Cdb[0], 0x08);
  EXPECT_EQ(RaidActions(run).size(), 4u);
  const json& disk = run.state["controllers"][0]["devices"][1];
  EXPECT_EQ(disk["block_data"]["0"], lab["controllers"][0]["devices"][1]["block_data"]["0"]);
}

TEST(DeleteCommand, CountsPastThePageEndCleanly) {
  // Lists that claim more entries than their pages hold are walked only as
  // far as the bytes go.
  json lab = MirrorLab();
  lab["controllers"][0]["pages"]["IocPg2"] = {{"bytes", {{"8", "ff"}}}};
  lab["controllers"][0]["pages"]["BiosPg2"] = {{"BootDeviceAddress", "0x5000d31000a1c001"}};
  lab["controllers"][0]["devices"][0]["sas_address"] = "0x5000d31000a1c001";
  lab["controllers"][0]["raid"]["volumes"][0]["page_bytes"] = {{"36", "ff"}};
  VolkitRun run = RunVolkit(lab, {"0", "delete", "noprompt"});
  EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status << run.err;
  lab["controllers"][0]["pages"]["IocPg2"] = json::object();
  run = RunVolkit(lab, {"0", "create", "is", "max", "2", "0x2", "noprompt"});
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace volkit_test
