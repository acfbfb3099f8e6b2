// Encl:Bay specifiers resolved against a controller's enclosures and disks,
// through the binary (CREATE is the command that takes them).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kScsiIo = 0x00;
constexpr char kFailed[] = "volkit: Volume creation failed.\n";

json TwoEnclosureLab() {
  return Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x54"},
    "enclosures": [{"handle": 3}, {"handle": 7}],
    "devices": [
      {"target": 0, "enclosure": 3, "slot": 0, "blocks": 143374744},
      {"target": 5, "enclosure": 3, "slot": 1, "blocks": 143374744},
      {"target": 2, "enclosure": 7, "slot": 0, "blocks": 143374744},
      {"target": 3, "enclosure": 7, "slot": 0, "blocks": 143374744},
      {"target": 4, "enclosure": 7, "slot": 1, "blocks": 143374744, "device_info": "0x400"},
      {"target": 6, "enclosure": 7, "slot": 2, "blocks": 143374744}]}]})");
}

VolkitRun CreateOn(const json& lab, const std::string& first, const std::string& second) {
  return RunVolkit(lab, {"0", "create", "is", "max", first, second, "noprompt"});
}

std::set<int> InquiredTargets(const VolkitRun& run) {
  std::set<int> targets;
  for (const json& line : run.Ioctls(kScsiIo)) {
    targets.insert(std::stoi(FrameHex(line, 1), nullptr, 16));
  }
  return targets;
}

TEST(DriveAddressLab, EnclosureNumbersFollowTheEnumeration) {
  VolkitRun run = CreateOn(TwoEnclosureLab(), "1:1", "2:2");
  EXPECT_EQ(run.out.find("Invalid"), std::string::npos) << run.out;
  EXPECT_EQ(InquiredTargets(run), (std::set<int>{5, 6}));
}

TEST(DriveAddressLab, Refusals) {
  struct Case {
    const char* Word;
    const char* Message;
  } cases[] = {
      {"3:1", "volkit: Invalid Enclosure ID specified for disk : \"3:1\"!\n"},
      {"0:1", "volkit: Invalid Enclosure ID specified for disk : \"0:1\"!\n"},
      {"1:9", "volkit: Invalid SlotNumber specified for disk : \"1:9\"!\n"},
      // A device that is no end device is not in the table.
      {"2:1", "volkit: Invalid SlotNumber specified for disk : \"2:1\"!\n"},
      {"2:0", "volkit: Multiple disks exists in SlotNumber specified for disk : \"2:0\"!\n"},
      {"1:x", "volkit: Invalid Encl:Bay value specified for disk : \"1:x\"!\n"},
  };
  for (const Case& c : cases) {
    VolkitRun run = CreateOn(TwoEnclosureLab(), c.Word, "1:0");
    EXPECT_EQ(run.status, 1) << c.Word;
    EXPECT_EQ(run.out, std::string(kBanner) + c.Message + kFailed) << c.Word;
    EXPECT_TRUE(run.Ioctls(kScsiIo).empty()) << c.Word;
  }
}

TEST(DriveAddressLab, EnclBayOnParallelScsi) {
  json lab = Lab(R"({"controllers": [{"number": 0, "pci": {"device_id": "0x30"},
    "devices": [{"target": 0, "blocks": 71132960}, {"target": 1, "blocks": 71132960}]}]})");
  VolkitRun run = CreateOn(lab, "0", "1:1");
  EXPECT_EQ(run.out, std::string(kBanner) +
                         "volkit: Enclosure:Bay option not supported on SCSI controllers!\n" +
                         kFailed);
}

}  // namespace
}  // namespace volkit_test
