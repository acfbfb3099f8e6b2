// The RAID physical disk lookup as DISPLAY and STATUS meet it: the lookup
// answers with its last page read, and a volume is inactive by either of
// its two flags.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kConfigPage = 0x04;

// Read-current requests for the page whose number and type bytes (22, 23)
// read `number_and_type`.
int CountPageReads(const VolkitRun& run, const std::string& number_and_type) {
  int n = 0;
  for (const json& line : run.Ioctls(kConfigPage)) {
    std::string frame = FrameHex(line, 24);
    n += frame.substr(0, 2) == "01" && frame.substr(44, 4) == number_and_type;
  }
  return n;
}

json SpareLab(const std::string& faults) {
  json lab = SasLab(4, 2048);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 4}};
  lab["controllers"][0]["raid"] = Lab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 2, "hot_spare_pool": 1},
                     {"num": 3, "target": 3, "hot_spare_pool": 1}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1], "max_lba": 2047}]})");
  lab["faults"] = Lab(faults);
  return lab;
}

constexpr char kTarget0Block[] =
    "Target on ID #0\n"
    "  Device is a Hard disk\n"
    "  Enclosure #                             : 1\n"
    "  Slot #                                  : 0\n"
    "  Connector ID                            : 0\n"
    "  Target ID                               : 0\n"
    "  State                                   : Online (ONL)\n"
    "  Size (in MB)/(in sectors)               : 1/2048\n";

// An unreadable page at the end of the member scan is the lookup's answer:
// the hot spares are not consulted and the device section ends at once.
TEST(RaidLookup, UnreadableLastMemberPageEndsTheDeviceSection) {
  VolkitRun run =
      RunVolkit(SpareLab(R"([{"match": {"page": "RaidPhysDiskPg0", "action": 1, "address": 1},
                               "effect": {"ioc_status": "0x22"}}])"),
                {"0", "display"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  std::string devices = Slice(run.out, "Target on ID #0", "------");
  EXPECT_TRUE(devices.starts_with(kTarget0Block)) << devices;
  EXPECT_EQ(run.out.find("Target on ID #1"), std::string::npos);
  EXPECT_EQ(run.out.find("Enclosure information"), std::string::npos);
  EXPECT_FALSE(run.out.ends_with(kRule));
  EXPECT_EQ(CountPageReads(run, "0501"), 0);  // IocPg5
}

// Among the hot spares only the last page read counts: an unreadable first
// spare is passed over, an unreadable last one fails the lookup.
TEST(RaidLookup, OnlyTheLastHotSparePageDecides) {
  VolkitRun first =
      RunVolkit(SpareLab(R"([{"match": {"page": "RaidPhysDiskPg0", "action": 1, "address": 2},
                               "effect": {"ioc_status": "0x22"}}])"),
                {"0", "display"});
  EXPECT_EQ(first.status, 0) << first.out;
  // Target 2 is then no known disk; the firmware keeps it hidden.
  EXPECT_EQ(first.out.find("Target on ID #2"), std::string::npos);
  EXPECT_NE(first.out.find("Target on ID #3\n"), std::string::npos);
  EXPECT_NE(first.out.find("  State                                   : Hot Spare (HSP)\n"),
            std::string::npos);

  VolkitRun last =
      RunVolkit(SpareLab(R"([{"match": {"page": "RaidPhysDiskPg0", "action": 1, "address": 3},
                               "effect": {"ioc_status": "0x22"}}])"),
                {"0", "display"});
  EXPECT_EQ(last.status, 1);
  // Target 2 is found at the first spare, before the unreadable one; the
  // lookup for target 3 ends on it.
  EXPECT_NE(last.out.find("Target on ID #2\n"), std::string::npos);
  EXPECT_EQ(last.out.find("Target on ID #3"), std::string::npos);
  EXPECT_EQ(last.out.find("Enclosure information"), std::string::npos);
}

