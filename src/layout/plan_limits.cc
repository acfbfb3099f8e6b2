// Measuring a plan against the controller's limits, each action against the
// state the actions before it leave, as CREATE and HOTSPARE would.
#include "layout/plan_limits.h"

#include <algorithm>

#include "layout/layout_places.h"
#include "layout/plan.h"
#include "layout/plan_disk_types.h"
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

bool IsSata(const ControllerSnapshot& s, uint8_t target) {
  const DeviceSnapshot* d = DeviceAtTarget(s, target);
  return d != nullptr && d->Protocol == "sata";
}

// HOTSPARE's size check: the disk must hold more than what a member of each
// mirror of its interface holds (its share and the metadata reserve).  The
// volumes the plan deletes no longer count; those it creates are measured
// when the spare is added.
std::string TooSmallFor(const ControllerSnapshot& s, const PlanLimits& limits,
                        const std::vector<uint8_t>& deleted, uint8_t target) {
  const DeviceSnapshot* d = DeviceAtTarget(s, target);
  if (d == nullptr || !d->Blocks) return "";
  for (const VolumeSnapshot& v : s.Volumes) {
    if (!IsMirror(v.Type) || v.Members.empty() || v.SizeBlocks == 0) continue;
    if (std::find(deleted.begin(), deleted.end(), v.VolumeId) != deleted.end()) continue;
    const std::optional<uint8_t> first = v.Members.front().Target;
    if (s.Sas && first && IsSata(s, *first) != IsSata(s, target)) continue;
    const uint32_t max_lba = static_cast<uint32_t>(v.SizeBlocks - 1);
    const uint32_t members = static_cast<uint32_t>(v.Members.size());
    const uint32_t required =
        v.Type == kVolumeTypeIM ? max_lba : limits.MetadataBlocks + 2 * (max_lba / members);
    if (required >= *d->Blocks)
      return "the disk is too small to stand in for a member of volume " +
             std::to_string(v.VolumeId);
  }
  return "";
}

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
  // The drive counts CREATE accepts; a mirror takes exactly the firmware's
  // minimum (no count at all when that minimum is below two).
  for (uint8_t type : {kVolumeTypeIS, kVolumeTypeIME, kVolumeTypeIM}) {
    const DriveCountRange range = DriveCountOf(l, type);
    limits->MinDrives[type] = static_cast<uint8_t>(range.Minimum);
    limits->MaxDrives[type] = static_cast<uint8_t>(range.Maximum);
  }
  limits->MaxDrives[kVolumeTypeIM] = static_cast<uint8_t>(l.MinDrivesIM);
  limits->MetadataBlocks = l.MetadataBlocks;
  PageBuffer mfg4;
  limits->SsdMixAllowed = ReadManufacturingPg4(c, &mfg4) == 1 &&
                          (ManufacturingPg4IrFlags(mfg4) & kIrFlagSsdMixAllowed) != 0;
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
  std::vector<uint8_t> deleted;
  // The first member of each active mirror, which a hot spare must match.
  std::vector<std::pair<uint8_t, uint8_t>> mirror_firsts;  // volume ID (or 255 when new), target
  for (const VolumeSnapshot& v : s.Volumes) {
    if (IsMirror(v.Type) && !v.Inactive && !v.Members.empty() && v.Members.front().Target)
      mirror_firsts.emplace_back(v.VolumeId, *v.Members.front().Target);
  }
  auto firsts = [&] {
    std::vector<uint8_t> targets;
    for (const auto& [id, target] : mirror_firsts) {
      if (std::find(deleted.begin(), deleted.end(), id) == deleted.end() || id == 255)
        targets.push_back(target);
    }
    return targets;
  };
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
          deleted.push_back(v.VolumeId);
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
        } else if (std::string why = CreateMixProblem(s, limits, a); !why.empty()) {
          refuse(why);
        }
        if (IsMirror(t) && !a.Disks.empty()) mirror_firsts.emplace_back(255, a.Disks[0].Target);
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
        } else if (std::string why = TooSmallFor(s, limits, deleted, a.Disks[0].Target);
                   !why.empty()) {
          refuse(why);
        } else if (std::string mismatch = SpareTypeProblem(s, limits, a.Disks[0].Target, firsts());
                   !mismatch.empty()) {
          refuse(mismatch);
        }
        ++n.Spares;
        break;
    }
  }
}
