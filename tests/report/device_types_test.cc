// The physical device section on a parallel SCSI controller: what each
// kind of device prints, by type, removable bit, block length and readiness.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

json ScsiLabWith(const std::string& devices) {
  json lab = EmptyScsiLab();
  lab["controllers"][0]["devices"] = Lab(devices);
  return lab;
}

std::string DeviceSection(const VolkitRun& run) {
  return Slice(run.out, "Initiator at ID", "------");
}

TEST(DeviceSection, KindsOfDevicesOnParallelScsi) {
  VolkitRun run = RunVolkit(ScsiLabWith(R"([
      {"target": 0, "vendor": "ORBITAL", "product": "OD73U320", "revision": "0115",
       "serial": "SER0", "blocks": 143374650},
      {"target": 1, "type": 1, "vendor": "TAPECO", "product": "TX-4", "revision": "R1",
       "serial": "SER1"},
      {"target": 2, "removable": true, "vendor": "REMCO", "product": "RM-1", "revision": "0001",
       "serial": "SER2", "blocks": 2048},
      {"target": 3, "block_size": 1024, "vendor": "BIGBLK", "product": "BB-1K", "revision": "0002",
       "serial": "SER3", "blocks": 143374650},
      {"target": 4, "block_size": 520, "vendor": "ODDBLK", "product": "OB-520", "revision": "0003",
       "serial": "SER4", "blocks": 1000},
      {"target": 5, "not_ready": true, "vendor": "SLEEPY", "product": "SL-1", "revision": "0004",
       "serial": "SER5", "blocks": 1000},
      {"target": 6, "type": 127, "vendor": "ODDTYPE", "product": "OT-1", "revision": "0005",
       "serial": "SER6"},
      {"target": 8, "type": 13, "vendor": "ENCLCO", "product": "SES-1", "revision": "0006",
       "serial": "SER8"}
    ])"),
                            {"0", "display"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(DeviceSection(run),
            "Initiator at ID #7\n"
            "Target on ID #0\n"
            "  Device is a Hard disk\n"
            "  Target ID                               : 0\n"
            "  State                                   : Ready (RDY)\n"
            "  Size (in MB)/(in sectors)               : 70007/143374650\n"
            "  Manufacturer                            : ORBITAL \n"
            "  Model Number                            : OD73U320        \n"
            "  Firmware Revision                       : 0115\n"
            "  Serial No                               : SER0                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #1\n"
            "  Device is a Sequential access device\n"
            "  Target ID                               : 1\n"
            "  State                                   : Standby (SBY)\n"
            "  Manufacturer                            : TAPECO  \n"
            "  Model Number                            : TX-4            \n"
            "  Firmware Revision                       : R1  \n"
            "  Serial No                               : SER1                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #2\n"
            "  Device is a removable Hard disk\n"
            "  Target ID                               : 2\n"
            "  State                                   : Available (AVL)\n"
            "  Manufacturer                            : REMCO   \n"
            "  Model Number                            : RM-1            \n"
            "  Firmware Revision                       : 0001\n"
            "  Serial No                               : SER2                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #3\n"
            "  Device is a Hard disk\n"
            "  Target ID                               : 3\n"
            "  State                                   : Available (AVL)\n"
            "  Size (in MB)/(in sectors)               : 35003/143374650\n"
            "  Manufacturer                            : BIGBLK  \n"
            "  Model Number                            : BB-1K           \n"
            "  Firmware Revision                       : 0002\n"
            "  Serial No                               : SER3                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #4\n"
            "  Device is a Hard disk\n"
            "  Target ID                               : 4\n"
            "  State                                   : Available (AVL)\n"
            "  Size (in MB)/(in sectors)               : ??\?/??\?\n"
            "  Manufacturer                            : ODDBLK  \n"
            "  Model Number                            : OB-520          \n"
            "  Firmware Revision                       : 0003\n"
            "  Serial No                               : SER4                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #5\n"
            "  Device is a Hard disk\n"
            "  Target ID                               : 5\n"
            "  State                                   : Available (AVL)\n"
            "  Manufacturer                            : SLEEPY  \n"
            "  Model Number                            : SL-1            \n"
            "  Firmware Revision                       : 0004\n"
            "  Serial No                               : SER5                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #6\n"
            "  Device is a unknown device\n"
            "  Target ID                               : 6\n"
            "  State                                   : Standby (SBY)\n"
            "  Manufacturer                            : ODDTYPE \n"
            "  Model Number                            : OT-1            \n"
            "  Firmware Revision                       : 0005\n"
            "  Serial No                               : SER6                \n"
            "  Drive Type                              : SCSI\n"
            "Target on ID #8\n"
            "  Device is a Enclosure services device\n"
            "  Target ID                               : 8\n"
            "  State                                   : Standby (SBY)\n"
            "  Manufacturer                            : ENCLCO  \n"
            "  Model Number                            : SES-1           \n"
            "  Firmware Revision                       : 0006\n"
            "  Drive Type                              : SCSI\n");
}

// The SCSI request frames as sent: INQUIRY (6-byte CDB, allocation length
// in byte 4) and READ CAPACITY(10), both reading data (control 0x02000500).
TEST(DeviceSection, ScsiRequestFrames) {
  VolkitRun run = RunVolkit(ScsiLabWith(R"([{"target": 3, "vendor": "ORBITAL",
      "product": "OD73U320", "revision": "0115", "serial": "S", "blocks": 2048}])"),
                            {"0", "display"});
  std::vector<std::string> frames;
  for (const json& line : run.Ioctls(0x00)) {
    if (FrameHex(line, 1) == "03") frames.push_back(FrameHex(line, 48));
  }
  ASSERT_GE(frames.size(), 5u);
  const std::string head = "03000000";  // target 3, bus 0, plain SCSI I/O
  EXPECT_EQ(frames[0], head +
                           "0640"
                           "0000"
                           "efbe1101"
                           "0000000000000000"
                           "00050002"
                           "120000"
                           "00ff00"
                           "00000000000000000000"
                           "ff000000"
                           "00000000");
  EXPECT_EQ(frames[3], head +
                           "0a40"
                           "0000"
                           "efbe1101"
                           "0000000000000000"
                           "00050002"
                           "25000000"
                           "000000000000"
                           "000000000000"
                           "08000000"
                           "00000000");
  EXPECT_EQ(frames[4].substr(48, 12),
            "120180"
            "00ff00");  // serial number page
}

}  // namespace
}  // namespace volkit_test