// A KVR-marked SATA member is described from its IDENTIFY data and needs
// its physical disk page only for the state: without it the block ends
// after the Target ID line, and the report goes on.
TEST(RaidLookup, KvrSataMemberWithoutItsPage) {
  json lab = SasLab(2, 2048);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 2}};
  lab["controllers"][0]["devices"] = Lab(R"([
      {"handle": 9, "target": 0, "enclosure": 1, "slot": 0, "phy": 0, "protocol": "sata",
       "vendor": "ATA", "product": "IGNORED", "revision": "FW01",
       "ata_model": "XQ-9000 DISK MODEL  FRU12345PN678901KVR ", "serial": "K0", "blocks": 2048},
      {"handle": 10, "target": 1, "enclosure": 1, "slot": 1, "phy": 1, "protocol": "sata",
       "vendor": "ATA", "product": "MERIDIAN MD500S", "revision": "CC38", "serial": "P1",
       "blocks": 2048}])");
  lab["controllers"][0]["raid"] = Lab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
      "volumes": [{"id": 4, "type": "IM", "members": [0, 1], "max_lba": 2047}]})");
  // Reads of physical disk 0: the volume section's member line, the
  // lookup for target 0, then the one the state line needs.
  lab["faults"] = Lab(R"([{"match": {"page": "RaidPhysDiskPg0", "action": 1, "address": 0},
                            "nth": 3, "effect": {"ioc_status": "0x22"}}])");
  VolkitRun run = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Slice(run.out, "Target on ID #0", "Target on ID #1"),
            "Target on ID #0\n"
            "  Device is a Hard disk\n"
            "  Enclosure #                             : 1\n"
            "  Slot #                                  : 0\n"
            "  Connector ID                            : 0\n"
            "  Target ID                               : 0\n");
  // The member without the mark takes its strings from its page.
  EXPECT_EQ(Slice(run.out, "  Manufacturer", "  Serial No"),
            "  Manufacturer                            : ATA     \n"
            "  Model Number                            : MERIDIAN MD500S \n"
            "  Firmware Revision                       : CC38\n");
  EXPECT_TRUE(run.out.ends_with(kRule));
}

// DISPLAY and STATUS take a volume as inactive when either its list entry
// or its own page says so; the device section's lookup reads the page only.
TEST(RaidLookup, InactiveByEitherFlag) {
  json lab = SasLab(4, 2048);
  lab["controllers"][0]["port_facts"] = {{"device_limit", 4}};
  lab["controllers"][0]["raid"] = Lab(R"({
      "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                     {"num": 2, "target": 2}, {"num": 3, "target": 3}],
      "volumes": [{"id": 0, "type": "IM", "members": [0, 1], "max_lba": 2047,
                   "inactive": true, "status_flags": "0x01"},
                  {"id": 2, "type": "IM", "members": [2, 3], "max_lba": 2047,
                   "status_flags": "0x09"}]})");
  VolkitRun display = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(display.status, 0) << display.out;
  EXPECT_EQ(Slice(display.out, "IR volume 1", "------"),
            "IR volume 1\n"
            "  Volume ID                               : 0\n"
            "  Status of volume                        : Inactive, Okay (OKY)\n"
            "  RAID level                              : 1\n"
            "  Size (in MB)                            : 1\n"
            "IR volume 2\n"
            "  Volume ID                               : 2\n"
            "  Status of volume                        : Inactive, Okay (OKY)\n"
            "  RAID level                              : 1\n"
            "  Size (in MB)                            : 1\n");
  // Only the second volume's page is marked: its members' serial numbers
  // are not asked for, the first volume's are.
  EXPECT_NE(Slice(display.out, "Target on ID #0", "Target on ID #1").find("  Serial No"),
            std::string::npos);
  EXPECT_TRUE(display.out.find("  Serial No                               : \n") !=
              std::string::npos)
      << display.out;
  int pass_through_serials = 0;
  for (const json& line : display.Ioctls(0x16)) {
    std::string frame = FrameHex(line, 28);
    pass_through_serials += frame.substr(48, 6) == "120180";
  }
  EXPECT_EQ(pass_through_serials, 2);

  VolkitRun status = RunVolkit(lab, {"0", "status"});
  EXPECT_EQ(status.status, 0);
  EXPECT_NE(status.out.find("IR Volume 1\n  Volume ID                               : 0\n"
                            "  Current operation                       : None\n"
                            "  Volume status                           : Enabled\n"
                            "  Volume state                            : Inactive, Optimal\n"),
            std::string::npos)
      << status.out;
  EXPECT_NE(status.out.find("IR Volume 2\n  Volume ID                               : 2\n"
                            "  Current operation                       : None\n"
                            "  Volume status                           : Enabled\n"
                            "  Volume state                            : Inactive, Optimal\n"),
            std::string::npos)
      << status.out;
}

}  // namespace
}  // namespace volkit_test
