// AUTO and AUTO1 through the binary: which drives the scan takes, the caps to
// the controller's limits, the dialogue after the scan, and SAS mode.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kPrompts[] =
    "You are about to create an IR volume. \n\n"
    "WARNING: Proceeding with this operation may cause data loss or data\n"
    "         corruption. Are you sure you want to proceed (YES/NO)? "
    "\nWARNING: This is you last chance to abort this operation. Do you wish\n"
    "         to abort (YES/NO)? ";
constexpr int kScsiIo = 0x00;

json& Controller(json& lab, int i = 0) { return lab["controllers"][i]; }
json& Device(json& lab, int i) { return Controller(lab)["devices"][i]; }

VolkitRun Auto(const json& lab, std::vector<std::string> words, const std::string& answers = "") {
  words.insert(words.begin(), {"0", "auto"});
  return RunVolkit(lab, words, answers);
}

// The target IDs of the members of the volume at `volume_id`, in member order.
std::vector<int> MemberTargets(const VolkitRun& run, int volume_id, int controller = 0) {
  const json& raid = run.state["controllers"][controller]["raid"];
  std::vector<int> targets;
  for (const json& v : raid["volumes"]) {
    if (v["id"] != volume_id) continue;
    for (const json& m : v["members"]) {
      int num = m.is_object() ? m["num"].get<int>() : m.get<int>();
      for (const json& pd : raid["phys_disks"]) {
        if (pd["num"] == num) targets.push_back(pd["target"].get<int>());
      }
    }
  }
  return targets;
}

std::vector<int> Range(int first, int end) {
  std::vector<int> v;
  for (int t = first; t < end; ++t) v.push_back(t);
  return v;
}

void ExpectTooFew(const VolkitRun& run, const char* type, int minimum) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: at least " + std::to_string(minimum) +
                         " drives must be available for " + type + " creation.\n");
  EXPECT_EQ(run.out.find("Volume creation failed"), std::string::npos);
  EXPECT_TRUE(RaidActions(run).empty());
}

