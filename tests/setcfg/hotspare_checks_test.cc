// HOTSPARE's checks before a creation, run through the binary: room for
// another spare and a mirror to protect, the type match on SAS, the disk
// checks on parallel SCSI, and the capacity each mirror needs.  A refused
// creation shows the check's message on standard error and the closing
// message on standard output, and sends no RAID action.
#include <gtest/gtest.h>

#include <string>

#include "setcfg/hotspare_expect.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kTypeMismatch[] =
    "volkit: hot spare disk type does not match with disks in volume!\n";

constexpr char kTooSmall[] = "volkit: disk drive's capacity is too small!\n";

// Mirror 0 on targets 0 and 1 of a parallel-SCSI controller with four disks.
json ScsiMirrorLab() {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960},
                {"target": 2, "blocks": 71132960}, {"target": 3, "blocks": 71132960}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
             "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]}}]})");
  return lab;
}

TEST(HotSpareCommand, RoomAndAMirrorToProtect) {
  json lab = SasMirrorLab();
  LabController(lab)["pages"]["IocPg6"] = {{"MaxHotSpares", 1}};
  LabController(lab)["raid"]["phys_disks"].push_back(
      {{"num", 5}, {"target", 3}, {"hot_spare_pool", 1}});
  ExpectRefused(HotSpare(lab, {"2"}), "volkit: maximum hot spare disks already exist!\n");
  json none = SasMirrorLab();
  LabController(none)["pages"]["IocPg6"] = {{"MaxHotSpares", 0}};
  ExpectRefused(HotSpare(none, {"2"}), "volkit: maximum hot spare disks already exist!\n");

  const char* no_mirror = "volkit: No active IM/IME volumes present!\n";
  ExpectRefused(HotSpare(SasLab(4), {"2"}), no_mirror);
  json striped = SasMirrorLab();
  LabController(striped)["raid"]["volumes"][0]["type"] = "IS";
  ExpectRefused(HotSpare(striped, {"2"}), no_mirror);
  json inactive = SasMirrorLab();
  LabController(inactive)["raid"]["volumes"][0]["inactive"] = true;
  ExpectRefused(HotSpare(inactive, {"2"}), no_mirror);
}

TEST(HotSpareCommand, TypeMatchOnSas) {
  // A SATA disk against a SAS mirror; then beside a SATA mirror it matches.
  json lab = SasMirrorLab(6);
  LabDevice(lab, 2)["protocol"] = "sata";
  ExpectRefused(HotSpare(lab, {"2"}), kTypeMismatch);
  LabDevice(lab, 3)["protocol"] = "sata";
  LabDevice(lab, 4)["protocol"] = "sata";
  LabController(lab)["raid"]["phys_disks"].push_back({{"num", 3}, {"target", 3}});
  LabController(lab)["raid"]["phys_disks"].push_back({{"num", 4}, {"target", 4}});
  LabController(lab)["raid"]["volumes"].push_back({{"id", 3}, {"type", "IM"}, {"members", {3, 4}}});
  EXPECT_EQ(HotSpare(lab, {"2"}).status, 0);

  // SSDs: a SATA SSD stands in for SAS SSDs only when the firmware allows the
  // mix; an SSD never for rotating disks, nor a rotating disk for SSDs.
  json ssd = SasMirrorLab(4);
  for (int i : {0, 1, 2}) LabDevice(ssd, i)["ssd"] = true;
  LabDevice(ssd, 2)["protocol"] = "sata";
  ExpectRefused(HotSpare(ssd, {"2"}), kTypeMismatch);
  LabController(ssd)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  EXPECT_EQ(HotSpare(ssd, {"2"}).status, 0);
  ExpectRefused(HotSpare(ssd, {"3"}), kTypeMismatch);
  json rotating = SasMirrorLab(4);
  LabDevice(rotating, 2)["ssd"] = true;
  LabController(rotating)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  ExpectRefused(HotSpare(rotating, {"2"}), kTypeMismatch);

  // No device at the target: its device page is missing, so the match fails
  // without a message of its own.
  ExpectRefused(HotSpare(SasMirrorLab(4), {"9"}), "");
}

TEST(HotSpareCommand, DiskChecksOnParallelScsi) {
  json lab = ScsiMirrorLab();
  // No type match on parallel SCSI: a disk with another medium is taken.
  LabDevice(lab, 2)["ssd"] = true;
  VolkitRun run = HotSpare(lab, {"2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(PageWrites(run, 2, 2).empty());

  ExpectRefused(HotSpare(lab, {"9"}), "volkit: no device with a SCSI ID = 9 was found!\n");
  json volume_id = ScsiMirrorLab();
  LabController(volume_id)["raid"]["volumes"][0]["id"] = 5;
  ExpectRefused(HotSpare(volume_id, {"5"}),
                "volkit: SCSI ID (5) specified is that of a IR volume!\n");
  json odd = ScsiMirrorLab();
  LabDevice(odd, 2)["type"] = 5;
  LabDevice(odd, 3)["removable"] = true;
  for (const char* t : {"2", "3"}) {
    ExpectRefused(HotSpare(odd, {t}), "volkit: SCSI device is not a fixed media disk drive!\n");
  }
  LabDevice(odd, 2)["type"] = 0;
  LabDevice(odd, 2)["block_size"] = 4096;
  ExpectRefused(HotSpare(odd, {"2"}), "volkit: disk drive's block size is not 512!\n");
  json faulty = ScsiMirrorLab();
  faulty["faults"] = Lab(R"([{"match": {"scsi_opcode": "0x12", "target": 2},
                              "effect": {"ioc_status": 4}},
                             {"match": {"scsi_opcode": "0x25", "target": 3},
                              "effect": {"ioc_status": 4}}])");
  ExpectRefused(HotSpare(faulty, {"2"}), "volkit: unable to get drive inquiry data!\n");
  ExpectRefused(HotSpare(faulty, {"3"}), "volkit: unable to get drive capacity data!\n");
}

