// Member state refusals, the IR switch over the RAID actions, the enclosure
// processor's locate LED and a disk that takes its time to format.
#include <gtest/gtest.h>

#include <cerrno>

#include "document/state_file.h"
#include "firmware/firmware.h"
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

// SEP request for enclosure 1, slot 2; action 0 writes `status`.
Exchange Slot(Firmware& fw, uint8_t action, uint32_t status = 0) {
  Bytes f(32, 0);
  f[3] = 0x18;
  f[4] = action;
  f[5] = 1;
  vxtsim::Put32(f, 12, status);
  vxtsim::Put16(f, 28, 2);
  vxtsim::Put16(f, 30, 1);
  return fw.Send({0, f});
}

TEST(LocateLed, LitByTheIdentifyBitWhetherOrNotTheProcessorReportsIt) {
  for (bool reports : {true, false}) {
    SCOPED_TRACE(reports);
    json lab = volkit_test::SasLab(3);
    if (!reports) lab["controllers"][0]["enclosures"][0]["reports_identify"] = false;
    Firmware fw(vxtsim::StateFromLab(lab));
    uint32_t shown = reports ? 0x20007 : 0x7;
    EXPECT_EQ(vxtsim::Get32(Slot(fw, 0, 0x20007).reply, 20), shown);
    EXPECT_EQ(vxtsim::Get32(Slot(fw, 1).reply, 20), shown);
    vxtsim::Model model = vxtsim::ModelOf(fw.state(), "state");
    EXPECT_TRUE(vxtsim::LocateLedLit(model.controllers[0].enclosures[0], 2));
    EXPECT_FALSE(vxtsim::LocateLedLit(model.controllers[0].enclosures[0], 1));

    // A host that writes back what it read: the echoing processor keeps the
    // LED lit, the other one puts it out.
    Slot(fw, 0, vxtsim::Get32(Slot(fw, 1).reply, 20));
    model = vxtsim::ModelOf(fw.state(), "state");
    EXPECT_EQ(vxtsim::LocateLedLit(model.controllers[0].enclosures[0], 2), reports);
  }
}

Bytes FormatFrame(uint8_t target) {
  Bytes f(30, 0);
  f[0] = target;
  f[4] = 6;
  f[24] = 0x04;
  return f;
}

TEST(FormatDuration, LongerThanTheTimeoutEndsInTheDriversTimeout) {
  json lab = volkit_test::SasLab(2);
  json& devices = lab["controllers"][0]["devices"];
  devices[0]["format_ms"] = 10000;  // the fixture's requests time out after 10 s
  devices[1]["format_ms"] = 10001;
  for (json& d : devices) d["block_data"] = {{"0", "eb"}};
  Firmware fw(vxtsim::StateFromLab(lab));
  Exchange done = fw.Send({0, FormatFrame(0)});
  EXPECT_EQ(done.result, 0);
  EXPECT_EQ(done.status(), 0);
  Exchange late = fw.Send({0, FormatFrame(1)});
  EXPECT_EQ(late.result, -1);
  EXPECT_EQ(late.err, ETIMEDOUT);
  EXPECT_EQ(late.reply, Bytes(128, 0xFF));
  // The disk formatted all the same.
  for (const json& d : fw.state()["controllers"][0]["devices"])
    EXPECT_FALSE(d.contains("block_data"));
}

}  // namespace
}  // namespace vxtsim_test
