// HOTSPARE create and delete, run through the binary.  A refused creation
// shows the check's message on standard error and the closing message on
// standard output, and sends no RAID action.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kCreateFailed[] = "volkit: Hot Spare create failed.\n";
constexpr char kUsage[] =
    "  volkit <controller #> HOTSPARE [DELETE] <SCSI ID>/<Encl:Bay>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where DELETE keyword:\n"
    "      Specifies that the hotspare is to be deleted.\n"
    "      Omit the DELETE keyword to specify hotspare creation.\n"
    "    where <SCSI ID> is:\n"
    "      SCSI target ID of drive that will become the hot spare disk.\n"
    "    where <Encl:Bay> is:\n"
    "      Enclosure and Bay # of drive that will become the hot spare disk.\n\n";
constexpr char kTypeMismatch[] =
    "volkit: hot spare disk type does not match with disks in volume!\n";
constexpr char kTooSmall[] = "volkit: disk drive's capacity is too small!\n";

json& Controller(json& lab) { return lab["controllers"][0]; }
json& Device(json& lab, int i) { return Controller(lab)["devices"][i]; }

// Mirror 0 on targets 0 and 1 (physical disks 0 and 1); the other disks free.
json MirrorLab(int disks = 4) {
  json lab = SasLab(disks);
  Controller(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

// The same on a parallel-SCSI controller.
json ScsiMirrorLab() {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960},
                {"target": 2, "blocks": 71132960}, {"target": 3, "blocks": 71132960}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
             "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]}}]})");
  return lab;
}

VolkitRun HotSpare(const json& lab, std::vector<std::string> words) {
  words.insert(words.begin(), {"0", "hotspare"});
  return RunVolkit(lab, words);
}

void ExpectRefused(const VolkitRun& run, const std::string& err,
                   const std::string& out = kCreateFailed) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, err);
  EXPECT_EQ(run.out, kBanner + out);
  EXPECT_TRUE(RaidActions(run).empty());
}

size_t HotSpares(const VolkitRun& run) {
  size_t spares = 0;
  for (const json& pd : run.state["controllers"][0]["raid"]["phys_disks"]) {
    if (pd.value("hot_spare_pool", 0) != 0) ++spares;
  }
  return spares;
}

TEST(HotSpareCommand, UsageForms) {
  VolkitRun run = HotSpare(MirrorLab(), {});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kUsage);
  EXPECT_EQ(run.out, kBanner);
  run = HotSpare(MirrorLab(), {"delete", "2", "3"});
  EXPECT_EQ(run.err, kUsage);
  // The keyword without a drive, or a drive with one word too many, goes to
  // standard output.
  for (std::vector<std::string> words : {std::vector<std::string>{"DELETE"}, {"2", "3"}}) {
    run = HotSpare(MirrorLab(), words);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, std::string(kBanner) + kUsage);
    EXPECT_TRUE(RaidActions(run).empty());
  }
  ExpectRefused(HotSpare(MirrorLab(), {"x2"}), "",
                "volkit: Invalid targetId specified for disk : \"x2\"!\n");
}

TEST(HotSpareCommand, CreateThenDelete) {
  VolkitRun made = HotSpare(MirrorLab(), {"1:2"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, kBanner);
  EXPECT_EQ(made.err, "");
  std::vector<LoggedAction> actions = RaidActions(made);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].Action, 13);
  EXPECT_EQ(actions[0].PhysDiskNum, 0);
  EXPECT_EQ(actions[0].DataWord, 0u);
  ASSERT_GE(actions[0].DataOut.size(), 11u);
  EXPECT_EQ(actions[0].DataOut[4], 2);   // PhysDiskID
  EXPECT_EQ(actions[0].DataOut[5], 0);   // PhysDiskBus
  EXPECT_EQ(actions[0].DataOut[6], 0);   // PhysDiskIOC
  EXPECT_EQ(actions[0].DataOut[7], 0);   // PhysDiskNum, for the firmware to choose
  EXPECT_EQ(actions[0].DataOut[10], 1);  // HotSparePool
  EXPECT_EQ(HotSpares(made), 1u);

  VolkitRun shown = RunVolkitAgain(made, {"0", "display"});
  EXPECT_NE(shown.out.find("Hot Spare (HSP)"), std::string::npos) << shown.out;

  VolkitRun deleted = RunVolkitAgain(made, {"0", "HOTSPARE", "Delete", "2"});
  ASSERT_EQ(deleted.status, 0) << deleted.out << deleted.err;
  EXPECT_EQ(deleted.out, kBanner);
  actions = RaidActions(deleted);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].Action, 14);
  EXPECT_EQ(actions[0].PhysDiskNum, 2);
  EXPECT_EQ(HotSpares(deleted), 0u);
  EXPECT_EQ(deleted.state["controllers"][0]["raid"]["phys_disks"].size(), 2u);
}

