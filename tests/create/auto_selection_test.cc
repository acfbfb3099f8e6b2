// Which drives AUTO's scan takes, through the binary: the capacity band, the
// caps to the type and the disk total, the firmware's minimums, interface
// and medium mixes, drives never selected, and parallel SCSI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "create/auto_command_expect.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

std::vector<int> Range(int first, int end) {
  std::vector<int> v;
  for (int t = first; t < end; ++t) v.push_back(t);
  return v;
}

TEST(AutoCommand, CapacityBand) {
  json lab = SasLab(3);
  LabDevice(lab, 0)["blocks"] = 71132960;
  ExpectTooFew(Auto(lab, {"im", "max", "noprompt"}), "IM", 2);
  VolkitRun run = RunVolkit(lab, {"0", "AUTO1", "im", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));
  // A drive just inside the band is taken, one just outside is not.
  LabDevice(lab, 1)["blocks"] = 71132960 + 0x200000;
  LabDevice(lab, 2)["blocks"] = 71132960 + 0x200001;
  run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));
}

TEST(AutoCommand, CapsToTheTypeAndTheDiskTotal) {
  VolkitRun run = Auto(SasLab(10), {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 8));

  // Beside a mirror of two disks, the total of nine leaves room for seven.
  json lab = SasLab(12);
  LabController(lab)["pages"]["IocPg6"] = {{"MaxDrivesIS", 10}};
  LabController(lab)["pages"]["IocPg2"] = {{"MaxPhysDisks", 9}};
  LabController(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 2), Range(2, 9));
  // No room at all.
  LabController(lab)["pages"]["IocPg2"] = {{"MaxPhysDisks", 2}};
  ExpectTooFew(Auto(lab, {"is", "max", "noprompt"}), "IS", 2);

  // More fitting drives than the candidate list holds: the first twenty.
  json many = SasLab(24);
  LabController(many)["port_facts"] = {{"device_limit", 32}};
  LabController(many)["pages"]["IocPg6"] = {{"MaxDrivesIS", 30}};
  LabController(many)["pages"]["IocPg2"] = {{"MaxPhysDisks", 40}};
  run = Auto(many, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 20));

  // IME takes three to eight.
  ExpectTooFew(Auto(SasLab(2), {"ime", "max", "noprompt"}), "IME", 3);
  run = Auto(SasLab(3), {"ime", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 3));
}

TEST(AutoCommand, FirmwareMinimumsBelowWhatTheBuildersNeed) {
  // A firmware that claims a mirror of one drive, or a stripe of none, gets
  // the count message instead of a build that cannot start.
  json lab = SasLab(1);
  LabController(lab)["pages"]["IocPg6"] = {
      {"MinDrivesIM", 0}, {"MinDrivesIME", 1}, {"MinDrivesIS", 0}};
  ExpectTooFew(Auto(lab, {"im", "max", "noprompt"}), "IM", 2);
  ExpectTooFew(Auto(lab, {"ime", "max", "noprompt"}), "IME", 2);
  LabController(lab)["devices"] = json::array();
  ExpectTooFew(Auto(lab, {"is", "max", "noprompt"}), "IS", 1);
}

TEST(AutoCommand, InterfaceAndMediumMixes) {
  json lab = SasLab(3);
  LabDevice(lab, 0)["ssd"] = true;
  LabDevice(lab, 1)["ssd"] = true;
  LabDevice(lab, 1)["protocol"] = "sata";
  ExpectTooFew(Auto(lab, {"is", "max", "noprompt"}), "IS", 2);
  LabController(lab)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The rotating SAS disk at 2 never joins SSDs.
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));

  // Rotating disks of both interfaces do not mix, whatever the flag says.
  json rotating = SasLab(4);
  LabDevice(rotating, 1)["protocol"] = "sata";
  LabController(rotating)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  run = Auto(rotating, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 2, 3}));
}

TEST(AutoCommand, DrivesNeverSelected) {
  // Mirror 20 on targets 0 and 1, a hot spare at 2, a CD-ROM at 3, a
  // removable disk at 4, 520-byte blocks at 5; only 6 and 7 are free disks.
  json lab = SasLab(8);
  LabController(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2, "hot_spare_pool": 1}],
    "volumes": [{"id": 20, "type": "IM", "members": [0, 1]}]})");
  LabDevice(lab, 3)["type"] = 5;
  LabDevice(lab, 4)["removable"] = true;
  LabDevice(lab, 5)["block_size"] = 520;
  VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 6), (std::vector<int>{6, 7}));
  // The volume's own ID answers like a disk but is never offered.
  for (const json& line : run.Ioctls(kScsiIo)) {
    EXPECT_NE(FrameBytes(line, 1)[0], 20) << line.dump();
  }
}

TEST(AutoCommand, ParallelScsi) {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"}, "devices": [
    {"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960},
    {"target": 2, "blocks": 71132960}, {"target": 3, "blocks": 71132960},
    {"target": 4, "blocks": 71132960}, {"target": 5, "blocks": 71132960},
    {"target": 8, "blocks": 71132960}, {"target": 9, "blocks": 71132960}]}]})");
  LabDevice(lab, 1)["ssd"] = true;  // no medium rule on parallel SCSI
  // Without IocPg6 the parallel-SCSI stripe takes six drives at the most.
  LabController(lab)["pages"]["IocPg6"] = {{"absent", true}};
  VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 6));
}

}  // namespace
}  // namespace volkit_test