TEST(HotSpareCommand, CapacityExactlyAtTheBoundary) {
  // A mirror needs a disk of more than MaxLBA blocks.
  json lab = SasMirrorLab(4);
  LabController(lab)["raid"]["volumes"][0]["max_lba"] = 100000000;
  LabDevice(lab, 2)["blocks"] = 100000000;
  LabDevice(lab, 3)["blocks"] = 100000001;
  ExpectRefused(HotSpare(lab, {"2"}), kTooSmall);
  EXPECT_EQ(HotSpare(lab, {"3"}).status, 0);

  // An enhanced mirror of three disks needs the reserve and two shares of
  // MaxLBA / 3: 0x20000 + 2 x 33333333.
  json ime = SasLab(5);
  LabController(ime)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}, {"num": 2, "target": 2}],
    "volumes": [{"id": 0, "type": "IME", "members": [0, 1, 2], "max_lba": 100000001}]})");
  const unsigned long long needed = 0x20000 + 2 * 33333333ull;
  LabDevice(ime, 3)["blocks"] = needed;
  LabDevice(ime, 4)["blocks"] = needed + 1;
  ExpectRefused(HotSpare(ime, {"3"}), kTooSmall);
  EXPECT_EQ(HotSpare(ime, {"4"}).status, 0);

  // On SAS a disk is measured only against mirrors of its own interface; on
  // parallel SCSI against every mirror.
  json two = SasMirrorLab(6);
  for (int i : {3, 4, 5}) LabDevice(two, i)["protocol"] = "sata";
  LabDevice(two, 3)["blocks"] = 20000000;
  LabDevice(two, 4)["blocks"] = 20000000;
  LabDevice(two, 5)["blocks"] = 30000000;
  LabController(two)["raid"]["phys_disks"].push_back({{"num", 3}, {"target", 3}});
  LabController(two)["raid"]["phys_disks"].push_back({{"num", 4}, {"target", 4}});
  LabController(two)["raid"]["volumes"].push_back({{"id", 3}, {"type", "IM"}, {"members", {3, 4}}});
  EXPECT_EQ(HotSpare(two, {"5"}).status, 0);
  json scsi = ScsiMirrorLab();
  LabDevice(scsi, 2)["blocks"] = 30000000;
  ExpectRefused(HotSpare(scsi, {"2"}), kTooSmall);
}

TEST(HotSpareCommand, UnreadableMemberDevicePageIsMeasuredAllTheSame) {
  // Mirror 0 on SATA targets 0-1 needs more than target 4 holds; mirror 2 on
  // SAS targets 2-3 fits it.  Normally mirror 0 is of the other interface and
  // not measured.
  json lab = SasMirrorLab(5);
  for (int i : {0, 1}) LabDevice(lab, i)["protocol"] = "sata";
  LabDevice(lab, 4)["blocks"] = 50000000;
  LabController(lab)["raid"]["volumes"][0]["max_lba"] = 60000000;
  LabController(lab)["raid"]["phys_disks"].push_back({{"num", 2}, {"target", 2}});
  LabController(lab)["raid"]["phys_disks"].push_back({{"num", 3}, {"target", 3}});
  LabController(lab)["raid"]["volumes"].push_back(
      {{"id", 2}, {"type", "IM"}, {"members", {2, 3}}, {"max_lba", 40000000}});
  EXPECT_EQ(HotSpare(lab, {"4"}).status, 0);

  // The disk check's read of member 0's device page (the type match made the
  // first) fails: the interface is not known, so mirror 0 is measured.
  json faulty = lab;
  faulty["faults"] = Lab(R"([{"match": {"page": "SasDevicePg0", "address": 268435456}, "nth": 2,
                              "effect": {"ioc_status": 4}}])");
  ExpectRefused(HotSpare(faulty, {"4"}), kTooSmall);

  // When that member belongs to the last mirror, its failed read is the
  // check's result: refused with only the closing message.
  json last = SasMirrorLab(4);
  last["faults"] = faulty["faults"];
  ExpectRefused(HotSpare(last, {"2"}), "");
}

TEST(HotSpareCommand, MirrorPageWithoutMembers) {
  // An enhanced mirror whose page lists no member has nothing to measure
  // against (and no share to divide out): it is passed over.
  json lab = ScsiMirrorLab();
  LabController(lab)["raid"]["volumes"][0]["type"] = "IME";
  LabController(lab)["raid"]["volumes"][0]["page_bytes"] = {{"36", "00"}};
  VolkitRun run = HotSpare(lab, {"2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace volkit_test
