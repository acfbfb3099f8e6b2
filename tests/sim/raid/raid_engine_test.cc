// The RAID actions on physical disks and member states, the mirror's blocks
// on its members, and fault rules on the actions; refusals leave everything
// as it was.
#include <gtest/gtest.h>

#include <vector>

#include "document/state_file.h"
#include "sim/raid/raid_engine_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get32;

TEST(RaidPhysDisks, CreateNumbersTheDiskAndHidesItFromPlainIo) {
  Firmware fw = Disks();
  EXPECT_EQ(PhysDisk(fw, 1), 0);
  EXPECT_EQ(PhysDisk(fw, 0), 1);
  Bytes page = fw.ReadPage(0, 1, 10, 0, 1).data;
  EXPECT_EQ(page[4], 0);
  EXPECT_EQ(page[10], 0);
  EXPECT_EQ(std::string(page.begin() + 40, page.begin() + 68), "ORBITAL OD73SAS15K      0004");
  EXPECT_EQ(Get32(page, 104), k73 - 1);
  EXPECT_EQ(Scsi(fw, 0x00, 0, kInquiry, 36).status(), 0x43);
  EXPECT_EQ(Scsi(fw, 0x16, 1, kInquiry, 36).status(), 0);

  // A deleted disk's number is the next one given; the disk answers again.
  ASSERT_EQ(fw.RaidAction(0, 14, 0, 0, 0, 0).action_status(), 0);
  EXPECT_EQ(Scsi(fw, 0x00, 1, kInquiry, 36).status(), 0);
  EXPECT_EQ(PhysDisk(fw, 2, 1), 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 0).data[10], 1);
  EXPECT_EQ(fw.ReadPage(0, 1, 1, 5).data[8], 1);  // listed as a hot spare
}

TEST(RaidPhysDisks, RefusalsLeaveTheConfigurationAsItWas) {
  Firmware fw =
      Disks(R"({"pages": {"IocPg2": {"MaxPhysDisks": 3}, "IocPg6": {"MaxHotSpares": 1}}})");
  PhysDisk(fw, 0);
  PhysDisk(fw, 1, 1);
  json before = Raid(fw);
  EXPECT_EQ(CreatePhysDisk(fw, 6).action_status(), 2);             // no disk there
  EXPECT_EQ(CreatePhysDisk(fw, 0).action_status(), 4);             // already one
  EXPECT_EQ(CreatePhysDisk(fw, 2, 1).action_status(), 5);          // one hot spare at most
  EXPECT_EQ(fw.RaidAction(0, 13, 0, 0, 0, 0).action_status(), 1);  // no image
  EXPECT_EQ(fw.RaidAction(0, 13, 0, 0, 0, 0, fw.BlankPage(0, 8, 0)).action_status(), 1);
  EXPECT_EQ(fw.RaidAction(0, 14, 0, 0, 9, 0).action_status(), 2);
  EXPECT_EQ(Raid(fw), before);
  PhysDisk(fw, 2);
  EXPECT_EQ(CreatePhysDisk(fw, 3).action_status(), 5);  // three disks at most

  Firmware off = Disks(R"({"runtime": {"ir_disabled": true}})");
  EXPECT_EQ(CreatePhysDisk(off, 0).action_status(), 5);
}

// Each type's largest volume on its members is accepted and one block more
// refused, whatever the host's arithmetic asked for.

TEST(RaidMemberState, OfflineKeepsOneGoodCopyAndOnlineResynchronises) {
  Firmware fw = Disks();
  for (uint8_t t : {0, 1, 2, 3}) PhysDisk(fw, t);
  uint8_t spare = PhysDisk(fw, 4, 1);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, 99999, kMirror, 1), 0);
  ASSERT_EQ(CreateVolume(fw, kIS, 2, 99999, Positions({2, 3}), 3), 0);
  Bytes image = fw.BlankPage(0, 10, 0);
  ASSERT_EQ(fw.RaidAction(0, 10, 0, 0, 1, 0, image).action_status(), 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 1).data[101], 5);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 0).data[9], 1);
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 0, 0, image).action_status(), 4);  // the last copy
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 2, 0).action_status(), 4);         // a stripe member
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, spare, 0).action_status(), 1);
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 9, 0).action_status(), 2);

  ASSERT_EQ(fw.RaidAction(0, 11, 0, 0, 1, 0).action_status(), 0);
  Bytes member = fw.ReadPage(0, 1, 10, 0, 1).data;
  EXPECT_EQ(member[101], 0);
  EXPECT_EQ(member[100], 1);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 0).data[8], 0x05);
  // While it catches up the primary is the only good copy.
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 0, 0).action_status(), 4);
}

TEST(RaidMirrorData, MembersHoldTheMirrorsBlocks) {
  Firmware fw = Disks();
  fw.state()["controllers"][0]["devices"][0]["block_data"] = {{"0", "eb3c90"}};
  for (uint8_t t : {0, 1}) PhysDisk(fw, t);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, 99999, kMirror, 0), 0);
  auto member_block = [&fw](uint8_t num, uint8_t lba) {
    return Scsi(fw, 0x16, num, {0x08, 0, 0, lba, 1, 0}, 512).data;
  };
  Bytes boot = member_block(1, 0);
  EXPECT_EQ(Bytes(boot.begin(), boot.begin() + 3),
            (Bytes{0xEB, 0x3C, 0x90}));  // the secondary is given the primary's data

  Bytes block(512, 0x5A);
  ASSERT_EQ(Scsi(fw, 0x00, 0, {0x0A, 0, 0, 5, 1, 0}, 0, block).status(), 0);
  EXPECT_EQ(member_block(0, 5), block);
  EXPECT_EQ(member_block(1, 5), block);

  // What is written while a member is offline reaches it when it is back.
  ASSERT_EQ(fw.RaidAction(0, 10, 0, 0, 1, 0).action_status(), 0);
  Bytes later(512, 0xC3);
  ASSERT_EQ(Scsi(fw, 0x00, 0, {0x0A, 0, 0, 6, 1, 0}, 0, later).status(), 0);
  EXPECT_EQ(member_block(1, 6), Bytes(512, 0));
  ASSERT_EQ(fw.RaidAction(0, 11, 0, 0, 1, 0).action_status(), 0);
  EXPECT_EQ(member_block(1, 6), later);
  ASSERT_EQ(fw.RaidAction(0, 3, 0, 0, 0, 1).action_status(), 0);
  EXPECT_EQ(member_block(1, 6), later);  // the disks keep it when the volume goes
}

TEST(RaidFaults, ActionStatusForTheNthActionOfACodeDoesNothing) {
  json lab = volkit_test::SasLab(3);
  lab["faults"] = volkit_test::Lab(
      R"([{"match": {"raid_action": 13}, "effect": {"action_status": 1}, "nth": 2}])");
  Firmware fw(vxtsim::StateFromLab(lab));
  EXPECT_EQ(PhysDisk(fw, 0), 0);
  json before = Raid(fw);
  EXPECT_EQ(CreatePhysDisk(fw, 1).action_status(), 1);
  EXPECT_EQ(Raid(fw), before);
  EXPECT_EQ(PhysDisk(fw, 1), 1);
  EXPECT_EQ(fw.state()["faults"][0]["hits"], 3);
}

}  // namespace
}  // namespace vxtsim_test
