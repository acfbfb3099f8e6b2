// The volume actions: sizes a volume's members hold, creation and its
// refusals, resynchronisation, and deletion; refusals leave everything as it
// was.
#include <gtest/gtest.h>

#include <vector>

#include "sim/raid/raid_engine_fixture.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get32;

TEST(RaidVolumeSize, AcceptedAtTheExactCapacityAndRefusedOneBlockAbove) {
  struct Case {
    const char* what;
    uint8_t type;
    std::vector<uint8_t> targets;
    std::string patch;
    uint64_t blocks;
  };
  const uint64_t usable = k73 - kReserve;
  const std::vector<Case> cases = {
      {"mirror: the smaller member", kIM, {0, 2}, "{}", k73},
      {"stripes: the smallest usable part on each", kIS, {0, 1, 2}, "{}", usable * 3},
      {"enhanced mirror: half of that", kIME, {0, 1, 2}, "{}", usable * 3 / 2},
      {"512 MiB reserve",
       kIME,
       {0, 1, 2},
       R"({"pages": {"ManufacturingPg4": {"ImeVolumeSettings": "0x40"}}})",
       (k73 - 0x100000) * 3 / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Firmware fw = Disks(c.patch);
    std::vector<uint8_t> nums;
    for (uint8_t t : c.targets) nums.push_back(PhysDisk(fw, t));
    std::vector<Member> members = c.type == kIM ? kMirror : Positions(nums);
    EXPECT_EQ(CreateVolume(fw, c.type, 0, c.blocks, members), 6);
    EXPECT_TRUE(Raid(fw)["volumes"].empty());
    ASSERT_EQ(CreateVolume(fw, c.type, 0, c.blocks - 1, members), 0);
    EXPECT_EQ(Get32(fw.ReadPage(0, 1, 8, 0, 0).data, 16), c.blocks - 1);
  }

  // What the host builds for the worked sizes fits, a quick-sync mirror of
  // an explicit size included.
  Firmware fw = Disks();
  for (uint8_t t : {0, 1}) PhysDisk(fw, t);
  EXPECT_EQ(CreateVolume(fw, kIM, 0, 143359998, kMirror, 1), 0);
}

TEST(RaidVolumeSize, HighAddressesNeedTheCapability) {
  for (const char* flags : {"0x7", "0x10000007"}) {
    SCOPED_TRACE(flags);
    Firmware fw = Disks(R"({"pages": {"IocPg2": {"CapabilityFlags": ")" + std::string(flags) +
                        R"("}}, "devices": [{"target": 0, "blocks": 1953525168},
                        {"target": 1, "blocks": 1953525168}, {"target": 2, "blocks": 1953525168}]})");
    for (uint8_t t : {0, 1, 2}) PhysDisk(fw, t);
    EXPECT_EQ(CreateVolume(fw, kIS, 0, 5859373055, Positions({0, 1, 2})),
              std::string(flags) == "0x7" ? 5 : 0);
  }
}

