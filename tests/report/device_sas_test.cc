// The physical device section on a SAS controller: RAID members and hot
// spares described from their pages, physical disks of another controller
// or bus, and the connector found up the parent chain.
#include <gtest/gtest.h>

#include "report/device_sas_expect.h"
#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// Two mirrored members (one out of sync with SMART errors and a page size
// unlike the disk's), a hot spare, and the member of an inactive volume
// whose own target ID answers like a disk.
const char kMembersLab[] = R"({
  "enclosures": [{"handle": 1, "num_slots": 8}],
  "devices": [
    {"handle": 9, "target": 0, "enclosure": 1, "slot": 0, "phy": 0, "vendor": "ORBITAL",
     "product": "OD73SAS15K", "revision": "0004", "serial": "S0", "blocks": 143374744},
    {"handle": 10, "target": 1, "enclosure": 1, "slot": 1, "phy": 1, "vendor": "ORBITAL",
     "product": "OD73SAS15K", "revision": "0004", "serial": "S1", "blocks": 143374744},
    {"handle": 11, "target": 2, "enclosure": 1, "slot": 2, "phy": 2, "vendor": "ORBITAL",
     "product": "OD73SAS15K", "revision": "0004", "serial": "S2", "blocks": 143374744},
    {"handle": 12, "target": 3, "enclosure": 1, "slot": 3, "phy": 3, "vendor": "ORBITAL",
     "product": "OD73SAS15K", "revision": "0004", "serial": "S3", "blocks": 143374744}
  ],
  "raid": {
    "phys_disks": [
      {"num": 0, "target": 0},
      {"num": 1, "target": 1, "status_flags": 1, "max_lba": 999,
       "smart": {"count": 3, "asc": "0x5D", "ascq": "0x10"}},
      {"num": 2, "target": 2, "hot_spare_pool": 1},
      {"num": 3, "target": 3}
    ],
    "volumes": [
      {"id": 0, "type": "IM", "members": [0, 1], "max_lba": "0x0FFFFFFF"},
      {"id": 5, "type": "IS", "members": [3], "inactive": true, "max_lba": 2047}
    ]
  }
})";