TEST(AutoCommand, ArgumentCountAndSyncWord) {
  const std::string usage =
      "  The format of the AUTO command is\n"
      "    volkit <controller #> auto <volume type> <size>\n"
      "    [qsync] [noprompt]\n"
      "      where <controller #> is:\n"
      "          A controller number between 0 and 255 OR\n"
      "          'SAS' to configure all SAS controllers\n"
      "      where <volume type> is:\n"
      "          The type of the volume to create and is either IM/RAID1 (or)\n"
      "          IME/RAID1E (or) IS/RAID0.\n"
      "      where <size> is:\n"
      "          The size of the volume to create. It should be given in Mbytes\n"
      "          e.g. 2048 or 'MAX' to use the maximum size possible.\n"
      "      where qsync specifies that the user desires a quick\n"
      "          synchronization of the two drives in an IM volume\n"
      "      where noprompt is an optional argument that eliminates\n"
      "          warnings and prompts\n\n";
  for (std::vector<std::string> words :
       {std::vector<std::string>{"im"}, {"im", "max", "qsync", "noprompt", "x"}}) {
    VolkitRun run = Auto(SasLab(2), words);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "volkit: Incorrect number of command line parameters for 'AUTO' command!\n");
    EXPECT_EQ(run.out, kBanner + usage);
  }
  // CREATE's type and size rules, before any drive is looked at.
  VolkitRun run = Auto(SasLab(2), {"raid5", "max", "noprompt"});
  EXPECT_EQ(run.err, "volkit: Invalid RAID volume type specified  \"raid5\"!\n");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
  run = Auto(SasLab(2), {"im", "5M", "noprompt"});
  EXPECT_EQ(run.err, "volkit: Invalid size specification \"5M\"!\n");

  run = Auto(SasLab(2), {"IM", "MAX", "Bogus", "noprompt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: Invalid sync option specified  \"bogus\"!\n");
  EXPECT_TRUE(run.Ioctls(kScsiIo).empty());
  // The sync word counts only as the lone word after the size.
  run = Auto(SasLab(2), {"im", "max", "QSYNC", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RaidActions(run).back().DataWord, 1u);
  run = Auto(SasLab(2), {"im", "max", "5", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RaidActions(run).back().DataWord, 0u);
  run = Auto(SasLab(2), {"im", "max", "qsync", "qsync"}, "yes\nno\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(RaidActions(run).back().DataWord, 0u);
}

TEST(AutoCommand, CapacityBand) {
  json lab = SasLab(3);
  Device(lab, 0)["blocks"] = 71132960;
  ExpectTooFew(Auto(lab, {"im", "max", "noprompt"}), "IM", 2);
  VolkitRun run = RunVolkit(lab, {"0", "AUTO1", "im", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));
  // A drive just inside the band is taken, one just outside is not.
  Device(lab, 1)["blocks"] = 71132960 + 0x200000;
  Device(lab, 2)["blocks"] = 71132960 + 0x200001;
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
  Controller(lab)["pages"]["IocPg6"] = {{"MaxDrivesIS", 10}};
  Controller(lab)["pages"]["IocPg2"] = {{"MaxPhysDisks", 9}};
  Controller(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 2), Range(2, 9));
  // No room at all.
  Controller(lab)["pages"]["IocPg2"] = {{"MaxPhysDisks", 2}};
  ExpectTooFew(Auto(lab, {"is", "max", "noprompt"}), "IS", 2);

  // More fitting drives than the candidate list holds: the first twenty.
  json many = SasLab(24);
  Controller(many)["port_facts"] = {{"device_limit", 32}};
  Controller(many)["pages"]["IocPg6"] = {{"MaxDrivesIS", 30}};
  Controller(many)["pages"]["IocPg2"] = {{"MaxPhysDisks", 40}};
  run = Auto(many, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 20));

  // IME takes three to eight.
  ExpectTooFew(Auto(SasLab(2), {"ime", "max", "noprompt"}), "IME", 3);
  run = Auto(SasLab(3), {"ime", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 3));
}

TEST(AutoCommand, UnreadableControllerPagesEndSilently) {
  json lab = SasLab(4);
  Controller(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  for (const char* page : {"IocPg2", "RaidVolPg0"}) {
    lab["faults"] = json::array({{{"match", {{"page", page}, {"action", 1}}},
                                  {"first", 1},
                                  {"effect", {{"ioc_status", "0x0004"}}}}});
    VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
    EXPECT_EQ(run.status, 1) << page;
    EXPECT_EQ(run.err, "") << page;
    EXPECT_EQ(run.out, kBanner) << page;
    EXPECT_TRUE(run.Ioctls(kScsiIo).empty()) << page;
  }
}

TEST(AutoCommand, FirmwareMinimumsBelowWhatTheBuildersNeed) {
  // A firmware that claims a mirror of one drive, or a stripe of none, gets
  // the count message instead of a build that cannot start.
  json lab = SasLab(1);
  Controller(lab)["pages"]["IocPg6"] = {
      {"MinDrivesIM", 0}, {"MinDrivesIME", 1}, {"MinDrivesIS", 0}};
  ExpectTooFew(Auto(lab, {"im", "max", "noprompt"}), "IM", 2);
  ExpectTooFew(Auto(lab, {"ime", "max", "noprompt"}), "IME", 2);
  Controller(lab)["devices"] = json::array();
  ExpectTooFew(Auto(lab, {"is", "max", "noprompt"}), "IS", 1);
}

TEST(AutoCommand, InterfaceAndMediumMixes) {
  json lab = SasLab(3);
  Device(lab, 0)["ssd"] = true;
  Device(lab, 1)["ssd"] = true;
  Device(lab, 1)["protocol"] = "sata";
  ExpectTooFew(Auto(lab, {"is", "max", "noprompt"}), "IS", 2);
  Controller(lab)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  // The rotating SAS disk at 2 never joins SSDs.
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));

  // Rotating disks of both interfaces do not mix, whatever the flag says.
  json rotating = SasLab(4);
  Device(rotating, 1)["protocol"] = "sata";
  Controller(rotating)["pages"]["ManufacturingPg4"] = {{"IrFlags", 0x40}};
  run = Auto(rotating, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 2, 3}));
}