TEST(RaidVolumeCreate, RefusesMembersAndLimitsWithoutChangingAnything) {
  Firmware fw = Disks(R"({"pages": {"IocPg2": {"CapabilityFlags": "0x5"},
                                    "IocPg6": {"MaxDrivesIS": 3}}})");
  for (uint8_t t : {0, 1, 2, 3}) PhysDisk(fw, t);
  uint8_t spare = PhysDisk(fw, 4, 1);
  json before = Raid(fw);
  EXPECT_EQ(CreateVolume(fw, kIME, 0, 1000, Positions({0, 1, 2})), 5);    // not supported
  EXPECT_EQ(CreateVolume(fw, kIS, 0, 1000, Positions({0})), 5);           // too few
  EXPECT_EQ(CreateVolume(fw, kIS, 0, 1000, Positions({0, 1, 2, 3})), 5);  // too many
  EXPECT_EQ(CreateVolume(fw, kIM, 0, 1000, {{0, 1}, {spare, 2}}), 4);
  EXPECT_EQ(CreateVolume(fw, kIM, 0, 1000, {{0, 1}, {7, 2}}), 2);
  EXPECT_EQ(CreateVolume(fw, kIM, 0, 1000, {{0, 1}, {0, 2}}), 1);
  EXPECT_EQ(CreateVolume(fw, kIM, 0, 1000, {{0, 1}, {1, 1}}), 1);  // two primaries
  EXPECT_EQ(CreateVolume(fw, kIM, 5, 1000, kMirror), 4);           // target 5 is another disk
  Bytes image = VolumeImage(fw, kIM, 0, 1000, kMirror);
  EXPECT_EQ(fw.RaidAction(0, 2, 1, 0, 0, 0, image).action_status(), 1);  // frame names ID 1
  image.resize(image.size() - 4);
  EXPECT_EQ(fw.RaidAction(0, 2, 0, 0, 0, 0, image).action_status(), 1);
  EXPECT_EQ(Raid(fw), before);

  ASSERT_EQ(CreateVolume(fw, kIM, 0, 1000, kMirror), 0);
  EXPECT_EQ(CreateVolume(fw, kIS, 0, 1000, Positions({2, 3})), 4);  // ID taken
  EXPECT_EQ(CreateVolume(fw, kIS, 1, 1000, Positions({1, 2})), 4);  // a member already
  ASSERT_EQ(CreateVolume(fw, kIS, 2, 1000, Positions({2, 3})), 0);
  EXPECT_EQ(CreateVolume(fw, kIS, 4, 1000, Positions({spare, 3})), 5);  // two volumes at most
}

TEST(RaidVolumeCreate, QuickSyncOrBackgroundResynchronisation) {
  Firmware fw = Disks(R"({"pages": {"IocPg2": {"MaxVolumes": 3}}})");
  for (uint8_t t : {0, 1, 2, 3, 4, 5}) PhysDisk(fw, t);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, 999, kMirror, 1), 0);
  ASSERT_EQ(CreateVolume(fw, kIM, 2, 1999, {{2, 1}, {3, 2}}, 0), 0);
  ASSERT_EQ(CreateVolume(fw, kIS, 4, 2999, Positions({4, 5}), 3), 0);

  Bytes quick = fw.ReadPage(0, 1, 8, 0, 0).data;
  EXPECT_EQ(quick[8], 0x01);  // enabled
  EXPECT_EQ(quick[9], 0);     // optimal
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 1).data[100], 0);
  EXPECT_EQ(vxtsim::Get64(fw.RaidAction(0, 1, 0, 0, 0, 0).reply, 32), 0u);

  Bytes full = fw.ReadPage(0, 1, 8, 0, 2).data;
  EXPECT_EQ(full[8], 0x05);  // enabled, resynchronising
  EXPECT_EQ(full[9], 1);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 2).data[100], 0);  // the primary is the source
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 3).data[100], 1);  // the secondary is out of sync
  Exchange progress = fw.RaidAction(0, 1, 2, 0, 0, 0);
  EXPECT_EQ(vxtsim::Get64(progress.reply, 24), 2000u);
  EXPECT_EQ(vxtsim::Get64(progress.reply, 32), 2000u);

  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 4).data[8], 0x01);  // stripes have nothing to copy
  // An enhanced mirror synchronises whatever the data word says.
  ASSERT_EQ(fw.RaidAction(0, 3, 4, 0, 0, 3).action_status(), 0);
  ASSERT_EQ(CreateVolume(fw, kIME, 4, 2999, Positions({4, 5, 0}), 3), 4);  // 0 is a member
  ASSERT_EQ(fw.RaidAction(0, 3, 0, 0, 0, 1).action_status(), 0);
  ASSERT_EQ(CreateVolume(fw, kIME, 4, 2999, Positions({4, 5, 0}), 1), 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 4).data[8], 0x05);
}

