// Pages derived from the lab's RAID configuration, devices and enclosures.
#include <gtest/gtest.h>

#include "document/state_file.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"

namespace vxtsim_test {
namespace {

using vxtsim::Get16;
using vxtsim::Get32;

constexpr uint8_t kExt = 0x0F, kSasDevice = 0x12, kSasEnclosure = 0x15;

Firmware RaidFirmware() {
  return Firmware(vxtsim::StateFromLab(volkit_test::Lab(R"({"controllers": [{"number": 0,
    "ioc_facts": {"ioc_number": 3},
    "devices": [{"target": 1, "vendor": "ORBITAL", "product": "OD73", "revision": "0004",
                 "blocks": 1000000},
                {"target": 2, "blocks": 2000000}, {"target": 5, "blocks": 3000000}],
    "raid": {
      "phys_disks": [{"num": 0, "target": 1}, {"num": 1, "target": 2, "state": 3,
                      "smart": {"count": 3, "asc": "0x5d", "ascq": "0x10"}},
                     {"num": 4, "target": 5, "hot_spare_pool": 1}],
      "volumes": [{"id": 1, "type": "IM", "members": [0, 1], "max_lba": "0x1FFFFFFFF",
                   "resync": {"total": 1000, "remaining": 250}},
                  {"id": 9, "bus": 1, "type": "IS", "inactive": true, "members": []}]}}]})")));
}

TEST(RaidPages, ControllerPagesListVolumesDisksAndSpares) {
  Firmware fw = RaidFirmware();
  Bytes pg2 = fw.ReadPage(0, 1, 1, 2).data;
  ASSERT_EQ(pg2[8], 2);
  EXPECT_EQ(pg2[12], 1);
  EXPECT_EQ(pg2[16], 2);
  EXPECT_EQ(pg2[17], 0);
  EXPECT_EQ(pg2[20], 9);
  EXPECT_EQ(pg2[21], 1);
  EXPECT_EQ(pg2[24], 0);
  EXPECT_EQ(pg2[25], 0x08);

  Bytes pg3 = fw.ReadPage(0, 1, 1, 3).data;
  ASSERT_EQ(pg3[4], 3);
  EXPECT_EQ(Get32(pg3, 8), 0x00030001u);   // ID 1, bus 0, IOC 3, num 0
  EXPECT_EQ(Get32(pg3, 16), 0x04030005u);  // ID 5, bus 0, IOC 3, num 4

  Bytes pg5 = fw.ReadPage(0, 1, 1, 5).data;
  ASSERT_EQ(pg5[8], 1);
  EXPECT_EQ(pg5[12], 4);
}

TEST(RaidPages, VolumePageCarriesMembersRolesAndHighLba) {
  Firmware fw = RaidFirmware();
  Bytes vol = fw.ReadPage(0, 1, 8, 0, 1).data;
  ASSERT_EQ(vol.size(), 72u);  // room for the eight members IocPg6 allows
  EXPECT_EQ(vol[4], 1);
  EXPECT_EQ(vol[6], 3);
  EXPECT_EQ(vol[7], 2);
  EXPECT_EQ(vol[8], 0x05);  // enabled, resynchronising
  EXPECT_EQ(Get16(vol, 12), 0x8000);
  EXPECT_EQ(Get32(vol, 16), 0xFFFFFFFFu);
  EXPECT_EQ(Get32(vol, 20), 1u);
  EXPECT_EQ(vol[36], 2);
  EXPECT_EQ(vol[42], 1);
  EXPECT_EQ(vol[43], 0);
  EXPECT_EQ(vol[46], 2);
  EXPECT_EQ(vol[47], 1);
  // Bus 1, ID 9 lives at address 0x109, not at 9.
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 0x109).data[8], 0x09);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 0, 9).status(), 0x22);
  EXPECT_EQ(fw.ReadPage(0, 1, 8, 1, 1).status(), 0);
}

TEST(RaidPages, PhysDiskPageTakesStringsAndSizeFromTheDisk) {
  Firmware fw = RaidFirmware();
  Bytes pd = fw.ReadPage(0, 1, 10, 0, 0).data;
  EXPECT_EQ(pd[4], 1);
  EXPECT_EQ(std::string(pd.begin() + 40, pd.begin() + 68), "ORBITAL OD73            0004");
  EXPECT_EQ(Get32(pd, 104), 999999u);
  Bytes failed = fw.ReadPage(0, 1, 10, 0, 1).data;
  EXPECT_EQ(failed[101], 3);
  EXPECT_EQ(Get16(failed, 116), 3);
  EXPECT_EQ(failed[118], 0x5D);
  EXPECT_EQ(failed[119], 0x10);
  EXPECT_EQ(fw.ReadPage(0, 1, 10, 0, 2).status(), 0x22);
}

