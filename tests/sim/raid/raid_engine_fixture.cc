#include "sim/raid/raid_engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "document/state_file.h"
#include "support/lab.h"

namespace vxtsim_test {

using vxtsim::Put32;

Firmware Disks(const std::string& patch) {
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

Exchange CreatePhysDisk(Firmware& fw, uint8_t target, uint8_t pool) {
  Bytes image = fw.BlankPage(0, 10, 0);
  image[4] = target;
  image[10] = pool;
  return fw.RaidAction(0, 13, 0, 0, 0, 0, image);
}

uint8_t PhysDisk(Firmware& fw, uint8_t target, uint8_t pool) {
  Exchange x = CreatePhysDisk(fw, target, pool);
  EXPECT_EQ(x.action_status(), 0) << "target " << int{target};
  return x.reply[24];
}

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
                      const std::vector<Member>& members, uint32_t word) {
  return fw.RaidAction(0, 2, id, 0, 0, word, VolumeImage(fw, type, id, max_lba, members))
      .action_status();
}

std::vector<Member> Positions(const std::vector<uint8_t>& nums) {
  std::vector<Member> members;
  for (uint8_t n : nums) members.push_back({n, static_cast<uint8_t>(members.size())});
  return members;
}

json Raid(Firmware& fw) { return fw.state()["controllers"][0].value("raid", json::object()); }

Bytes Cdb6(uint8_t op, uint8_t count) { return {op, 0, 0, 0, count, 0}; }

Exchange Scsi(Firmware& fw, uint8_t function, uint8_t target, const Bytes& cdb, size_t in,
              const Bytes& out) {
  Bytes f(60, 0);
  f[0] = target;
  f[3] = function;
  f[4] = static_cast<uint8_t>(cdb.size());
  std::copy(cdb.begin(), cdb.end(), f.begin() + 24);
  PassThroughArgs args(0, f, in, out);
  args.sge_words = 12;
  return fw.Send(args);
}

}  // namespace vxtsim_test
