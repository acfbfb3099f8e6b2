// Layout documents: any input is refused with a reason or read, and a layout
// that is read is planned against a small controller and printed, without a
// crash.  Input: the document's bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "layout/layout_document.h"
#include "layout/layout_write.h"
#include "layout/plan.h"
#include "layout/plan_limits.h"
#include "layout/plan_text.h"

namespace {

// Mirror 0 on targets 0 and 1 of enclosure 1, target 2 its hot spare,
// targets 3 to 5 free; one disk of 4096-byte blocks and one enclosure device.
ControllerSnapshot SmallController() {
  ControllerSnapshot s;
  s.Sas = true;
  s.Enclosures.push_back({1, 0, 0, 8, 0, 0});
  for (uint8_t t = 0; t < 7; ++t) {
    DeviceSnapshot d;
    d.Target = t;
    d.DeviceType = t == 6 ? "enclosure" : "disk";
    d.Enclosure = 1;
    d.Slot = t;
    d.Serial = "SN" + std::to_string(t);
    d.Blocks = 143374744;
    d.BlockSize = t == 5 ? 4096 : 512;
    if (t < 3) d.PhysicalDisk = t;
    s.Devices.push_back(d);
  }
  VolumeSnapshot v;
  v.Type = 2;
  v.SizeBlocks = 143243672;
  v.Members = {{0, 0, "online", 0}, {1, 1, "online", 0}};
  s.Volumes.push_back(v);
  s.HotSpares.push_back({2, 2, "hot_spare", 0});
  return s;
}

volatile size_t Sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ControllerSnapshot kController = SmallController();
  LayoutDocument document;
  std::string error;
  if (!ParseLayoutText(std::string(reinterpret_cast<const char*>(data), size), &document, &error)) {
    // Every refusal says why.
    if (error.empty()) __builtin_trap();
    return 0;
  }
  std::vector<ControllerPlan> plans;
  for (const LayoutController& entry : document.Controllers) {
    plans.push_back(BuildPlan(kController, entry));
    PlanLimits limits;
    limits.CapabilityFlags = 7;
    limits.MaxVolumes = 2;
    limits.MaxHotSpares = 2;
    limits.MaxPhysDisks = 10;
    for (int t = 0; t < 3; ++t) {
      limits.MinDrives[t] = 2;
      limits.MaxDrives[t] = 8;
    }
    CheckPlanLimits(kController, limits, &plans.back());
    Sink = Sink + PlanText(plans.back()).size();
  }
  Sink = Sink + PlanJson(plans, {}).size() + LayoutJson({kController}).size();
  return 0;
}
