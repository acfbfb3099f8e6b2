// CREATE end to end: the physical disks and the volume image it sends, the
// sizes of the worked examples, and what a failed build leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kFailed[] = "volkit: Volume creation failed.\n";
constexpr unsigned long long kDisk73 = 143374744;
constexpr unsigned long long kDisk146 = 286749488;
constexpr unsigned long long kDisk1T = 1953525168;

VolkitRun Create(const json& lab, std::vector<std::string> words) {
  words.insert(words.begin(), {"0", "create"});
  words.push_back("noprompt");
  return RunVolkit(lab, words);
}

uint32_t Le32(const ByteVector& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

// The create-volume action of a run; fails the test when there is none.
LoggedAction VolumeAction(const VolkitRun& run) {
  for (const LoggedAction& a : RaidActions(run)) {
    if (a.Action == 2) return a;
  }
  ADD_FAILURE() << "no create-volume action\n" << run.out << run.err;
  return {0, 0, 0, 0, 0, ByteVector(64, 0), false};
}

uint64_t ImageMaxLba(const LoggedAction& a) {
  return uint64_t{Le32(a.DataOut, 20)} << 32 | Le32(a.DataOut, 16);
}

std::vector<int> ActionCodes(const VolkitRun& run) {
  std::vector<int> codes;
  for (const LoggedAction& a : RaidActions(run)) codes.push_back(a.Action);
  return codes;
}

const json& Raid(const VolkitRun& run) { return run.state["controllers"][0]["raid"]; }
size_t Count(const json& raid, const char* key) { return raid.value(key, json::array()).size(); }

json SasDisks(std::vector<unsigned long long> blocks) {
  json lab = SasLab(static_cast<int>(blocks.size()));
  for (size_t i = 0; i < blocks.size(); ++i) {
    lab["controllers"][0]["devices"][i]["blocks"] = blocks[i];
  }
  return lab;
}

// Block 0 with one active partition of `count` sectors from `start`.
std::string BootSectorHex(uint32_t start, uint32_t count) {
  ByteVector s(512, 0);
  s[446] = 0x80;
  s[450] = 0x07;
  for (int b = 0; b < 4; ++b) {
    s[454 + b] = static_cast<uint8_t>(start >> (8 * b));
    s[458 + b] = static_cast<uint8_t>(count >> (8 * b));
  }
  s[510] = 0x55;
  s[511] = 0xAA;
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t v : s) hex += {kDigits[v >> 4], kDigits[v & 15]};
  return hex;
}

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
  EXPECT_EQ(Count(Raid(run), "volumes"), 1u);
  EXPECT_EQ(Count(Raid(run), "phys_disks"), 2u);
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

TEST(CreateBuild, MirrorOfRequestedSize) {
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"im", "70000", "0", "1"}))), 143228926u);
  VolkitRun quick = Create(SasLab(2), {"im", "70000", "0", "1", "qsync"});
  LoggedAction volume = VolumeAction(quick);
  EXPECT_EQ(ImageMaxLba(volume), 143359998u);
  EXPECT_EQ(volume.DataWord, 1u);
  // More than the drives hold gives way to the largest size they allow.
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"im", "80000", "0", "1"}))), 142577663u);
}

TEST(CreateBuild, SizeWordsInEveryBase) {
  // 0x800 MiB is 2048 MiB; 010 MiB is 8 MiB (with no reserve, so that it fits).
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"is", "0x800", "0", "1"}))), 3932159u);
  json lab = SasLab(2);
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MetadataSize", 0}};
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"is", "010", "0", "1"}))), 16383u);
}

TEST(CreateBuild, SizeCoercionModeOfTheFirmware) {
  // Bits 7-8 of IrFlags equal to 1 round each share down to whole 128 MiB;
  // any other mode keeps the default rounding.
  json lab = SasLab(2);
  lab["controllers"][0]["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x80}};
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"im", "max", "0", "1"}))), 143130623u);
  for (int flags : {0x100, 0x180}) {
    lab["controllers"][0]["pages"]["ManufacturingPg4"] = {{"IrFlags", flags}};
    EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"im", "max", "0", "1"}))), 142577663u);
  }
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

TEST(CreateBuild, MirrorKeepsThePrimarysPartitions) {
  // A partition past the secondary's capacity refuses the secondary.
  json lab = SasDisks({kDisk146, kDisk73});
  lab["controllers"][0]["devices"][0]["block_data"] = {{"0", BootSectorHex(2048, 199997953)}};
  VolkitRun run = Create(lab, {"im", "max", "0", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volkit: Couldn't use target 1 drive as a candidate for the raid volume\n"
            "                          as the size of the drive is less than the size of the "
            "primary\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
  EXPECT_TRUE(RaidActions(run).empty());
  // With qsync the partitions do not count.
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(lab, {"im", "max", "0", "1", "qsync"}))), 142577663u);

  // A partition past the rounded size raises the size so that its last
  // block, 143000000, is still inside the volume.
  lab = SasDisks({kDisk73, kDisk73});
  lab["controllers"][0]["devices"][0]["block_data"] = {{"0", BootSectorHex(2048, 142997953)}};
  run = Create(lab, {"im", "max", "0", "1"});
  EXPECT_EQ(run.err,
            "volkit: Requested Volume size of -1MB is smaller than existing partition\n"
            "              on primary with size of 69824MB. Setting Volume size of 69824MB\n");
  EXPECT_EQ(ImageMaxLba(VolumeAction(run)), 143000000u);
}

