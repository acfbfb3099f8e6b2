// The RAID actions that change the configuration: physical disks, volumes,
// member states, and refusals that leave everything as it was.
#include <gtest/gtest.h>

#include <vector>

#include "document/state_file.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get32;
using vxtsim::Put32;

constexpr uint8_t kIS = 0, kIME = 1, kIM = 2;
constexpr uint64_t k73 = 143374744, kReserve = 0x20000;

// Disks at targets 0-5 (target 2 the larger), none at 6.
Firmware Disks(const std::string& patch = "{}") {
  json lab = volkit_test::Lab(R"({"controllers": [{"number": 0,
    "devices": [{"target": 0, "vendor": "ORBITAL", "product": "OD73SAS15K", "revision": "0004",
                 "blocks": 143374744},
                {"target": 1, "blocks": 143374744}, {"target": 2, "blocks": 286749488},
                {"target": 3, "blocks": 143374744}, {"target": 4, "blocks": 143374744},
                {"target": 5, "blocks": 143374744}]}]})");
  json ctl = lab["controllers"][0];
  ctl.merge_patch(volkit_test::Lab(patch));
  lab["controllers"][0] = ctl;
  return Firmware(vxtsim::StateFromLab(lab));
}

Exchange CreatePhysDisk(Firmware& fw, uint8_t target, uint8_t pool = 0) {
  Bytes image = fw.BlankPage(0, 10, 0);
  image[4] = target;
  image[10] = pool;
  return fw.RaidAction(0, 13, 0, 0, 0, 0, image);
}

uint8_t PhysDisk(Firmware& fw, uint8_t target, uint8_t pool = 0) {
  Exchange x = CreatePhysDisk(fw, target, pool);
  EXPECT_EQ(x.action_status(), 0) << "target " << int{target};
  return x.reply[24];
}

struct Member {
  uint8_t num, map;
};

Bytes VolumeImage(Firmware& fw, uint8_t type, uint8_t id, uint64_t max_lba,
                  const std::vector<Member>& members) {
  Bytes image = fw.BlankPage(0, 8, 0);
  image[4] = id;
  image[7] = type;
  vxtsim::Put16(image, 12, 0x8000);
  image[14] = type == kIS ? 0 : 1;
  Put32(image, 16, max_lba);
  Put32(image, 20, max_lba >> 32);
  image[36] = static_cast<uint8_t>(members.size());
  for (size_t m = 0; m < members.size(); ++m) {
    image[42 + 4 * m] = members[m].map;
    image[43 + 4 * m] = members[m].num;
  }
  return image;
}

uint16_t CreateVolume(Firmware& fw, uint8_t type, uint8_t id, uint64_t max_lba,
                      const std::vector<Member>& members, uint32_t word = 3) {
  return fw.RaidAction(0, 2, id, 0, 0, word, VolumeImage(fw, type, id, max_lba, members))
      .action_status();
}

std::vector<Member> Positions(const std::vector<uint8_t>& nums) {
  std::vector<Member> members;
  for (uint8_t n : nums) members.push_back({n, static_cast<uint8_t>(members.size())});
  return members;
}

const std::vector<Member> kMirror = {{0, 1}, {1, 2}};

json Raid(Firmware& fw) { return fw.state()["controllers"][0].value("raid", json::object()); }

Bytes Cdb6(uint8_t op, uint8_t count) { return {op, 0, 0, 0, count, 0}; }

Exchange Scsi(Firmware& fw, uint8_t function, uint8_t target, const Bytes& cdb, size_t in,
              const Bytes& out = {}) {
  Bytes f(60, 0);
  f[0] = target;
  f[3] = function;
  f[4] = static_cast<uint8_t>(cdb.size());
  std::copy(cdb.begin(), cdb.end(), f.begin() + 24);
  PassThroughArgs args(0, f, in, out);
  args.sge_words = 12;
  return fw.Send(args);
}

const Bytes kInquiry = {0x12, 0, 0, 0, 36, 0};

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
