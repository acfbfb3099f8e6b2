// The enclosure section: the walk in firmware order, its end, a firmware
// that hands out a handle twice, and a read that fails otherwise.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

json TwoEnclosureLab() {
  json lab = EmptySasLab();
  lab["controllers"][0]["enclosures"] = Lab(R"([
      {"handle": 1, "logical_id": "0x000000AB00000001", "num_slots": 8, "start_slot": 0,
       "start_target": 0, "start_bus": 0},
      {"handle": 2, "logical_id": "0x50000D1E0034CD00", "num_slots": 4, "start_slot": 2,
       "start_target": 8, "start_bus": 1}])");
  return lab;
}

#define FIRST_ENCLOSURE                                             \
  "Enclosure#                                : 1\n"                 \
  "  Logical ID                              : 00000001:000000ab\n" \
  "  Numslots                                : 8\n"                 \
  "  StartSlot                               : 0\n"                 \
  "  Start TargetID                          : 0\n"                 \
  "  Start Bus                               : 0\n"

constexpr char kTwoEnclosures[] = FIRST_ENCLOSURE
    "Enclosure#                                : 2\n"
    "  Logical ID                              : 0034cd00:50000d1e\n"
    "  Numslots                                : 4\n"
    "  StartSlot                               : 2\n"
    "  Start TargetID                          : 8\n"
    "  Start Bus                               : 1\n";

// The page addresses of the enclosure page reads (header reads left out).
std::vector<long> EnclosureReadAddresses(const VolkitRun& run) {
  std::vector<long> addresses;
  for (const json& line : run.Ioctls(0x04)) {
    std::string frame = FrameHex(line, 28);
    if (frame.substr(0, 2) != "01" || frame.substr(12, 2) != "15") continue;
    addresses.push_back(std::stol(
        frame.substr(54, 2) + frame.substr(52, 2) + frame.substr(50, 2) + frame.substr(48, 2),
        nullptr, 16));
  }
  return addresses;
}

TEST(EnclosureSection, TwoEnclosuresInWalkOrder) {
  VolkitRun run = RunVolkit(TwoEnclosureLab(), {"0", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Slice(run.out, "Enclosure#", "------"), kTwoEnclosures);
  EXPECT_TRUE(run.out.ends_with(std::string(kTwoEnclosures) + kRule));
  EXPECT_EQ(EnclosureReadAddresses(run), (std::vector<long>{0xFFFF, 1, 2}));
}

TEST(EnclosureSection, RepeatedHandleEndsTheWalk) {
  json lab = TwoEnclosureLab();
  lab["controllers"][0]["enclosure_walk"] = Lab(R"({"2": 1})");
  VolkitRun run = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.ends_with(std::string(kTwoEnclosures) + kRule)) << run.out;
  EXPECT_EQ(EnclosureReadAddresses(run), (std::vector<long>{0xFFFF, 1, 2}));
}

TEST(EnclosureSection, FailedReadOtherThanEndOfListStopsTheReport) {
  json lab = TwoEnclosureLab();
  lab["faults"] = Lab(R"([{"match": {"page": "SasEnclosurePg0", "action": 1, "address": 1},
                "effect": {"ioc_status": 4}}])");
  VolkitRun run = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.ends_with(SectionHeader("Enclosure information") + FIRST_ENCLOSURE))
      << run.out;
}

TEST(EnclosureSection, NoneOnParallelScsi) {
  VolkitRun run = RunVolkit(EmptyScsiLab(), {"0", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.find("Enclosure"), std::string::npos);
  EXPECT_TRUE(run.out.ends_with("Initiator at ID #7\n" + std::string(kRule)));
}

}  // namespace
}  // namespace volkit_test
