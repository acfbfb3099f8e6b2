// A member that fails: the volume degrades, a hot spare large enough takes
// the member's place and is resynchronised; offline on purpose is no failure.
#include <gtest/gtest.h>

#include "document/state_file.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get32;

constexpr uint64_t kDisk = 143374744, kReserve = 0x20000;

// A mirror of physical disks 0 and 1 (targets 0, 1) and hot spares at the
// targets after them with the given sizes; `volume` patches the volume.
Firmware MirrorWithSpares(const std::vector<uint64_t>& spares, const std::string& volume = "{}",
                          const std::string& faults = "[]") {
  json lab = volkit_test::SasLab(2 + static_cast<int>(spares.size()));
  json& ctl = lab["controllers"][0];
  json disks = json::array({{{"num", 0}, {"target", 0}}, {{"num", 1}, {"target", 1}}});
  for (size_t i = 0; i < spares.size(); ++i) {
    ctl["devices"][2 + i]["blocks"] = spares[i];
    disks.push_back({{"num", 2 + i}, {"target", 2 + i}, {"hot_spare_pool", 1}});
  }
  json vol = {{"id", 0}, {"type", "IM"}, {"members", {0, 1}}};
  vol.merge_patch(volkit_test::Lab(volume));
  ctl["raid"] = {{"phys_disks", disks}, {"volumes", {vol}}};
  lab["faults"] = volkit_test::Lab(faults);
  return Firmware(vxtsim::StateFromLab(lab));
}

json& Raid(Firmware& fw) { return fw.state()["controllers"][0]["raid"]; }
json& Disk(Firmware& fw, int num) { return Raid(fw)["phys_disks"][num]; }

// Volume 0's page: status flags, state, then each member's map and number.
struct VolumeView {
  int flags, state;
  std::vector<std::pair<int, int>> members;
};
VolumeView Volume0(Firmware& fw) {
  Bytes page = fw.ReadPage(0, 1, 8, 0, 0).data;
  VolumeView v{page[8], page[9], {}};
  for (int m = 0; m < page[36]; ++m) v.members.push_back({page[42 + 4 * m], page[43 + 4 * m]});
  return v;
}

std::vector<int> HotSpares(Firmware& fw) {
  Bytes pg5 = fw.ReadPage(0, 1, 1, 5).data;
  std::vector<int> nums;
  for (int i = 0; i < pg5[8]; ++i) nums.push_back(pg5[12 + 4 * i]);
  return nums;
}

uint64_t Remaining(Firmware& fw) {
  return vxtsim::Get64(fw.RaidAction(0, 1, 0, 0, 0, 0).reply, 32);
}

TEST(MemberFailure, SmallestFittingSpareTakesThePlaceAndIsResynchronised) {
  // The mirror spans the disks less the reserve: a spare needs the mirror's
  // blocks and the reserve, one block less will not do.
  Firmware fw = MirrorWithSpares({kDisk + 5, kDisk - 1, kDisk});
  Disk(fw, 1)["failed"] = true;
  uint32_t max_lba = Get32(fw.ReadPage(0, 1, 8, 0, 0).data, 16);
  EXPECT_EQ(max_lba, kDisk - kReserve - 1);

  VolumeView v = Volume0(fw);
  EXPECT_EQ(v.flags, 0x05);  // enabled, resynchronising
  EXPECT_EQ(v.state, 1);     // degraded
  EXPECT_EQ(v.members, (std::vector<std::pair<int, int>>{{1, 0}, {2, 4}}));
  EXPECT_EQ(HotSpares(fw), (std::vector<int>{2, 3}));
  EXPECT_EQ(Get32(fw.ReadPage(0, 1, 8, 0, 0).data, 16), max_lba);
  Bytes spare = fw.ReadPage(0, 1, 10, 0, 4).data;
  EXPECT_EQ(spare[10], 0);   // in no pool now
  EXPECT_EQ(spare[100], 1);  // out of sync
  Bytes failed = fw.ReadPage(0, 1, 10, 0, 1).data;
  EXPECT_EQ(failed[101], 3);

  // Progress walks the resynchronisation to its end.
  uint64_t left = Remaining(fw);
  EXPECT_EQ(left, max_lba + 1ull);
  for (int i = 0; i < 8; ++i) left = Remaining(fw);
  EXPECT_EQ(left, 0u);
  v = Volume0(fw);
  EXPECT_EQ(v.flags, 0x01);
  EXPECT_EQ(v.state, 0);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 4).data[100], 0);
  EXPECT_EQ(Disk(fw, 1)["state"], 3);
}

