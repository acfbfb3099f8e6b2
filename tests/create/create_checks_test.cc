// CREATE's checks of the controller and of every named drive, run through the
// binary.  A refused CREATE sends no RAID action at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kScsiIo = 0x00;
constexpr int kRaidAction = 0x15;
constexpr char kFailed[] = "volkit: Volume creation failed.\n";
constexpr char kDriveCount[] = "volkit: incorrect number of SCSI ID's specified\n";

VolkitRun Create(const json& lab, std::vector<std::string> words) {
  words.insert(words.begin(), {"0", "create"});
  words.push_back("noprompt");
  return RunVolkit(lab, words);
}

void ExpectRefused(const VolkitRun& run, const std::string& err, const std::string& out) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, err);
  EXPECT_EQ(run.out, kBanner + out);
  EXPECT_TRUE(run.Ioctls(kRaidAction).empty());
}

// A SAS lab whose first two disks already form mirror 0.
json LabWithMirror(int disks) {
  json lab = SasLab(disks);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

json& Device(json& lab, int i) { return lab["controllers"][0]["devices"][i]; }

TEST(CreateChecks, VolumeCountOfTheController) {
  json lab = LabWithMirror(6);
  lab["controllers"][0]["pages"]["IocPg2"] = {{"MaxVolumes", 1}};
  const std::string max_volume =
      "volkit: Controller specified by controller number \"0\"\n"
      "        already has max RAID volume. Use the DELETE command\n"
      "        to delete volume(s) if wish to create a new volume\n";
  ExpectRefused(Create(lab, {"is", "max", "2", "3"}), max_volume, "");
  // Two volumes are the most, whatever MaxVolumes says.
  lab["controllers"][0]["pages"]["IocPg2"] = {{"MaxVolumes", 4}};
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2}, {"num": 3, "target": 3}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]},
                {"id": 2, "type": "IM", "members": [2, 3]}]})");
  ExpectRefused(Create(lab, {"is", "max", "4", "5"}), max_volume, "");
}

TEST(CreateChecks, DiskTotalAcrossVolumesBeforeAnyDriveIsTouched) {
  json lab = LabWithMirror(12);
  std::vector<std::string> words = {"is", "max"};
  for (int t = 2; t < 11; ++t) words.push_back(std::to_string(t));
  VolkitRun run = Create(lab, words);
  ExpectRefused(run,
                "volkit: Incorrect number of SCSI ID's specified;Exceeds total disks for "
                "multi-volume!\n",
                "");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
}

TEST(CreateChecks, MoreDriveWordsThanTheCandidateListHolds) {
  json lab = SasLab(24);
  lab["controllers"][0]["pages"]["IocPg6"] = {{"MaxDrivesIS", 30}};
  lab["controllers"][0]["pages"]["IocPg2"] = {{"MaxPhysDisks", 40}};
  std::vector<std::string> words = {"is", "max"};
  for (int t = 0; t < 21; ++t) words.push_back(std::to_string(t));
  VolkitRun run = Create(lab, words);
  ExpectRefused(run, kDriveCount, "");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
}

TEST(CreateChecks, DriveCountOfTheTypeAfterTheDrivesWereChecked) {
  VolkitRun run = Create(SasLab(10), {"im", "max", "1"});
  ExpectRefused(run, kDriveCount, "");
  EXPECT_FALSE(run.Ioctls(kScsiIo).empty());
  ExpectRefused(Create(SasLab(10), {"ime", "max", "0", "1"}), kDriveCount, "");
  ExpectRefused(Create(SasLab(10), {"is", "max", "0", "1", "2", "3", "4", "5", "6", "7", "8"}),
                kDriveCount, "");
}

TEST(CreateChecks, DrivesThatCannotBeMembers) {
  json lab = LabWithMirror(6);
  Device(lab, 2)["type"] = 5;
  Device(lab, 3)["removable"] = true;
  Device(lab, 4)["block_size"] = 520;
  ExpectRefused(Create(lab, {"im", "max", "5", "0"}),
                "volkit: Disk ID specified (0) cannot be used as RAID member as\n"
                "        it is a valid Volume ID.\n",
                kFailed);
  for (const char* t : {"2", "3"}) {
    ExpectRefused(Create(lab, {"im", "max", "5", t}),
                  std::string("volkit: Disk ID specified (") + t +
                      ") cannot be used a RAID member as \n"
                      "        it is not a functional fixed HDD.\n",
                  kFailed);
  }
  ExpectRefused(Create(lab, {"im", "max", "4", "5"}),
                "volkit: Disk ID specified (4) cannot be used a RAID member due\n"
                "       to a block size other than 512 Bytes.\n",
                kFailed);
  ExpectRefused(Create(lab, {"im", "max", "5", "9"}),
                "volkit: Disk ID specified (9) cannot be used a RAID member as \n"
                "        it is not a functional fixed HDD.\n",
                kFailed);
}

TEST(CreateChecks, SsdAndInterfaceMixes) {
  json lab = SasLab(4);
  Device(lab, 0)["ssd"] = true;
  ExpectRefused(Create(lab, {"im", "max", "0", "1"}), "",
                std::string("volkit: Drives specified cannot be used as RAID member as \n"
                            "        they are a mix of SSD and non SSD type drives.\n") +
                    kFailed);
  for (int i = 1; i < 3; ++i) {
    Device(lab, i)["ssd"] = true;
    Device(lab, i)["protocol"] = "sata";
  }
  const std::string interface_mix =
      std::string(
          "volkit: Drives specified cannot be used as RAID member as \n"
          "    they are a mix of SAS and SATA type drives.\n") +
      kFailed;
  ExpectRefused(Create(lab, {"ime", "max", "0", "1", "2"}), "", interface_mix);
  // With the SSD mix allowed the checks pass and the build starts.
  lab["controllers"][0]["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  VolkitRun run = Create(lab, {"ime", "max", "0", "1", "2"});
  EXPECT_EQ(run.out.find("mix of"), std::string::npos);
  EXPECT_FALSE(run.Ioctls(kRaidAction).empty());
  // Rotating disks of both interfaces never mix.
  json disks = SasLab(3);
  Device(disks, 2)["protocol"] = "sata";
  disks["controllers"][0]["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  ExpectRefused(Create(disks, {"ime", "max", "0", "1", "2"}), "", interface_mix);
}

TEST(CreateChecks, UnreadableControllerPagesEndSilently) {
  // Neither the volume list nor a volume's member count can be read: the
  // command ends without a message of its own and without touching a drive.
  json lab = LabWithMirror(4);
  lab["faults"] = Lab(R"([{"match": {"page": "IocPg2", "action": 1}, "first": 1,
                          "effect": {"ioc_status": "0x0004"}}])");
  VolkitRun run = Create(lab, {"is", "max", "2", "3"});
  ExpectRefused(run, "", "");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
  lab["faults"] = Lab(R"([{"match": {"page": "RaidVolPg0", "action": 1},
                          "effect": {"ioc_status": "0x0004"}}])");
  run = Create(lab, {"is", "max", "2", "3"});
  ExpectRefused(run, "", "");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
}

}  // namespace
}  // namespace volkit_test
