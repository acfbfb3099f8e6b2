// The BIOS boot device following a disk into a volume and back out of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kPrimaryAddress[] = "0x5000d31000a1c001";
constexpr char kSecondaryAddress[] = "0x5000d31000a1c101";

// Two SAS disks with known addresses; `boot` names the boot device.
json BootLab(const std::string& boot) {
  json lab = SasLab(3);
  json& devices = lab["controllers"][0]["devices"];
  devices[0]["sas_address"] = kPrimaryAddress;
  devices[1]["sas_address"] = kSecondaryAddress;
  lab["controllers"][0]["pages"]["BiosPg2"] = {{"BootDeviceAddress", boot}};
  return lab;
}

uint64_t Number(const json& value) {
  return value.is_string() ? std::stoull(value.get<std::string>(), nullptr, 0)
                           : value.get<uint64_t>();
}

uint64_t BootAddress(const VolkitRun& run) {
  return Number(run.state["controllers"][0]["pages"]["BiosPg2"]["BootDeviceAddress"]);
}

// The address bytes of each BiosPg2 write, as they go to the firmware.
std::vector<ByteVector> WrittenAddresses(const VolkitRun& run) {
  std::vector<ByteVector> addresses;
  for (const ByteVector& page : PageWrites(run, 2, 2)) {
    addresses.emplace_back(page.begin() + 32, page.begin() + 40);
  }
  return addresses;
}

TEST(BootDevice, MirrorTakesTheRoleFromItsPrimaryAndHandsItBack) {
  VolkitRun created =
      RunVolkit(BootLab(kPrimaryAddress), {"0", "create", "im", "max", "0", "1", "noprompt"});
  ASSERT_EQ(created.status, 0) << created.err;
  ASSERT_EQ(WrittenAddresses(created).size(), 1u);
  const json& volume = created.state["controllers"][0]["raid"]["volumes"][0];
  EXPECT_EQ(BootAddress(created), Number(volume["wwid"]));
  // Written to non-volatile memory, so that the BIOS finds it after a reset.
  EXPECT_FALSE(created.state["controllers"][0]["pages"]["BiosPg2"].contains("nvram"));

  // Only an address written in the pages' own word order is found again here.
  VolkitRun deleted = RunVolkitAgain(created, {"0", "delete", "noprompt"});
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_EQ(WrittenAddresses(deleted),
            (std::vector<ByteVector>{{0x01, 0xC0, 0xA1, 0x00, 0x10, 0xD3, 0x00, 0x50}}));
  EXPECT_EQ(BootAddress(deleted), 0x5000d31000a1c001u);
}

TEST(BootDevice, AnyOtherMemberLosesTheRole) {
  VolkitRun run =
      RunVolkit(BootLab(kSecondaryAddress), {"0", "create", "im", "max", "0", "1", "noprompt"});
  EXPECT_EQ(WrittenAddresses(run), (std::vector<ByteVector>{ByteVector(8, 0)}));
  run = RunVolkit(BootLab(kPrimaryAddress), {"0", "create", "is", "max", "0", "1", "noprompt"});
  EXPECT_EQ(WrittenAddresses(run), (std::vector<ByteVector>{ByteVector(8, 0)}));
}

TEST(BootDevice, UntouchedWhenNotConcerned) {
  VolkitRun run = RunVolkit(BootLab("0"), {"0", "create", "im", "max", "0", "1", "noprompt"});
  EXPECT_TRUE(WrittenAddresses(run).empty());
  run = RunVolkitAgain(run, {"0", "delete", "noprompt"});
  EXPECT_TRUE(WrittenAddresses(run).empty());
  run = RunVolkit(BootLab(kPrimaryAddress), {"0", "create", "im", "max", "1", "2", "noprompt"});
  EXPECT_TRUE(WrittenAddresses(run).empty());
  EXPECT_EQ(BootAddress(run), 0x5000d31000a1c001u);
}

TEST(BootDevice, DeletedStripeThatBootsLeavesNoBootDevice) {
  json lab = BootLab("0x50000d1100aa0001");
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IS", "members": [0, 1], "wwid": "0x50000d1100aa0001"}]})");
  VolkitRun run = RunVolkit(lab, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(WrittenAddresses(run), (std::vector<ByteVector>{ByteVector(8, 0)}));
}

TEST(BootDevice, ParallelScsiHasNone) {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "pages": {"IocPg6": {"absent": true}},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960}]}]})");
  VolkitRun run = RunVolkit(lab, {"0", "create", "im", "max", "0", "1", "noprompt"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Without IocPg6 a parallel-SCSI member keeps 128 blocks back.
  for (const LoggedAction& a : RaidActions(run)) {
    if (a.Action != 2) continue;
    EXPECT_EQ(ByteVector(a.DataOut.begin() + 16, a.DataOut.begin() + 20),
              (ByteVector{0xFF, 0xAF, 0x3B, 0x04}));  // 71020543
  }
  run = RunVolkitAgain(run, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 0);
  for (const json& line : run.Ioctls(0x04)) EXPECT_NE(FrameBytes(line, 24)[23], 2);
}

}  // namespace
}  // namespace volkit_test
