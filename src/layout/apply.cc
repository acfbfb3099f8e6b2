#include "layout/apply.h"

#include <cstdio>
#include <vector>

#include "console/command_lock.h"
#include "create/create.h"
#include "layout/plan_text.h"
#include "setcfg/setcfg.h"

namespace {

// The exit-status convention of the commands: 0 done.
int CarryOut(ControllerInfo* c, const PlanAction& a) {
  switch (a.Kind) {
    case PlanActionKind::kRemoveHotSpare:
      if (!TakeTargetLock(c, a.Disks[0].Target)) return 1;
      return RemoveHotSpare(c, a.Disks[0].Target);
    case PlanActionKind::kDeleteVolume:
      return RemoveVolume(c, a.VolumeId) == 1 ? 0 : 1;
    case PlanActionKind::kCreateVolume: {
      VolumeRequest request{};
      request.CreateVolumeType = a.VolumeType;
      request.SizeGiven = a.SizeMB ? 1 : 0;
      request.SizeMB = a.SizeMB ? *a.SizeMB : 0xFFFFFFFF;
      request.QuickSync = a.QuickSync ? 1 : 0;
      std::vector<uint8_t> targets;
      for (const PlanDisk& d : a.Disks) targets.push_back(d.Target);
      return CreateVolumeOnTargets(c, request, targets.data(), static_cast<int>(targets.size()));
    }
    case PlanActionKind::kAddHotSpare:
      if (!TakeTargetLock(c, a.Disks[0].Target)) return 1;
      return AddHotSpare(c, a.Disks[0].Target);
  }
  return 1;
}

}  // namespace

int CarryOutPlan(ControllerInfo* c, const ControllerPlan& plan) {
  const size_t n = plan.Actions.size();
  for (size_t i = 0; i < n; ++i) {
    const PlanAction& a = plan.Actions[i];
    std::printf("controller %u: %s\n", static_cast<unsigned>(plan.Controller),
                ActionText(a).c_str());
    std::fflush(stdout);
    if (CarryOut(c, a) == 0) continue;
    std::printf("controller %u: apply stopped at a failure.\n",
                static_cast<unsigned>(plan.Controller));
    for (size_t k = 0; k < i; ++k) std::printf("  done: %s\n", ActionText(plan.Actions[k]).c_str());
    std::printf("  failed: %s\n", ActionText(a).c_str());
    for (size_t k = i + 1; k < n; ++k)
      std::printf("  not attempted: %s\n", ActionText(plan.Actions[k]).c_str());
    return 0;
  }
  return 1;
}