TEST(DeviceSection, MembersSparesAndInactiveVolumes) {
  VolkitRun run = RunVolkit(SasLabWith(kMembersLab), {"0", "display"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Slice(run.out, "IR volume 1", "------"),
            "IR volume 1\n"
            "  Volume ID                               : 0\n"
            "  Status of volume                        : Okay (OKY)\n"
            "  RAID level                              : 1\n"
            "  Size (in MB)                            : 131072\n"
            "  Physical hard disks (Target ID)         : 0 1\n"
            "IR volume 2\n"
            "  Volume ID                               : 5\n"
            "  Status of volume                        : Inactive, Okay (OKY)\n"
            "  RAID level                              : 0\n"
            "  Size (in MB)                            : 1\n");
  EXPECT_EQ(DeviceSection(run),
            "Initiator at ID #63\n"
            "Target on ID #0\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 1\n"
            "  Slot #                                  : 0\n"
            "  Connector ID                            : 0\n"
            "  Target ID                               : 0\n"
            "  State                                   : Online (ONL)\n"
            "  Size (in MB)/(in sectors)               : 70007/143374744\n"
            "  Manufacturer                            : ORBITAL \n"
            "  Model Number                            : OD73SAS15K      \n"
            "  Firmware Revision                       : 0004\n"
            "  Serial No                               : S0                  \n"
            "  Drive Type                              : SAS \n"
            "  Protocol                                : SAS \n"
            "Target on ID #1\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 1\n"
            "  Slot #                                  : 1\n"
            "  Connector ID                            : 1\n"
            "  Target ID                               : 1\n"
            "  State                                   : Out of Sync (OSY)\n"
            "  Size (in MB)/(in sectors)               : 0/1000\n"
            "  Manufacturer                            : ORBITAL \n"
            "  Model Number                            : OD73SAS15K      \n"
            "  Firmware Revision                       : 0004\n"
            "  Serial No                               : S1                  \n"
            "  Drive Type                              : SAS \n"
            "  Protocol                                : SAS \n"
            "  SMART Error Count                       : 3\n"
            "  SMART ASC                               : 5dh\n"
            "  SMART ASCQ                              : 10h\n"
            "Target on ID #2\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 1\n"
            "  Slot #                                  : 2\n"
            "  Connector ID                            : 2\n"
            "  Target ID                               : 2\n"
            "  State                                   : Hot Spare (HSP)\n"
            "  Size (in MB)/(in sectors)               : 70007/143374744\n"
            "  Manufacturer                            : ORBITAL \n"
            "  Model Number                            : OD73SAS15K      \n"
            "  Firmware Revision                       : 0004\n"
            "  Serial No                               : S2                  \n"
            "  Drive Type                              : SAS \n"
            "  Protocol                                : SAS \n"
            "Target on ID #3\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 1\n"
            "  Slot #                                  : 3\n"
            "  Connector ID                            : 3\n"
            "  Target ID                               : 3\n"
            "  State                                   : Online (ONL)\n"
            "  Size (in MB)/(in sectors)               : 70007/143374744\n"
            "  Manufacturer                            : ORBITAL \n"
            "  Model Number                            : OD73SAS15K      \n"
            "  Firmware Revision                       : 0004\n"
            "  Serial No                               : \n"
            "  Drive Type                              : SAS \n"
            "  Protocol                                : SAS \n");
  // Members are asked through the RAID pass-through only; the capacity of
  // a member is never read from the disk.
  for (const json& line : run.Ioctls(0x00)) {
    std::string target = FrameHex(line, 1);
    EXPECT_TRUE(target != "00" && target != "01" && target != "02" && target != "03")
        << line.dump();
    EXPECT_NE(FrameHex(line, 25).substr(48), "25") << line.dump();
  }
}

// A physical disk page that names another controller or another bus is not
// this target's: the target is asked by plain SCSI I/O like any device (and
// the firmware hides the two it keeps), never through the RAID pass-through.
TEST(DeviceSection, PhysicalDisksOfAnotherControllerOrBusAreNotMembers) {
  VolkitRun run = RunVolkit(SasLabWith(R"({
      "devices": [
        {"handle": 9, "target": 0, "phy": 0, "vendor": "ORBITAL", "product": "OD73SAS15K",
         "revision": "0004", "serial": "F0", "blocks": 2048},
        {"handle": 10, "target": 1, "phy": 1, "vendor": "ORBITAL", "product": "OD73SAS15K",
         "revision": "0004", "serial": "F1", "blocks": 2048},
        {"handle": 11, "target": 2, "phy": 2, "vendor": "ORBITAL", "product": "OD73SAS15K",
         "revision": "0004", "serial": "F2", "blocks": 2048}],
      "raid": {
        "phys_disks": [{"num": 0, "target": 0, "ioc": 7}, {"num": 1, "target": 1, "bus": 1},
                       {"num": 2, "target": 2, "ioc": 3, "hot_spare_pool": 1}],
        "volumes": [{"id": 5, "type": "IM", "members": [0, 1]}]}})"),
                            {"0", "display"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.Ioctls(0x16).empty());
  std::string asked;  // targets of the plain INQUIRYs, in order
  for (const json& line : run.Ioctls(0x00)) {
    if (FrameHex(line, 25).substr(48, 2) == "12") asked += FrameHex(line, 1) + " ";
  }
  EXPECT_TRUE(asked.starts_with("00 01 ")) << asked;
  EXPECT_NE(asked.find(" 02 "), std::string::npos) << asked;
  EXPECT_EQ(DeviceSection(run),
            "Initiator at ID #63\n"
            "Target on ID #1\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 0\n"
            "  Slot #                                  : 0\n"
            "  Connector ID                            : 1\n"
            "  Target ID                               : 1\n"
            "  State                                   : Ready (RDY)\n"
            "  Size (in MB)/(in sectors)               : 1/2048\n"
            "  Manufacturer                            : ORBITAL \n"
            "  Model Number                            : OD73SAS15K      \n"
            "  Firmware Revision                       : 0004\n"
            "  Serial No                               : F1                  \n"
            "  Drive Type                              : SAS \n"
            "  Protocol                                : SAS \n");
}

// A parent chain that loops must end the walk: no connector, no hang.
TEST(DeviceSection, ParentChainThatLoopsGivesNoConnector) {
  VolkitRun run = RunVolkit(SasLabWith(R"({"devices": [
      {"handle": 20, "kind": "expander", "parent": 21, "direct": false},
      {"handle": 21, "kind": "expander", "parent": 20, "direct": false},
      {"handle": 9, "target": 0, "parent": 20, "vendor": "ORBITAL", "product": "OD73SAS15K",
       "revision": "0004", "serial": "L0", "blocks": 2048}]})"),
                            {"0", "display"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Slice(run.out, "Target on ID #0", "  State"),
            "Target on ID #0\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 0\n"
            "  Slot #                                  : 0\n"
            "  Target ID                               : 0\n");
}

}  // namespace
}  // namespace volkit_test
