// The health table: each row, the order of the findings, and that the worst
// over everything wins wherever it stands.
#include "monitor/health.h"

#include <gtest/gtest.h>

namespace {

RaidDiskSnapshot Disk(uint8_t number, uint8_t target, const char* state, uint16_t smart = 0) {
  return {number, target, std::string(state), smart};
}

VolumeSnapshot Volume(uint8_t id, uint8_t type, uint8_t state_code) {
  VolumeSnapshot v;
  v.VolumeId = id;
  v.Type = type;
  v.StateCode = state_code;
  v.Members = {Disk(0, 1, "online"), Disk(1, 2, "online")};
  return v;
}

FleetSnapshot OneController(ControllerSnapshot c) {
  FleetSnapshot fleet;
  fleet.Controllers.push_back(std::move(c));
  return fleet;
}

FleetSnapshot WithVolume(const VolumeSnapshot& v) {
  ControllerSnapshot c;
  c.Volumes.push_back(v);
  return OneController(c);
}

std::vector<std::string> Texts(const HealthVerdict& verdict) {
  std::vector<std::string> texts;
  for (const HealthFinding& f : verdict.Findings) texts.push_back(f.Text);
  return texts;
}

TEST(HealthTable, VolumeRows) {
  struct Row {
    uint8_t type, state_code, flags;
    bool inactive;
    HealthState want;
    const char* text;
  };
  const Row rows[] = {
      {2, 0, 0x01, false, HealthState::kOk, nullptr},
      {2, 1, 0x01, false, HealthState::kCritical, "controller 0 volume 0 (IM) degraded"},
      {0, 2, 0x01, false, HealthState::kCritical, "controller 0 volume 0 (IS) failed"},
      {1, 3, 0x01, false, HealthState::kCritical, "controller 0 volume 0 (IME) missing"},
      {2, 9, 0x01, false, HealthState::kWarning, "controller 0 volume 0 (IM) in unknown state 9"},
      {2, 0, 0x09, true, HealthState::kWarning, "controller 0 volume 0 (IM) inactive"},
  };
  for (const Row& row : rows) {
    VolumeSnapshot v = Volume(0, row.type, row.state_code);
    v.StatusFlags = row.flags;
    v.Inactive = row.inactive;
    HealthVerdict verdict = ClassifyHealth(WithVolume(v));
    EXPECT_EQ(verdict.State, row.want) << int{row.state_code};
    if (row.text == nullptr) {
      EXPECT_TRUE(verdict.Findings.empty());
    } else {
      EXPECT_EQ(Texts(verdict), std::vector<std::string>{row.text});
    }
  }
}

TEST(HealthTable, ARunningResyncIsAWarningWithItsProgress) {
  VolumeSnapshot v = Volume(0, 1, 1);
  v.Resync = {true, 1000, 630};
  HealthVerdict verdict = ClassifyHealth(WithVolume(v));
  EXPECT_EQ(verdict.State, HealthState::kWarning);
  EXPECT_EQ(Texts(verdict), std::vector<std::string>{"controller 0 volume 0 (IME) resyncing 37%"});
  // An unreadable or nonsensical indicator still says the resync runs.
  v.Resync = {true, 1000, 2000};
  EXPECT_EQ(Texts(ClassifyHealth(WithVolume(v))),
            std::vector<std::string>{"controller 0 volume 0 (IME) resyncing"});
}

TEST(HealthTable, MemberAndHotSpareRows) {
  for (const char* lost : {"failed", "missing", "not_compatible", "failed_requested",
                           "offline_requested", "offline_unknown"}) {
    VolumeSnapshot v = Volume(0, 2, 0);
    v.Members[1] = Disk(1, 5, lost);
    HealthVerdict verdict = ClassifyHealth(WithVolume(v));
    EXPECT_EQ(verdict.State, HealthState::kCritical) << lost;
    EXPECT_EQ(Texts(verdict),
              std::vector<std::string>{std::string("controller 0 target 5 ") + lost});
  }
  VolumeSnapshot v = Volume(0, 2, 0);
  v.Members[0] = Disk(0, 1, "online", 3);
  v.Members[1] = Disk(1, 2, "out_of_sync");
  EXPECT_EQ(Texts(ClassifyHealth(WithVolume(v))),
            std::vector<std::string>{"controller 0 target 1 reports 3 SMART errors"});

  ControllerSnapshot c;
  c.Controller = 1;
  c.HotSpares = {Disk(4, 7, "hot_spare"), Disk(5, 8, "missing"), Disk(6, 9, "hot_spare", 1)};
  HealthVerdict verdict = ClassifyHealth(OneController(c));
  EXPECT_EQ(verdict.State, HealthState::kWarning);
  EXPECT_EQ(Texts(verdict),
            (std::vector<std::string>{"controller 1 target 8 hot spare in state missing",
                                      "controller 1 target 9 reports 1 SMART errors"}));
}

TEST(HealthTable, ReadFailuresAreUnknown) {
  ControllerSnapshot c;
  c.Complete = false;
  c.Problems = {"the volume list", "physical disk 3"};
  HealthVerdict verdict = ClassifyHealth(OneController(c));
  EXPECT_EQ(verdict.State, HealthState::kUnknown);
  EXPECT_EQ(Texts(verdict),
            std::vector<std::string>{"controller 0 could not be read completely: the volume list, "
                                     "physical disk 3"});

  FleetSnapshot fleet;
  fleet.Failure = RunFailure::kControllerAbsent;
  fleet.Messages.push_back({"error", "controller 3 not found"});
  verdict = ClassifyHealth(fleet);
  EXPECT_EQ(verdict.State, HealthState::kUnknown);
  EXPECT_EQ(Texts(verdict), std::vector<std::string>{"controller 3 not found"});
  EXPECT_EQ(ClassifyHealth(FleetSnapshot{}).State, HealthState::kOk);
}

TEST(HealthTable, TheWorstWinsWhereverItStandsAndComesFirst) {
  FleetSnapshot fleet;
  ControllerSnapshot first;
  first.Complete = false;
  first.Problems = {"volume 1"};
  VolumeSnapshot resyncing = Volume(0, 1, 1);
  resyncing.Resync = {true, 100, 50};
  first.Volumes.push_back(resyncing);
  ControllerSnapshot second;
  second.Controller = 2;
  second.Volumes.push_back(Volume(4, 2, 0));
  second.Volumes.push_back(Volume(5, 2, 2));
  fleet.Controllers = {first, second};
  HealthVerdict verdict = ClassifyHealth(fleet);
  EXPECT_EQ(verdict.State, HealthState::kCritical);
  EXPECT_EQ(Texts(verdict),
            (std::vector<std::string>{"controller 2 volume 5 (IM) failed",
                                      "controller 0 volume 0 (IME) resyncing 50%",
                                      "controller 0 could not be read completely: volume 1"}));
  EXPECT_STREQ(HealthStateName(verdict.State), "critical");
}

PhysicalDiskSnapshot Listed(uint8_t number, uint8_t target, const char* state) {
  PhysicalDiskSnapshot d;
  d.PhysicalDisk = number;
  d.Target = target;
  d.State = std::string(state);
  d.HotSpare = false;
  return d;
}

TEST(HealthTable, AFailedDiskInNoVolumeIsAWarningOnlyWhereItsPlaceIsKnown) {
  ControllerSnapshot c;
  c.Volumes.push_back(Volume(0, 2, 0));
  PhysicalDiskSnapshot left = Listed(3, 7, "failed");
  PhysicalDiskSnapshot member = Listed(1, 2, "failed");
  member.VolumeId = 0;
  PhysicalDiskSnapshot spare = Listed(4, 8, "failed");
  spare.HotSpare = true;
  c.PhysicalDisks = {member, left, spare, Listed(5, 9, "online")};
  HealthVerdict verdict = ClassifyHealth(OneController(c));
  EXPECT_EQ(verdict.State, HealthState::kWarning);
  EXPECT_EQ(Texts(verdict), std::vector<std::string>{"controller 0 physical disk 3 (target 7) "
                                                     "failed, in no volume: replace the disk"});

  // A volume or the spare list unread: the disk may be in either.
  c.PhysicalDisks = {left};
  c.PhysicalDisks[0].VolumesKnown = false;
  EXPECT_EQ(ClassifyHealth(OneController(c)).State, HealthState::kOk);
  c.PhysicalDisks = {left};
  c.PhysicalDisks[0].HotSpare.reset();
  EXPECT_EQ(ClassifyHealth(OneController(c)).State, HealthState::kOk);
}

}  // namespace
