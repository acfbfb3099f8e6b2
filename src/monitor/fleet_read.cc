#include "monitor/fleet_read.h"

#include <chrono>
#include <cstdio>

#include "console/discovery.h"
#include "monitor/fleet_read.h"
#include "monitor/snapshot_read.h"
#include "vxt/adapter_info.h"

namespace {

void Fail(FleetSnapshot* fleet, RunFailure failure, const std::string& text) {
  std::fprintf(stderr, "volkit: %s!\n", text.c_str());
  fleet->Failure = failure;
  fleet->Messages.push_back({"error", text});
}

ControllerSnapshot ControllerFacts(const ControllerInfo& c) {
  ControllerSnapshot s;
  s.Controller = c.Adapter.ControllerNumber;
  s.Sas = c.BusType == kBusTypeSas;
  s.Model = ControllerTypeName(c.Adapter.DeviceIdLow);
  s.Pci = {static_cast<uint16_t>(kPciVendorId),
           c.Adapter.PciDeviceId,
           c.Adapter.SubsystemVendorId,
           c.Adapter.SubsystemDeviceId,
           c.Adapter.PciSegment,
           c.Adapter.PciBus,
           static_cast<uint8_t>(c.Adapter.PciDevFn >> 3),
           static_cast<uint8_t>(c.Adapter.PciDevFn & 7)};
  return s;
}

// `set_up`: whether VxtSetupIoc has run already (and succeeded).
ControllerSnapshot ReadOne(ControllerInfo* c, bool set_up) {
  auto start = std::chrono::steady_clock::now();
  c->BusType = BusTypeOf(c->Adapter.DeviceIdLow);
  c->ReadOnly = true;
  ControllerSnapshot s = ControllerFacts(*c);
  if (!set_up && VxtSetupIoc(c) != 1) {
    s.Complete = false;
    s.Problems.emplace_back("the controller facts");
  } else {
    ReadControllerSnapshot(c, &s);
  }
  // A refusal means the reader asked for more than reading: a fault of ours
  // that must not pass for a complete picture.
  if (c->RefusedRequests != 0) {
    s.Complete = false;
    s.Problems.push_back(std::to_string(c->RefusedRequests) + " requests refused as not read-only");
  }
  s.Requests = c->RequestsSent;
  s.DurationSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!s.Complete) {
    std::fprintf(stderr, "volkit: controller %u could not be read completely!\n",
                 static_cast<unsigned>(s.Controller));
  }
  return s;
}

}  // namespace

ControllerSnapshot ReadControllerState(ControllerInfo* c) {
  const bool read_only = c->ReadOnly;
  ControllerSnapshot s = ReadOne(c, true);
  c->ReadOnly = read_only;
  return s;
}

void ReadFleet(bool all, uint32_t number, FleetSnapshot* fleet) {
  int handle = -1;
  if (!OpenDriver(&handle)) {
    fleet->Failure = RunFailure::kDriverUnavailable;
    fleet->Messages.push_back({"error", "the driver's control node could not be opened"});
    return;
  }
  uint32_t first = all ? 0 : number;
  uint32_t last = all ? kLastControllerNumber : number;
  for (uint32_t n = first; n <= last; ++n) {
    ControllerInfo* c = nullptr;
    int found = OpenControllerOn(handle, n, &c);
    if (found != kAdapterFound) {
      if (!all) {
        Fail(fleet, RunFailure::kControllerAbsent,
             found == kAdapterMissing
                 ? "controller " + std::to_string(n) + " not found"
                 : "controller " + std::to_string(n) + " could not be queried");
      }
      continue;
    }
    fleet->Controllers.push_back(ReadOne(c, false));
    ReleaseController(c);
  }
  if (all && fleet->Controllers.empty())
    Fail(fleet, RunFailure::kNoControllers, "no controllers found");
}
