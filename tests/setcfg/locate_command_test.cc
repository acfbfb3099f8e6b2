// LOCATE through the binary: the action words, the slot address and the two
// enclosure requests it sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kUsage[] =
    "  volkit <controller #> LOCATE <SCSI ID>/<Encl:Bay> <action>\n"
    "    where <controller #> is:\n"
    "        Number between 0 and 255,\n"
    "    where <SCSI ID> is:\n"
    "        Any valid SCSI Id of a physical disk\n"
    "    where <Encl:Bay> is:\n"
    "        Any valid Enclosure:Bay pair of a physical disk\n"
    "    where <action> is:\n"
    "        on  - turn ON the drive's Locate LED\n"
    "        off - turn OFF the drive's Locate LED\n\n";
constexpr char kFailed[] = "volkit: Locate command failed.\n";
constexpr uint32_t kIdentify = 0x00020000;

struct SepRequest {
  int Target, Action, Flags;
  uint32_t Status;
  int Slot, Enclosure;
};

uint32_t Le(const ByteVector& b, size_t at, int width) {
  uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

std::vector<SepRequest> SepRequests(const VolkitRun& run) {
  std::vector<SepRequest> requests;
  for (const json& line : run.Ioctls(0x18)) {
    ByteVector f = FrameBytes(line, 32);
    requests.push_back({f[0], f[4], f[5], Le(f, 12, 4), static_cast<int>(Le(f, 28, 2)),
                        static_cast<int>(Le(f, 30, 2))});
  }
  return requests;
}

uint64_t SlotStatus(const VolkitRun& run, int enclosure, int slot) {
  const json& status = run.state["controllers"][0]["enclosures"][enclosure]["slot_status"];
  const json& word = status.is_object() ? status.value(std::to_string(slot), json("0x1")) : "0x1";
  return word.is_string() ? std::stoull(word.get<std::string>(), nullptr, 0) : word.get<uint64_t>();
}

// Three disks in bays 0-2 of enclosure 1, bay 2 with `status`.
json SlotLab(const char* status = "0x1") {
  json lab = SasLab(3);
  lab["controllers"][0]["enclosures"][0]["slot_status"] = {{"2", status}};
  return lab;
}

void ExpectRefused(const VolkitRun& run, const std::string& message) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner + message + kFailed);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.Ioctls(0x18).empty());
}

TEST(LocateCommand, UsageAndActionWords) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{"0", "locate", "1"}, {"0", "locate", "1", "on", "now"}}) {
    VolkitRun run = RunVolkit(SlotLab(), args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, kUsage);
  }
  for (const char* word : {"o", "ONN", "of", "1", "", "-on"}) {
    VolkitRun run = RunVolkit(SlotLab(), {"0", "locate", "1:2", word});
    EXPECT_EQ(run.status, 1) << word;
    EXPECT_EQ(run.out, kBanner);
    std::string shown = word == std::string("ONN") ? "onn" : word;
    EXPECT_EQ(run.err, "volkit: Invalid action specified \"" + shown + "\"!\n");
    EXPECT_TRUE(run.Ioctls(4).empty()) << "nothing may be asked before the action is known";
    EXPECT_TRUE(run.Ioctls(0x18).empty());
  }
  for (const char* word : {"ON", "Off", "oN"}) {
    VolkitRun run = RunVolkit(SlotLab(), {"0", "LOCATE", "1:2", word});
    EXPECT_EQ(run.status, 0) << word;
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, "");
  }
}