TEST(AutoCommand, DrivesNeverSelected) {
  // Mirror 20 on targets 0 and 1, a hot spare at 2, a CD-ROM at 3, a
  // removable disk at 4, 520-byte blocks at 5; only 6 and 7 are free disks.
  json lab = SasLab(8);
  Controller(lab)["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2, "hot_spare_pool": 1}],
    "volumes": [{"id": 20, "type": "IM", "members": [0, 1]}]})");
  Device(lab, 3)["type"] = 5;
  Device(lab, 4)["removable"] = true;
  Device(lab, 5)["block_size"] = 520;
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
  Device(lab, 1)["ssd"] = true;  // no medium rule on parallel SCSI
  // Without IocPg6 the parallel-SCSI stripe takes six drives at the most.
  Controller(lab)["pages"]["IocPg6"] = {{"absent", true}};
  VolkitRun run = Auto(lab, {"is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), Range(0, 6));
}

TEST(AutoCommand, BuiltInLab) {
  // Controller 1 has no volume; its disk at 2 is outside the band of 0.
  VolkitRun run = RunVolkit(DefaultLab(), {"1", "auto", "is", "max", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0, 1), (std::vector<int>{0, 1}));
}

TEST(AutoCommand, DialogueComesAfterTheScan) {
  json lab = SasLab(1);
  VolkitRun run = Auto(lab, {"im", "max"}, "yes\nno\n");
  EXPECT_EQ(run.out, std::string(kBanner) + kPrompts);
  ExpectTooFew(run, "IM", 2);
  run = Auto(SasLab(2), {"im", "max"}, "no\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(run.Ioctls(kScsiIo).empty());
  EXPECT_TRUE(RaidActions(run).empty());
  run = Auto(SasLab(2), {"im", "max"}, "YES\nNO\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MemberTargets(run, 0), (std::vector<int>{0, 1}));
}

// SAS controllers 0, 2 and 3 with a parallel-SCSI controller 1 between them;
// controller 2 has a single disk.
json SeveralControllers() {
  json lab = SasLab(2);
  json scsi = Lab(R"({"number": 1, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960}]})");
  json one = SasLab(1)["controllers"][0];
  one["number"] = 2;
  json three = SasLab(3)["controllers"][0];
  three["number"] = 3;
  lab["controllers"].push_back(scsi);
  lab["controllers"].push_back(one);
  lab["controllers"].push_back(three);
  return lab;
}

TEST(AutoCommand, EverySasControllerInTurn) {
  VolkitRun run = RunVolkit(SeveralControllers(), {"Sas", "auto", "im", "max", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "volkit: at least 2 drives must be available for IM creation.\n"
            "volkit: command failed for controller 2!\n");
  EXPECT_EQ(MemberTargets(run, 0, 0), (std::vector<int>{0, 1}));
  EXPECT_EQ(MemberTargets(run, 0, 3), (std::vector<int>{0, 1}));
  for (int c : {1, 2}) EXPECT_FALSE(run.state["controllers"][c].contains("raid")) << c;
  std::set<int> touched;
  for (const json& line : run.Ioctls(0x15)) touched.insert(line["controller"].get<int>());
  EXPECT_EQ(touched, (std::set<int>{0, 3}));

  // Each SAS controller asks on its own; the answers for controller 0 do not
  // carry over to the next.
  run = RunVolkit(SeveralControllers(), {"sas", "auto1", "is", "max"}, "yes\nno\n");
  EXPECT_EQ(run.status, 0);
  const std::string first_question(kPrompts, std::string(kPrompts).find("\nWARNING: This is"));
  EXPECT_EQ(run.out, kBanner + std::string(kPrompts) + first_question + first_question);
  const std::string aborted =
      "volkit: you must answer \"YES\" or \"yes\" to proceed; operation aborted!\n";
  EXPECT_EQ(run.err, aborted + "volkit: command failed for controller 2!\n" + aborted +
                         "volkit: command failed for controller 3!\n");
  EXPECT_EQ(MemberTargets(run, 0, 0), (std::vector<int>{0, 1}));
  EXPECT_FALSE(run.state["controllers"][3].contains("raid"));
}

}  // namespace
}  // namespace volkit_test