TEST(RaidVolumeCreate, NewVolumeIsADiskOfItsSizeAtItsId) {
  Firmware fw = Disks();
  for (uint8_t t : {0, 1}) PhysDisk(fw, t);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, 99999, kMirror, 1), 0);
  Exchange capacity = Scsi(fw, 0x00, 0, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  ASSERT_EQ(capacity.status(), 0);
  EXPECT_EQ(Bytes(capacity.data.begin(), capacity.data.begin() + 4), (Bytes{0, 1, 0x86, 0x9F}));
  EXPECT_EQ(Scsi(fw, 0x00, 1, kInquiry, 36).status(), 0x43);  // a member, not a volume

  Bytes written(64 * 512, 0);
  written[0] = 0xEB;
  written[63 * 512 + 511] = 0x55;
  ASSERT_EQ(Scsi(fw, 0x00, 0, Cdb6(0x0A, 64), 0, written).status(), 0);
  EXPECT_EQ(Scsi(fw, 0x00, 0, Cdb6(0x08, 64), written.size()).data, written);
  uint64_t wwid = vxtsim::Get64(fw.ReadPage(0, 1, 8, 1, 0).data, 64);
  EXPECT_NE(wwid, 0u);

  // Made again at the same ID it is a new device; a quick sync leaves the
  // members' blocks as they were.
  ASSERT_EQ(fw.RaidAction(0, 3, 0, 0, 0, 1).action_status(), 0);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, 99999, kMirror, 1), 0);
  EXPECT_NE(vxtsim::Get64(fw.ReadPage(0, 1, 8, 1, 0).data, 64), wwid);
  EXPECT_EQ(Scsi(fw, 0x00, 0, Cdb6(0x08, 64), written.size()).data, written);
}

TEST(RaidVolumeDelete, PhysDisksStayUntilEachIsDeleted) {
  Firmware fw = Disks();
  for (uint8_t t : {0, 1}) PhysDisk(fw, t);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, 99999, kMirror, 0), 0);
  EXPECT_EQ(fw.RaidAction(0, 14, 0, 0, 0, 0).action_status(), 4);  // still a member
  EXPECT_EQ(fw.RaidAction(0, 3, 3, 0, 0, 1).action_status(), 2);   // no such volume
  ASSERT_EQ(fw.RaidAction(0, 3, 0, 0, 0, 1).action_status(), 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 1, 2).data[8], 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 1, 3).data[4], 2);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 1).data[100], 0);  // nothing left to be out of sync with
  EXPECT_EQ(Scsi(fw, 0x00, 0, kInquiry, 36).status(), 0x43);
  for (uint8_t num : {0, 1}) ASSERT_EQ(fw.RaidAction(0, 14, 0, 0, num, 0).action_status(), 0);
  EXPECT_EQ(Scsi(fw, 0x00, 0, kInquiry, 36).status(), 0);
  EXPECT_TRUE(Raid(fw)["phys_disks"].empty());
}

// A host that undoes a refused build deletes the disks it made and finds
// the configuration as it was before, the disks that were there untouched.
TEST(RaidVolumeDelete, UndoingARefusedBuildRestoresTheConfiguration) {
  Firmware fw = Disks();
  uint8_t spare = PhysDisk(fw, 5, 1);
  json before = Raid(fw);
  uint8_t a = PhysDisk(fw, 0), b = PhysDisk(fw, 2);
  ASSERT_EQ(CreateVolume(fw, kIM, 0, k73, {{a, 1}, {b, 2}}), 6);
  for (uint8_t num : {a, b}) ASSERT_EQ(fw.RaidAction(0, 14, 0, 0, num, 0).action_status(), 0);
  EXPECT_EQ(Raid(fw), before);
  EXPECT_EQ(fw.ReadPage(0, 1, 1, 5).data[12], spare);
}

}  // namespace
}  // namespace vxtsim_test