TEST(LocateCommand, OnSetsTheIdentifyBitAndOffClearsIt) {
  VolkitRun run = RunVolkit(SlotLab(), {"0", "locate", "1:2", "on"});
  EXPECT_EQ(run.status, 0);
  std::vector<SepRequest> sep = SepRequests(run);
  ASSERT_EQ(sep.size(), 2u);
  EXPECT_EQ(
      (std::vector<int>{sep[0].Target, sep[0].Action, sep[0].Flags, sep[0].Slot, sep[0].Enclosure}),
      (std::vector<int>{0, 1, 1, 2, 1}));
  EXPECT_EQ(sep[0].Status, 0u);
  EXPECT_EQ(
      (std::vector<int>{sep[1].Target, sep[1].Action, sep[1].Flags, sep[1].Slot, sep[1].Enclosure}),
      (std::vector<int>{0, 0, 1, 2, 1}));
  EXPECT_EQ(sep[1].Status, 0x1u | kIdentify);
  EXPECT_EQ(SlotStatus(run, 0, 2), 0x1u | kIdentify);

  // Lit already: written back as it stands.
  run = RunVolkitAgain(run, {"0", "locate", "2", "on"});
  sep = SepRequests(run);
  ASSERT_EQ(sep.size(), 2u);
  EXPECT_EQ(sep[1].Status, 0x1u | kIdentify);

  // This firmware reports the identify bit back; sending the status as read
  // would leave the LED lit although the command succeeds.
  run = RunVolkitAgain(run, {"0", "locate", "1:2", "off"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner);
  sep = SepRequests(run);
  ASSERT_EQ(sep.size(), 2u);
  EXPECT_EQ(sep[1].Status, 0x1u);
  EXPECT_EQ(SlotStatus(run, 0, 2), 0x1u);

  // Every other bit stays as read, whichever way.
  run = RunVolkit(SlotLab("0x80020006"), {"0", "locate", "2", "off"});
  EXPECT_EQ(SlotStatus(run, 0, 2), 0x80000006u);
  run = RunVolkit(SlotLab("0x80000006"), {"0", "locate", "2", "off"});
  EXPECT_EQ(SlotStatus(run, 0, 2), 0x80000006u);
  run = RunVolkit(SlotLab("0x80000006"), {"0", "locate", "2", "on"});
  EXPECT_EQ(SlotStatus(run, 0, 2), 0x80020006u);
}

TEST(LocateCommand, TargetFormSendsTheDevicesEnclosureAndSlot) {
  json lab = SasLab(2);
  lab["controllers"][0]["enclosures"].push_back({{"handle", 2}, {"num_slots", 4}});
  lab["controllers"][0]["devices"][1]["enclosure"] = 2;
  lab["controllers"][0]["devices"][1]["slot"] = 3;
  VolkitRun run = RunVolkit(lab, {"0", "locate", "1", "on"});
  EXPECT_EQ(run.status, 0);
  std::vector<SepRequest> sep = SepRequests(run);
  ASSERT_EQ(sep.size(), 2u);
  EXPECT_EQ(sep[1].Enclosure, 2);
  EXPECT_EQ(sep[1].Slot, 3);
  EXPECT_EQ(SlotStatus(run, 1, 3), 0x1u | kIdentify);
}

TEST(LocateCommand, SlotAddressRefusals) {
  ExpectRefused(RunVolkit(SlotLab(), {"0", "locate", "0:1", "on"}),
                "volkit: Enclosure Id not valid for disk : \"0:1\"!\n");
  ExpectRefused(RunVolkit(SlotLab(), {"0", "locate", "2:1", "on"}),
                "volkit: Enclosure Id not valid for disk : \"2:1\"!\n");
  ExpectRefused(RunVolkit(SlotLab(), {"0", "locate", "1:5", "off"}),
                "volkit: SlotNumber not valid for disk : \"1:5\"!\n");
  ExpectRefused(RunVolkit(SlotLab(), {"0", "locate", "9", "on"}),
                "volkit: Drive with targetId \"9\" does not exist!\n");
  ExpectRefused(RunVolkit(SlotLab(), {"0", "locate", "x:1", "on"}),
                "volkit: Invalid Encl:Bay value specified for disk : \"x:1\"!\n");

  json twice = SlotLab();
  twice["controllers"][0]["devices"][1]["slot"] = 0;
  for (const char* drive : {"1:0", "1"}) {
    ExpectRefused(
        RunVolkit(twice, {"0", "locate", drive, "on"}),
        std::string("volkit: Multiple disks exists in SlotNumber specified for disk : \"") + drive +
            "\"!\n");
  }

  json scsi = Lab(R"({"controllers": [{"number": 0, "kind": "scsi",
                      "devices": [{"target": 1, "blocks": 1000}]}]})");
  ExpectRefused(RunVolkit(scsi, {"0", "locate", "1", "on"}),
                "volkit: Drive with targetId \"1\" does not exist!\n");
  ExpectRefused(RunVolkit(scsi, {"0", "locate", "1:1", "on"}),
                "volkit: Enclosure Id not valid for disk : \"1:1\"!\n");
}

TEST(LocateCommand, FailedRequestsNeverPassForSuccess) {
  // A driver error is tried twice by the channel; the firmware's refusal once.
  struct Case {
    const char* fault;
    size_t writes;
  } cases[] = {
      {R"({"match": {"function": 24, "action": 1}, "effect": {"ioc_status": "0x0020"}})", 0},
      {R"({"match": {"function": 24, "action": 1}, "effect": {"errno": "EIO"}})", 0},
      {R"({"match": {"function": 24, "action": 0}, "effect": {"ioc_status": "0x0020"}})", 1},
      {R"({"match": {"function": 24, "action": 0}, "effect": {"errno": "EIO"}})", 2},
  };
  for (const Case& c : cases) {
    json lab = SlotLab();
    lab["faults"] = json::array({Lab(c.fault)});
    VolkitRun run = RunVolkit(lab, {"0", "locate", "1:2", "on"});
    EXPECT_EQ(run.status, 1) << c.fault;
    EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
    size_t writes = 0;
    for (const SepRequest& r : SepRequests(run)) writes += r.Action == 0;
    EXPECT_EQ(writes, c.writes) << c.fault;
    EXPECT_EQ(SlotStatus(run, 0, 2), 0x1u);
  }
  // A read answered without a reply frame brings no status back; what it
  // would write is not the slot's status with one bit changed.
  for (const char* action : {"on", "off"}) {
    json lab = SlotLab("0x80000006");
    lab["faults"] =
        Lab(R"([{"match": {"function": 24, "action": 1}, "effect": {"no_reply": true}}])");
    VolkitRun run = RunVolkit(lab, {"0", "locate", "1:2", action});
    EXPECT_EQ(run.status, 1) << action;
    EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
    EXPECT_EQ(SepRequests(run).size(), 1u) << action;
    EXPECT_EQ(SlotStatus(run, 0, 2), 0x80000006u) << action;
  }
  // A slot the enclosure does not have is refused by the firmware.
  json lab = SlotLab();
  lab["controllers"][0]["devices"][2]["slot"] = 9;
  VolkitRun run = RunVolkit(lab, {"0", "locate", "1:9", "on"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + kFailed);
}

}  // namespace
}  // namespace volkit_test