Firmware SasFirmware(const std::string& walks = "") {
  return Firmware(vxtsim::StateFromLab(volkit_test::Lab(R"({"controllers": [{"number": 0,
    "enclosures": [{"handle": 2, "logical_id": "0xab00000001"}, {"handle": 1}],
    "devices": [{"handle": 20, "kind": "expander", "phy": 4},
                {"handle": 12, "target": 7, "bus": 0, "parent": 20, "phy": 1, "slot": 3,
                 "enclosure": 2, "protocol": "sata"},
                {"handle": 11, "target": 4, "slot": 0, "enclosure": 1}])" +
                                                        walks + "}]}")));
}

std::vector<uint16_t> WalkHandles(Firmware& fw, uint8_t ext_type, size_t handle_at,
                                  uint16_t& end_status) {
  std::vector<uint16_t> handles;
  uint32_t address = 0xFFFF;
  for (int guard = 0; guard < 10; ++guard) {
    Exchange x = fw.ReadPage(0, 1, kExt, 0, address, ext_type);
    end_status = x.status();
    if (end_status != 0) break;
    address = Get16(x.data, handle_at);
    handles.push_back(static_cast<uint16_t>(address));
  }
  return handles;
}

TEST(SasPages, DeviceWalkGoesByHandleAndEndsWithInvalidPage) {
  Firmware fw = SasFirmware();
  uint16_t end = 0;
  EXPECT_EQ(WalkHandles(fw, kSasDevice, 24, end), (std::vector<uint16_t>{11, 12, 20}));
  EXPECT_EQ(end, 0x22);
  EXPECT_EQ(WalkHandles(fw, kSasEnclosure, 22, end), (std::vector<uint16_t>{1, 2}));
  EXPECT_EQ(end, 0x22);
}

TEST(SasPages, DeviceAddressForms) {
  Firmware fw = SasFirmware();
  Bytes sata = fw.ReadPage(0, 1, kExt, 0, 0x10000007, kSasDevice).data;
  EXPECT_EQ(Get16(sata, 24), 12);
  EXPECT_EQ(Get16(sata, 8), 3);
  EXPECT_EQ(Get16(sata, 10), 2);
  EXPECT_EQ(Get16(sata, 20), 20);
  EXPECT_EQ(sata[22], 1);
  EXPECT_EQ(Get32(sata, 28), 0x81u);  // SATA disk behind an expander
  Bytes direct = fw.ReadPage(0, 1, kExt, 0, 0x2000000B, kSasDevice).data;
  EXPECT_EQ(direct[26], 4);
  EXPECT_EQ(Get32(direct, 28), 0xC01u);
  Bytes expander = fw.ReadPage(0, 1, kExt, 0, 0x20000014, kSasDevice).data;
  EXPECT_EQ(Get32(expander, 28) & 1, 0u);
  EXPECT_EQ(fw.ReadPage(0, 1, kExt, 0, 0x10000107, kSasDevice).status(), 0x22);  // bus 1
  EXPECT_EQ(fw.ReadPage(0, 1, kExt, 0, 0x20000013, kSasDevice).status(), 0x22);
  EXPECT_EQ(fw.ReadPage(0, 1, kExt, 0, 0x30000000, kSasDevice).status(), 0x22);
  Bytes enc = fw.ReadPage(0, 1, kExt, 0, 1, kSasEnclosure).data;
  EXPECT_EQ(Get32(enc, 12), 1u);
  EXPECT_EQ(Get32(enc, 16), 0xABu);
}

TEST(SasPages, LabCanBendTheWalkIntoACycle) {
  Firmware fw = SasFirmware(R"(, "enclosure_walk": {"2": 1}, "device_walk": {"12": "0xFFFF"})");
  uint16_t end = 0;
  EXPECT_EQ(WalkHandles(fw, kSasEnclosure, 22, end).size(), 10u);
  EXPECT_EQ(WalkHandles(fw, kSasDevice, 24, end), (std::vector<uint16_t>{11, 12}));
}

}  // namespace
}  // namespace vxtsim_test
