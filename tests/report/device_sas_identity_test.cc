// The identity of SAS and SATA disks in the device section: KVR strings with
// and without the KVRFRU option, and the SATA identify request behind them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/device_sas_expect.h"
#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

const char kIdentityLab[] = R"({
  "devices": [
    {"handle": 20, "kind": "expander", "phy": 4},
    {"handle": 9, "target": 0, "parent": 20, "phy": 2, "enclosure": 1, "slot": 0,
     "protocol": "sata", "vendor": "ATA", "product": "IGNORED", "revision": "FW01",
     "ata_model": "XQ-9000 DISK MODEL  FRU12345PN678901KVR ", "serial": "K0", "blocks": 1000,
     "ssd": true},
    {"handle": 10, "target": 1, "parent": 20, "phy": 3, "enclosure": 1, "slot": 1,
     "vendor": "KVRXYZ", "product": "KP-1234567890AB", "revision": "K001", "serial": "K1",
     "kvr_fru": "FRUCRU123456", "kvr_part": "PART12345678", "blocks": 2048},
    {"handle": 11, "target": 2, "parent": 30, "phy": 5, "enclosure": 1, "slot": 2,
     "protocol": "sata", "vendor": "ATA", "product": "MERIDIAN MD500S", "revision": "CC38",
     "serial": "P2", "blocks": 4096},
    {"handle": 12, "target": 3, "phy": 6, "enclosure": 1, "slot": 3,
     "vendor": "ORBITAL", "product": "OD73SAS15K", "revision": "0004", "serial": "P3",
     "kvr_fru": "NOTSHOWN0000", "blocks": 2048}
  ]
})";

const char kIdentityBlocks[] =
    "Target on ID #0\n"
    "  Device is a Hard disk\n"
    "  Enclosure #                             : 1\n"
    "  Slot #                                  : 0\n"
    "  Connector ID                            : 4\n"
    "  Target ID                               : 0\n"
    "  State                                   : Ready (RDY)\n"
    "  Size (in MB)/(in sectors)               : 0/1000\n"
    "  Manufacturer                            : KVR \n"
    "  Model Number                            : XQ-9000 DISK MODEL  \n"
    "  Firmware Revision                       : FW01    \n"
    "%FRU0%"
    "  Serial No                               : K0                  \n"
    "  Drive Type                              : SSD\n"
    "  Protocol                                : SATA\n"
    "Target on ID #1\n"
    "  Device is a Hard disk\n"
    "  Enclosure #                             : 1\n"
    "  Slot #                                  : 1\n"
    "  Connector ID                            : 4\n"
    "  Target ID                               : 1\n"
    "  State                                   : Ready (RDY)\n"
    "  Size (in MB)/(in sectors)               : 1/2048\n"
    "  Manufacturer                            : KVRXYZ  \n"
    "  Model Number                            : KP-1234567890A\n"
    "  Firmware Revision                       : K001\n"
    "%FRU1%"
    "  Serial No                               : K1                  \n"
    "  Drive Type                              : SAS \n"
    "  Protocol                                : SAS \n"
    "Target on ID #2\n"
    "  Device is a Hard disk\n"
    "  Enclosure #                             : 1\n"
    "  Slot #                                  : 2\n"
    "  Target ID                               : 2\n"
    "  State                                   : Ready (RDY)\n"
    "  Size (in MB)/(in sectors)               : 2/4096\n"
    "  Manufacturer                            : ATA     \n"
    "  Model Number                            : MERIDIAN MD500S \n"
    "  Firmware Revision                       : CC38\n"
    "  Serial No                               : P2                  \n"
    "  Drive Type                              : SATA\n"
    "  Protocol                                : SATA\n"
    "Target on ID #3\n"
    "  Device is a Hard disk\n"
    "  Enclosure #                             : 1\n"
    "  Slot #                                  : 3\n"
    "  Connector ID                            : 6\n"
    "  Target ID                               : 3\n"
    "  State                                   : Ready (RDY)\n"
    "  Size (in MB)/(in sectors)               : 1/2048\n"
    "  Manufacturer                            : ORBITAL \n"
    "  Model Number                            : OD73SAS15K      \n"
    "  Firmware Revision                       : 0004\n"
    "  Serial No                               : P3                  \n"
    "  Drive Type                              : SAS \n"
    "  Protocol                                : SAS \n";

std::string WithFruLines(std::string blocks, const std::string& fru0, const std::string& fru1) {
  blocks.replace(blocks.find("%FRU0%"), 6, fru0);
  blocks.replace(blocks.find("%FRU1%"), 6, fru1);
  return blocks;
}

TEST(DeviceSection, KvrStringsWithAndWithoutTheOption) {
  VolkitRun plain = RunVolkit(SasLabWith(kIdentityLab), {"0", "display"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(DeviceSection(plain), "Initiator at ID #63\n" + WithFruLines(kIdentityBlocks, "", ""));

  VolkitRun option = RunVolkit(SasLabWith(kIdentityLab), {"0", "display", "KVRFRU"});
  EXPECT_EQ(option.status, 0) << option.err;
  EXPECT_EQ(DeviceSection(option),
            "Initiator at ID #63\n" +
                WithFruLines(kIdentityBlocks,
                             "  KVR FRU/CRU                             : FRU12345\n"
                             "  KVR Part Number                         : PN678901\n",
                             "  KVR FRU/CRU                             : FRUCRU123456\n"
                             "  KVR Part Number                         : PART12345678\n"));
}

TEST(DeviceSection, SataIdentifyRequestMessage) {
  VolkitRun run = RunVolkit(SasLabWith(kIdentityLab), {"0", "display"});
  std::vector<json> identify = run.Ioctls(0x1C);
  ASSERT_EQ(identify.size(), 2u);  // the two SATA disks, once each
  EXPECT_EQ(FrameHex(identify[0], 48),
            "0000001c"
            "11000000"
            "00000000"
            "000000000000000000000000"  // 0-23
            "00020000"                  // 24: 512 bytes
            "2780ec0000000010"          // 28: the FIS
            "000000000000000000000000");
  EXPECT_EQ(FrameHex(identify[1], 1), "02");
  EXPECT_EQ(identify[0].value("timeout", 0), 3);
  EXPECT_EQ(identify[0].value("sge_offset", 0), 12);
  EXPECT_EQ(identify[0].value("data_in_size", 0), 512);
}

}  // namespace
}  // namespace volkit_test
