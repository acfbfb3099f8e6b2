// Member state actions: requests for the state a disk is already in are
// refused, and with the IR capability switched off only progress is answered.
#include <gtest/gtest.h>

#include "document/state_file.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

// Mirror 0 of disks 0 and 1, stripe set 2 of disks 2 and 3, spare 4.
Firmware Configured(const std::string& runtime = "{}") {
  json lab = volkit_test::SasLab(5);
  json& ctl = lab["controllers"][0];
  ctl["pages"] = volkit_test::Lab(R"({"IocPg2": {"MaxVolumes": 3}})");
  ctl["raid"] = volkit_test::Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}, {"num": 2, "target": 2},
                   {"num": 3, "target": 3}, {"num": 4, "target": 4, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]},
                {"id": 2, "type": "IS", "members": [2, 3]}]})");
  ctl["runtime"] = volkit_test::Lab(runtime);
  return Firmware(vxtsim::StateFromLab(lab));
}

json Raid(Firmware& fw) { return fw.state()["controllers"][0]["raid"]; }

TEST(MemberStateFirmware, RequestsForTheStateADiskIsInAreRefused) {
  Firmware fw = Configured();
  json before = Raid(fw);
  EXPECT_EQ(fw.RaidAction(0, 11, 0, 0, 1, 0).action_status(), 4);  // online already
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 9, 0).action_status(), 2);  // no such disk
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 2, 0).action_status(), 4);  // a stripe member
  EXPECT_EQ(fw.RaidAction(0, 11, 0, 0, 3, 0).action_status(), 4);
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 4, 0).action_status(), 1);  // a spare, in no volume
  EXPECT_EQ(Raid(fw), before);

  ASSERT_EQ(fw.RaidAction(0, 10, 0, 0, 1, 0).action_status(), 0);
  before = Raid(fw);
  EXPECT_EQ(fw.RaidAction(0, 10, 0, 0, 1, 0).action_status(), 4);  // offline already
  EXPECT_EQ(Raid(fw), before);

  // Back online, the member is resynchronised until progress has walked
  // the volume.
  ASSERT_EQ(fw.RaidAction(0, 11, 0, 0, 1, 0).action_status(), 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 0).data[8], 0x05);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 1).data[100], 1);
  uint64_t left = 1;
  for (int i = 0; i < 9 && left; ++i)
    left = vxtsim::Get64(fw.RaidAction(0, 1, 0, 0, 0, 0).reply, 32);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 0).data[8], 0x01);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 0).data[9], 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 1).data[100], 0);
}

TEST(MemberStateFirmware, WithIrDisabledOnlyProgressIsAnswered) {
  Firmware fw = Configured(R"({"ir_disabled": true})");
  json before = Raid(fw);
  Bytes disk = fw.BlankPage(0, 10, 0);
  disk[4] = 4;
  struct Case {
    uint8_t action, volume, num;
    Bytes data;
  } cases[] = {{2, 0, 0, fw.BlankPage(0, 8, 0)},
               {3, 0, 0, {}},
               {10, 0, 1, {}},
               {11, 0, 1, {}},
               {13, 0, 0, disk},
               {14, 0, 4, {}}};
  for (const Case& c : cases) {
    EXPECT_EQ(fw.RaidAction(0, c.action, c.volume, 0, c.num, 0, c.data).action_status(), 5)
        << int{c.action};
  }
  EXPECT_EQ(fw.RaidAction(0, 1, 0, 0, 0, 0).action_status(), 0);
  EXPECT_EQ(fw.RaidAction(0, 7, 0, 0, 0, 0).action_status(), 1);  // unknown all the same
  EXPECT_EQ(Raid(fw), before);
}

}  // namespace
}  // namespace vxtsim_test
