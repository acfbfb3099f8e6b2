// HOTSPARE create and delete, run through the binary: the usage forms, what
// a creation sends, deleting only a hot spare, more hot spares than the list
// records, and the boot device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setcfg/hotspare_expect.h"
#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

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

TEST(HotSpareCommand, UsageForms) {
  VolkitRun run = HotSpare(SasMirrorLab(), {});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kUsage);
  EXPECT_EQ(run.out, kBanner);
  run = HotSpare(SasMirrorLab(), {"delete", "2", "3"});
  EXPECT_EQ(run.err, kUsage);
  // The keyword without a drive, or a drive with one word too many, goes to
  // standard output.
  for (std::vector<std::string> words : {std::vector<std::string>{"DELETE"}, {"2", "3"}}) {
    run = HotSpare(SasMirrorLab(), words);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, std::string(kBanner) + kUsage);
    EXPECT_TRUE(RaidActions(run).empty());
  }
  ExpectRefused(HotSpare(SasMirrorLab(), {"x2"}), "",
                "volkit: Invalid targetId specified for disk : \"x2\"!\n");
}

TEST(HotSpareCommand, CreateThenDelete) {
  VolkitRun made = HotSpare(SasMirrorLab(), {"1:2"});
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
  json lab = SasMirrorLab();
  LabController(lab)["raid"]["phys_disks"].push_back(
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
  json lab = SasMirrorLab(14);
  LabController(lab)["pages"]["IocPg6"] = {{"MaxHotSpares", 12}};
  LabController(lab)["pages"]["IocPg2"] = {{"MaxPhysDisks", 16}};
  for (int t = 2; t < 12; ++t) {
    LabController(lab)["raid"]["phys_disks"].push_back(
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

TEST(HotSpareCommand, BootDeviceStopsAtAHotSpare) {
  json lab = SasMirrorLab(4);
  LabDevice(lab, 2)["sas_address"] = "0x5000d31000a1c201";
  LabController(lab)["pages"]["BiosPg2"] = {{"BootDeviceAddress", "0x5000d31000a1c201"}};
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
