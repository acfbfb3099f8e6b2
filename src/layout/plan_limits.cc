// Measuring a plan against the controller's limits, each action against the
// state the actions before it leave, as CREATE and HOTSPARE would.
#include "layout/plan_limits.h"

#include <algorithm>

#include "layout/plan.h"
#include "raid/raid_limits.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

constexpr uint32_t kCapabilityOfType[3] = {kCapabilityIs, kCapabilityIme, kCapabilityIm};
// Whatever the firmware reports, a mirror needs two drives and a stripe one.
constexpr uint8_t kLeastDrives[3] = {1, 2, 2};

struct Counts {
  int Volumes = 0;
  int Members = 0;
  int Mirrors = 0;  // active IM and IME volumes, which a hot spare protects
  int Spares = 0;
};

bool IsMirror(uint8_t type) { return type == kVolumeTypeIM || type == kVolumeTypeIME; }

std::string TypeName(uint8_t type) { return LayoutTypeWord(type); }

}  // namespace

int ReadPlanLimits(ControllerInfo* c, PlanLimits* limits) {
  PageBuffer iocpg2;
  int result = ReadIocPg2(c, &iocpg2);
  if (result != 1) return result;
  limits->CapabilityFlags = IocPg2CapabilityFlags(iocpg2);
  limits->MaxVolumes = IocPg2MaxVolumes(iocpg2);
  const RaidLimits l = LoadRaidLimits(c, kVolumeTypeIS);
  limits->MaxHotSpares = l.MaxHotSpares;
  limits->MaxPhysDisks = l.MaxPhysDisks;
  limits->MinDrives[kVolumeTypeIS] = l.MinDrivesIS;
  limits->MaxDrives[kVolumeTypeIS] = l.MaxDrivesIS;
  limits->MinDrives[kVolumeTypeIME] = l.MinDrivesIME;
  limits->MaxDrives[kVolumeTypeIME] = l.MaxDrivesIME;
  limits->MinDrives[kVolumeTypeIM] = l.MinDrivesIM;
  limits->MaxDrives[kVolumeTypeIM] = l.MinDrivesIM;  // a mirror takes exactly its minimum
  return 1;
}

void CheckPlanLimits(const ControllerSnapshot& s, const PlanLimits& limits, ControllerPlan* plan) {
  Counts n;
  n.Volumes = static_cast<int>(s.Volumes.size());
  for (const VolumeSnapshot& v : s.Volumes) {
    n.Members += static_cast<int>(v.Members.size());
    if (IsMirror(v.Type) && !v.Inactive) ++n.Mirrors;
  }
  n.Spares = static_cast<int>(s.HotSpares.size());
  for (const PlanAction& a : plan->Actions) {
    const std::string what = ActionText(a);
    auto refuse = [&](const std::string& why) { plan->Refusals.push_back(what + ": " + why); };
    switch (a.Kind) {
      case PlanActionKind::kRemoveHotSpare:
        --n.Spares;
        break;
      case PlanActionKind::kDeleteVolume:
        for (const VolumeSnapshot& v : s.Volumes) {
          if (v.VolumeId != a.VolumeId) continue;
          --n.Volumes;
          n.Members -= static_cast<int>(v.Members.size());
          if (IsMirror(v.Type) && !v.Inactive) --n.Mirrors;
        }
        break;
      case PlanActionKind::kCreateVolume: {
        const uint8_t t = a.VolumeType;
        const int drives = static_cast<int>(a.Disks.size());
        if (t > kVolumeTypeIM || !(limits.CapabilityFlags & kCapabilityOfType[t])) {
          refuse("the controller's firmware cannot build " + TypeName(t) + " volumes");
        } else if (n.Volumes > 1 || n.Volumes >= limits.MaxVolumes) {
          refuse("the controller would hold " + std::to_string(n.Volumes) +
                 " volumes, as many as volkit creates");
        } else if (drives < std::max(limits.MinDrives[t], kLeastDrives[t]) ||
                   drives > limits.MaxDrives[t]) {
          refuse("a " + TypeName(t) + " volume takes " + std::to_string(limits.MinDrives[t]) +
                 (limits.MinDrives[t] == limits.MaxDrives[t]
                      ? ""
                      : " to " + std::to_string(limits.MaxDrives[t])) +
                 " disks");
        } else if (s.Sas && n.Members + drives > limits.MaxPhysDisks) {
          refuse("the volumes would hold more than the controller's " +
                 std::to_string(limits.MaxPhysDisks) + " disks");
        }
        ++n.Volumes;
        n.Members += drives;
        if (IsMirror(t)) ++n.Mirrors;
        break;
      }
      case PlanActionKind::kAddHotSpare:
        if (n.Mirrors == 0) {
          refuse("no active IM or IME volume for it to protect");
        } else if (n.Spares >= limits.MaxHotSpares) {
          refuse("the controller takes at most " + std::to_string(limits.MaxHotSpares) +
                 " hot spares");
        }
        ++n.Spares;
        break;
    }
  }
}