TEST(CreateBuild, StripedAndEnhancedMirrorSizes) {
  LoggedAction is = VolumeAction(Create(SasLab(3), {"is", "max", "0", "1", "2", "qsync"}));
  EXPECT_EQ(ImageMaxLba(is), 427732991u);
  EXPECT_EQ(is.DataWord, 3u);
  EXPECT_EQ(ByteVector(is.DataOut.begin() + 4, is.DataOut.begin() + 16),
            (ByteVector{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0}));  // IS, pool 0
  EXPECT_EQ(ByteVector(is.DataOut.begin() + 36, is.DataOut.begin() + 52),
            (ByteVector{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 2}));
  VolkitRun upper =
      RunVolkit(SasLab(3), {"0", "create", "RAID1E", "MAX", "2", "0", "1", "QSYNC", "NOPROMPT"});
  EXPECT_EQ(upper.out, kBanner);
  LoggedAction ime = VolumeAction(upper);
  EXPECT_EQ(ime.DataWord, 3u);
  EXPECT_EQ(ImageMaxLba(ime), 213866495u);
  EXPECT_EQ(ByteVector(ime.DataOut.begin() + 4, ime.DataOut.begin() + 16),
            (ByteVector{0, 0, 0, 1, 0, 0, 0, 0, 0, 0x80, 1, 0}));  // id 0, IME, pool 1
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(2), {"is", "20480", "0", "1"}))), 41680895u);
  EXPECT_EQ(ImageMaxLba(VolumeAction(Create(SasLab(3), {"ime", "20480", "0", "1", "2"}))),
            41746367u);
}

TEST(CreateBuild, VolumesPastThirtyTwoBitAddresses) {
  json lab = SasDisks({kDisk1T, kDisk1T, kDisk1T});
  VolkitRun run = Create(lab, {"is", "max", "0", "1", "2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) +
                         "volkit: 64-bit volume addressing not supported by IOC.\n"
                         "        Cannot create volume with size greater than 2TB\n" +
                         kFailed);
  EXPECT_TRUE(RaidActions(run).empty());
  lab["controllers"][0]["pages"]["IocPg2"] = {{"CapabilityFlags", "0x10000007"}};
  LoggedAction volume = VolumeAction(Create(lab, {"is", "max", "0", "1", "2"}));
  EXPECT_EQ(ByteVector(volume.DataOut.begin() + 16, volume.DataOut.begin() + 24),
            (ByteVector{0xFF, 0xEF, 0x3E, 0x5D, 1, 0, 0, 0}));
}

TEST(CreateBuild, DuplicateDrivesAreRefusedBeforeAnyChange) {
  VolkitRun run = Create(SasLab(3), {"is", "max", "0", "1", "0"});
  EXPECT_EQ(run.err, "volkit: Duplicate SCSI ID's specified as RAID volume candidates!\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
  EXPECT_TRUE(RaidActions(run).empty());
  run = Create(SasLab(3), {"im", "max", "1", "0x1"});
  EXPECT_EQ(run.err, "volkit: Primary and Secondary ID's are the same!\n");
  EXPECT_TRUE(RaidActions(run).empty());
}

TEST(CreateBuild, DrivesTheSizeArithmeticCannotServe) {
  // READ CAPACITY(10) of a 2 TiB drive wraps its block count to 0.
  VolkitRun run = Create(SasDisks({kDisk73, 4294967296ull}), {"im", "max", "0", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "volkit: Disk ID specified (1) cannot be used as RAID member as\n"
            "        its capacity of 2 TB or more cannot be addressed.\n");
  EXPECT_TRUE(RaidActions(run).empty());
  // No larger than the 64 MiB reserve.
  run = Create(SasDisks({kDisk73, 131072}), {"is", "max", "0", "1"});
  EXPECT_EQ(run.err,
            "volkit: Disk ID specified (1) cannot be used as RAID member as\n"
            "        it is too small to hold a volume beside the RAID metadata.\n");
  EXPECT_TRUE(RaidActions(run).empty());
  // A parallel-SCSI share under 120 MiB has nothing left after rounding.
  json scsi = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 204800}]}]})");
  run = Create(scsi, {"im", "max", "0", "1"});
  EXPECT_EQ(run.err,
            "volkit: Disk ID specified (1) cannot be used as RAID member as\n"
            "        it is too small to hold a volume beside the RAID metadata.\n");
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
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
  EXPECT_EQ(ActionCodes(run), (std::vector<int>{13, 13, 13, 2, 14, 14, 14}));
  std::vector<LoggedAction> actions = RaidActions(run);
  EXPECT_EQ(actions[4].PhysDiskNum, 3);
  EXPECT_EQ(actions[5].PhysDiskNum, 4);
  EXPECT_EQ(actions[6].PhysDiskNum, 5);
  EXPECT_EQ(Raid(run)["phys_disks"], lab["controllers"][0]["raid"]["phys_disks"]);
  EXPECT_EQ(Count(Raid(run), "volumes"), 1u);
}

TEST(CreateBuild, FailedPhysicalDiskCreationRemovesTheOnesBefore) {
  json lab = SasLab(3);
  lab["faults"] = Lab(R"([{"match": {"raid_action": 13}, "nth": 3,
                          "effect": {"ioc_status": "0x0004"}}])");
  VolkitRun run = Create(lab, {"ime", "max", "0", "1", "2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ActionCodes(run), (std::vector<int>{13, 13, 13, 14, 14}));
  EXPECT_EQ(Count(Raid(run), "phys_disks"), 0u);
}

}  // namespace
}  // namespace volkit_test
