// The controller and volume sections through the binary: which unreadable
// pages only drop their lines and which end the report.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kReadLine[] = "Read configuration has been initiated for controller 0\n";

// A parallel SCSI controller whose port page is missing: the channel line
// stands without an initiator line, and the physical device section, which
// needs the initiator, ends the report right after its header.  The same
// controller shows the odd values as they are: a hexadecimal BIOS version
// below 6.12, slot 0, and a device limit of 0 as -1.
TEST(ControllerSection, ParallelScsiWithoutItsPortPage) {
  json lab = EmptyScsiLab();
  lab["controllers"][0].merge_patch(Lab(R"({
      "port_facts": {"device_limit": 0},
      "pages": {"ScsiPortPg2": {"absent": true}, "IoUnitPg2": {"BiosVersion": "0x060B0000"},
                "IocPg1": {"PciSlotNum": 0}}})"));
  VolkitRun run = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kBanner + std::string(kReadLine) + SectionHeader("Controller information") +
                         "  Controller type                         : Wren/Dipper\n"
                         "  BIOS version                            : 6.0b.00.00\n"
                         "  Firmware version                        : 1.03.41.32\n"
                         "  Channel description                     : 1 parallel SCSI wide\n"
                         "  Maximum physical devices                : -1\n"
                         "  Concurrent commands supported           : 222\n"
                         "  Slot                                    : 0\n"
                         "  Bus                                     : 6\n"
                         "  Device                                  : 4\n"
                         "  Function                                : 0\n"
                         "  RAID Support                            : Yes\n" +
                         SectionHeader("IR Volume information") +
                         SectionHeader("Physical device information"));
}

// Without IoUnitPg2 the BIOS, firmware, channel and initiator lines go
// together; without IocPg1 the slot line goes; without IocPg2 the report
// ends before the RAID Support line.
TEST(ControllerSection, UnreadablePagesDropTheirLinesOrEndTheReport) {
  json lab = EmptySasLab();
  lab["controllers"][0]["pages"] =
      Lab(R"({"IoUnitPg2": {"absent": true}, "IocPg1": {"absent": true}})");
  VolkitRun run = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Slice(run.out, kRule, "IR Volume information"),
            SectionHeader("Controller information") +
                "  Controller type                         : Heron\n"
                "  Maximum physical devices                : 63\n"
                "  Concurrent commands supported           : 511\n"
                "  Bus                                     : 2\n"
                "  Device                                  : 0\n"
                "  Function                                : 0\n"
                "  RAID Support                            : Yes\n" +
                kRule);

  lab["controllers"][0]["pages"] = Lab(R"({"IocPg2": {"absent": true}})");
  VolkitRun stopped = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(stopped.status, 1);
  EXPECT_EQ(stopped.err, "");
  EXPECT_TRUE(
      stopped.out.ends_with(std::string("  Initiator ID                            : 64\n") +
                            "  Maximum physical devices                : 63\n"
                            "  Concurrent commands supported           : 511\n"
                            "  Slot                                    : Unknown\n"
                            "  Bus                                     : 2\n"
                            "  Device                                  : 0\n"
                            "  Function                                : 0\n"))
      << stopped.out;
}

json TwoVolumeLab(const std::string& faults) {
  json lab = SasLab(4, 2048);
  lab["controllers"][0]["raid"] = Lab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 2}, {"num": 3, "target": 3}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1], "max_lba": 2047},
                  {"id": 2, "type": "IM", "members": [2, 3], "max_lba": 4095}]})");
  lab["faults"] = Lab(faults);
  return lab;
}

// A member whose page cannot be read is left out of the member line and the
// section goes on; a volume page that cannot be read ends the report after
// that volume's heading.
TEST(VolumeSection, UnreadableMemberPageAndUnreadableVolumePage) {
  VolkitRun member =
      RunVolkit(TwoVolumeLab(R"([{"match": {"page": "RaidPhysDiskPg0", "action": 1, "address": 1},
                        "effect": {"ioc_status": "0x22"}}])"),
                {"0", "display"});
  EXPECT_EQ(Slice(member.out, "IR volume 1", "------"),
            "IR volume 1\n"
            "  Volume ID                               : 0\n"
            "  Status of volume                        : Okay (OKY)\n"
            "  RAID level                              : 1\n"
            "  Size (in MB)                            : 1\n"
            "  Physical hard disks (Target ID)         : 0\n"
            "IR volume 2\n"
            "  Volume ID                               : 2\n"
            "  Status of volume                        : Okay (OKY)\n"
            "  RAID level                              : 1\n"
            "  Size (in MB)                            : 2\n"
            "  Physical hard disks (Target ID)         : 2 3\n");

  VolkitRun volume =
      RunVolkit(TwoVolumeLab(R"([{"match": {"page": "RaidVolPg0", "action": 1, "address": 2},
                        "effect": {"ioc_status": "0x22"}}])"),
                {"0", "display"});
  EXPECT_EQ(volume.status, 1);
  EXPECT_EQ(volume.err, "");
  EXPECT_TRUE(
      volume.out.ends_with("  Physical hard disks (Target ID)         : 0 1\n"
                           "IR volume 2\n"))
      << volume.out;
}

}  // namespace
}  // namespace volkit_test