TEST(MemberFailure, WithoutAFittingSpareTheVolumeStaysDegraded) {
  // An explicit size that reaches into the reserve needs larger spares.
  Firmware fw = MirrorWithSpares({kDisk}, R"({"max_lba": 143300000})");
  Disk(fw, 0)["failed"] = true;
  VolumeView v = Volume0(fw);
  EXPECT_EQ(v.flags, 0x01);
  EXPECT_EQ(v.state, 1);
  EXPECT_EQ(v.members, (std::vector<std::pair<int, int>>{{1, 0}, {2, 1}}));
  EXPECT_EQ(HotSpares(fw), (std::vector<int>{2}));
  EXPECT_EQ(Remaining(fw), 0u);
  // Nothing brings a failed disk back.
  EXPECT_EQ(fw.RaidAction(0, 11, 0, 0, 0, 0).action_status(), 4);

  // A spare of another pool is no spare for this volume either.
  Firmware other = MirrorWithSpares({kDisk}, R"({"hot_spare_pool": 2})");
  Disk(other, 1)["failed"] = true;
  EXPECT_EQ(Volume0(other).members.back().second, 1);

  // The last good copy failing fails the volume; so does a stripe member.
  Firmware last = MirrorWithSpares({kDisk});
  Disk(last, 1)["state"] = 5;
  Disk(last, 0)["failed"] = true;
  EXPECT_EQ(Volume0(last).state, 2);
  Firmware stripes = MirrorWithSpares({kDisk}, R"({"type": "IS"})");
  Disk(stripes, 0)["failed"] = true;
  EXPECT_EQ(Volume0(stripes).state, 2);
}

TEST(MemberFailure, EnhancedMirrorSpareNeedsTheReserveAndTheMemberShare) {
  // Three members of 100000001 blocks' volume: each holds 2 x B / 3 rounded
  // up, and the reserve.
  const uint64_t needed = kReserve + (2 * 100000002ull + 2) / 3;
  for (uint64_t size : {needed - 1, needed}) {
    SCOPED_TRACE(size);
    json lab = volkit_test::SasLab(4);
    lab["controllers"][0]["devices"][3]["blocks"] = size;
    lab["controllers"][0]["raid"] = volkit_test::Lab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}, {"num": 2, "target": 2},
                     {"num": 3, "target": 3, "hot_spare_pool": 1}],
      "volumes": [{"id": 0, "type": "IME", "members": [0, 1, 2], "max_lba": 100000001}]})");
    Firmware fw(vxtsim::StateFromLab(lab));
    Disk(fw, 1)["failed"] = true;
    VolumeView v = Volume0(fw);
    EXPECT_EQ(v.state, 1);
    EXPECT_EQ(v.members[1].second, size == needed ? 3 : 1);
    EXPECT_EQ(v.flags, size == needed ? 0x05 : 0x01);
  }
}

TEST(MemberFailure, FaultRuleFailsAMemberAndTheSpareGetsTheMirrorsBlocks) {
  Firmware fw = MirrorWithSpares(
      {kDisk}, "{}",
      R"([{"match": {"raid_action": 1}, "effect": {"fail_phys_disk": 0}, "nth": 2}])");
  fw.state()["controllers"][0]["devices"][1]["block_data"] = {{"7", "c0ffee"}};
  EXPECT_EQ(Remaining(fw), 0u);
  EXPECT_EQ(Remaining(fw), kDisk - kReserve);  // failed before this answer
  VolumeView v = Volume0(fw);
  EXPECT_EQ(v.members, (std::vector<std::pair<int, int>>{{1, 2}, {2, 1}}));
  Bytes frame(30, 0);
  frame[0] = 2;  // PhysDiskNum
  frame[3] = 0x16;
  frame[4] = 6;
  frame[24] = 0x08;  // READ (6) of block 7
  frame[27] = 7;
  frame[28] = 1;
  PassThroughArgs read(0, frame, 512);
  read.sge_words = 12;
  Bytes block = fw.Send(read).data;
  EXPECT_EQ(Bytes(block.begin(), block.begin() + 3), (Bytes{0xC0, 0xFF, 0xEE}));
}

TEST(MemberFailure, OfflineOnPurposeStartsNoTakeover) {
  Firmware fw = MirrorWithSpares({kDisk});
  ASSERT_EQ(fw.RaidAction(0, 10, 0, 0, 1, 0).action_status(), 0);
  VolumeView v = Volume0(fw);
  EXPECT_EQ(v.state, 1);
  EXPECT_EQ(v.members.back().second, 1);
  EXPECT_EQ(HotSpares(fw), (std::vector<int>{2}));
}

}  // namespace
}  // namespace vxtsim_test