size_t Count(const std::string& text, const std::string& word) {
  size_t n = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
  return n;
}

TEST(HotSpareCommand, BuiltInLab) {
  VolkitRun made = RunVolkit(DefaultLab(), {"0", "hotspare", "2"});
  ASSERT_EQ(made.status, 0) << made.err;
  VolkitRun shown = RunVolkitAgain(made, {"0", "display"});
  EXPECT_EQ(Count(shown.out, "Hot Spare (HSP)"), 2u) << shown.out;
  VolkitRun deleted = RunVolkitAgain(made, {"0", "hotspare", "delete", "2"});
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  shown = RunVolkitAgain(deleted, {"0", "display"});
  EXPECT_EQ(Count(shown.out, "Hot Spare (HSP)"), 1u) << shown.out;
}

TEST(HotSpareCommand, DeleteOnlyWhatIsAHotSpare) {
  json lab = MirrorLab();
  Controller(lab)["raid"]["phys_disks"].push_back(
      {{"num", 5}, {"target", 3}, {"hot_spare_pool", 1}});
  for (const char* target : {"1", "2"}) {  // a member, a plain disk
    VolkitRun run = HotSpare(lab, {"delete", target});
    ExpectRefused(run, "",
                  std::string("volkit: Target ") + target +
                      " is not a hotspare or is a member of a volume.\n");
  }
  // A refused delete action is reported as such.
  lab["faults"] = Lab(R"([{"match": {"raid_action": 14}, "effect": {"action_status": 2}}])");
  VolkitRun run = HotSpare(lab, {"delete", "3"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + "volkit: Hotspare delete failed.\n");
  EXPECT_EQ(HotSpares(run), 1u);
}

TEST(HotSpareCommand, MoreHotSparesThanTheListRecords) {
  // Ten hot spares on targets 2..11; the list records eight of them.
  json lab = MirrorLab(14);
  Controller(lab)["pages"]["IocPg6"] = {{"MaxHotSpares", 12}};
  Controller(lab)["pages"]["IocPg2"] = {{"MaxPhysDisks", 16}};
  for (int t = 2; t < 12; ++t) {
    Controller(lab)["raid"]["phys_disks"].push_back(
        {{"num", t}, {"target", t}, {"hot_spare_pool", 1}});
  }
  VolkitRun run = HotSpare(lab, {"delete", "11"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  ASSERT_EQ(RaidActions(run).size(), 1u);
  EXPECT_EQ(RaidActions(run)[0].PhysDiskNum, 11);
  EXPECT_EQ(HotSpares(run), 9u);
  // AUTO passes over every one of them.
  run = RunVolkit(lab, {"0", "auto", "im", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const json& volumes = run.state["controllers"][0]["raid"]["volumes"];
  ASSERT_EQ(volumes.size(), 2u);
  EXPECT_EQ(volumes[1]["id"], 12);
}

TEST(HotSpareCommand, RoomAndAMirrorToProtect) {
  json lab = MirrorLab();
  Controller(lab)["pages"]["IocPg6"] = {{"MaxHotSpares", 1}};
  Controller(lab)["raid"]["phys_disks"].push_back(
      {{"num", 5}, {"target", 3}, {"hot_spare_pool", 1}});
  ExpectRefused(HotSpare(lab, {"2"}), "volkit: maximum hot spare disks already exist!\n");
  json none = MirrorLab();
  Controller(none)["pages"]["IocPg6"] = {{"MaxHotSpares", 0}};
  ExpectRefused(HotSpare(none, {"2"}), "volkit: maximum hot spare disks already exist!\n");

  const char* no_mirror = "volkit: No active IM/IME volumes present!\n";
  ExpectRefused(HotSpare(SasLab(4), {"2"}), no_mirror);
  json striped = MirrorLab();
  Controller(striped)["raid"]["volumes"][0]["type"] = "IS";
  ExpectRefused(HotSpare(striped, {"2"}), no_mirror);
  json inactive = MirrorLab();
  Controller(inactive)["raid"]["volumes"][0]["inactive"] = true;
  ExpectRefused(HotSpare(inactive, {"2"}), no_mirror);
}

TEST(HotSpareCommand, TypeMatchOnSas) {
  // A SATA disk against a SAS mirror; then beside a SATA mirror it matches.
  json lab = MirrorLab(6);
  Device(lab, 2)["protocol"] = "sata";
  ExpectRefused(HotSpare(lab, {"2"}), kTypeMismatch);
  Device(lab, 3)["protocol"] = "sata";
  Device(lab, 4)["protocol"] = "sata";
  Controller(lab)["raid"]["phys_disks"].push_back({{"num", 3}, {"target", 3}});
  Controller(lab)["raid"]["phys_disks"].push_back({{"num", 4}, {"target", 4}});
  Controller(lab)["raid"]["volumes"].push_back({{"id", 3}, {"type", "IM"}, {"members", {3, 4}}});
  EXPECT_EQ(HotSpare(lab, {"2"}).status, 0);

  // SSDs: a SATA SSD stands in for SAS SSDs only when the firmware allows the
  // mix; an SSD never for rotating disks, nor a rotating disk for SSDs.
  json ssd = MirrorLab(4);
  for (int i : {0, 1, 2}) Device(ssd, i)["ssd"] = true;
  Device(ssd, 2)["protocol"] = "sata";
  ExpectRefused(HotSpare(ssd, {"2"}), kTypeMismatch);
  Controller(ssd)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  EXPECT_EQ(HotSpare(ssd, {"2"}).status, 0);
  ExpectRefused(HotSpare(ssd, {"3"}), kTypeMismatch);
  json rotating = MirrorLab(4);
  Device(rotating, 2)["ssd"] = true;
  Controller(rotating)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  ExpectRefused(HotSpare(rotating, {"2"}), kTypeMismatch);

  // No device at the target: its device page is missing, so the match fails
  // without a message of its own.
  ExpectRefused(HotSpare(MirrorLab(4), {"9"}), "");
}

TEST(HotSpareCommand, DiskChecksOnParallelScsi) {
  json lab = ScsiMirrorLab();
  // No type match on parallel SCSI: a disk with another medium is taken.
  Device(lab, 2)["ssd"] = true;
  VolkitRun run = HotSpare(lab, {"2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(PageWrites(run, 2, 2).empty());

  ExpectRefused(HotSpare(lab, {"9"}), "volkit: no device with a SCSI ID = 9 was found!\n");
  json volume_id = ScsiMirrorLab();
  Controller(volume_id)["raid"]["volumes"][0]["id"] = 5;
  ExpectRefused(HotSpare(volume_id, {"5"}),
                "volkit: SCSI ID (5) specified is that of a IR volume!\n");
  json odd = ScsiMirrorLab();
  Device(odd, 2)["type"] = 5;
  Device(odd, 3)["removable"] = true;
  for (const char* t : {"2", "3"}) {
    ExpectRefused(HotSpare(odd, {t}), "volkit: SCSI device is not a fixed media disk drive!\n");
  }
  Device(odd, 2)["type"] = 0;
  Device(odd, 2)["block_size"] = 4096;
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
  json lab = MirrorLab(4);
  Controller(lab)["raid"]["volumes"][0]["max_lba"] = 100000000;
  Device(lab, 2)["blocks"] = 100000000;
  Device(lab, 3)["blocks"] = 100000001;
  ExpectRefused(HotSpare(lab, {"2"}), kTooSmall);
  EXPECT_EQ(HotSpare(lab, {"3"}).status, 0);

  // An enhanced mirror of three disks needs the reserve and two shares of
  // MaxLBA / 3: 0x20000 + 2 x 33333333.
  json ime = SasLab(5);
  Controller(ime)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}, {"num": 2, "target": 2}],
    "volumes": [{"id": 0, "type": "IME", "members": [0, 1, 2], "max_lba": 100000001}]})");
  const unsigned long long needed = 0x20000 + 2 * 33333333ull;
  Device(ime, 3)["blocks"] = needed;
  Device(ime, 4)["blocks"] = needed + 1;
  ExpectRefused(HotSpare(ime, {"3"}), kTooSmall);
  EXPECT_EQ(HotSpare(ime, {"4"}).status, 0);

  // On SAS a disk is measured only against mirrors of its own interface; on
  // parallel SCSI against every mirror.
  json two = MirrorLab(6);
  for (int i : {3, 4, 5}) Device(two, i)["protocol"] = "sata";
  Device(two, 3)["blocks"] = 20000000;
  Device(two, 4)["blocks"] = 20000000;
  Device(two, 5)["blocks"] = 30000000;
  Controller(two)["raid"]["phys_disks"].push_back({{"num", 3}, {"target", 3}});
  Controller(two)["raid"]["phys_disks"].push_back({{"num", 4}, {"target", 4}});
  Controller(two)["raid"]["volumes"].push_back({{"id", 3}, {"type", "IM"}, {"members", {3, 4}}});
  EXPECT_EQ(HotSpare(two, {"5"}).status, 0);
  json scsi = ScsiMirrorLab();
  Device(scsi, 2)["blocks"] = 30000000;
  ExpectRefused(HotSpare(scsi, {"2"}), kTooSmall);
}

TEST(HotSpareCommand, UnreadableMemberDevicePageIsMeasuredAllTheSame) {
  // Mirror 0 on SATA targets 0-1 needs more than target 4 holds; mirror 2 on
  // SAS targets 2-3 fits it.  Normally mirror 0 is of the other interface and
  // not measured.
  json lab = MirrorLab(5);
  for (int i : {0, 1}) Device(lab, i)["protocol"] = "sata";
  Device(lab, 4)["blocks"] = 50000000;
  Controller(lab)["raid"]["volumes"][0]["max_lba"] = 60000000;
  Controller(lab)["raid"]["phys_disks"].push_back({{"num", 2}, {"target", 2}});
  Controller(lab)["raid"]["phys_disks"].push_back({{"num", 3}, {"target", 3}});
  Controller(lab)["raid"]["volumes"].push_back(
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
  json last = MirrorLab(4);
  last["faults"] = faulty["faults"];
  ExpectRefused(HotSpare(last, {"2"}), "");
}

TEST(HotSpareCommand, MirrorPageWithoutMembers) {
  // An enhanced mirror whose page lists no member has nothing to measure
  // against (and no share to divide out): it is passed over.
  json lab = ScsiMirrorLab();
  Controller(lab)["raid"]["volumes"][0]["type"] = "IME";
  Controller(lab)["raid"]["volumes"][0]["page_bytes"] = {{"36", "00"}};
  VolkitRun run = HotSpare(lab, {"2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
}

TEST(HotSpareCommand, BootDeviceStopsAtAHotSpare) {
  json lab = MirrorLab(4);
  Device(lab, 2)["sas_address"] = "0x5000d31000a1c201";
  Controller(lab)["pages"]["BiosPg2"] = {{"BootDeviceAddress", "0x5000d31000a1c201"}};
  VolkitRun run = HotSpare(lab, {"2"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<ByteVector> writes = PageWrites(run, 2, 2);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(ByteVector(writes[0].begin() + 32, writes[0].begin() + 40), ByteVector(8, 0));
  // Another disk as the boot device stays so.
  EXPECT_TRUE(PageWrites(HotSpare(lab, {"3"}), 2, 2).empty());
}

}  // namespace
}  // namespace volkit_test
