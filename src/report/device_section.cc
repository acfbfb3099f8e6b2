// The physical device section: every target ID of the controller's bus.
#include <memory>

#include "raid/phys_disk_lookup.h"
#include "report/device_scan.h"
#include "report/emit_line.h"
#include "report/sections.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

// The controller's own ID on its bus; 0 when a parallel SCSI controller's
// port page cannot be read.
int InitiatorOf(ControllerInfo* c, int* id) {
  if (c->BusType == kBusTypeSas) {
    *id = InitiatorId(*c);
    return 1;
  }
  PageBuffer port2;
  if (!ReadScsiPortPg2(c, &port2)) return 0;
  *id = static_cast<int>(ScsiPortPg2PortSettings(port2) & 0xF);
  return 1;
}

// Each target is asked afresh: nothing read for one target serves another.
constexpr ProbeRequests kEveryRequest{};

// Whether the target is a RAID member or hot spare, from the RAID
// configuration's pages; 0 when they cannot be read.
int PlaceInRaid(ControllerInfo* c, DeviceProbe* probe) {
  PhysDiskRef ref{};
  if (FindRaidPhysDisk(c, probe->Target, &probe->Member, &probe->InInactiveVolume, &ref) != 1) {
    return 0;
  }
  probe->PhysDiskNum = ref.PhysDiskNum;
  return 1;
}

}  // namespace

// The section fails only when the scan itself cannot go on (the RAID lookup,
// the volume list or a required identity request failed).  Optional data that
// cannot be fetched shortens a device's block, on the last target as on any
// other, and never ends the report.
int DisplayDeviceSection(ControllerInfo* c, const DisplayOptions& options) {
  FILE* const log_file = options.LogFile;
  EmitSectionHeader("Physical device information", log_file);
  int initiator = 0;
  if (!InitiatorOf(c, &initiator)) return 0;
  EmitLine(FormatLine("Initiator at ID #%d\n", initiator), log_file);

  // The port's device ID count is taken as eight bits.
  const int targets = DeviceLimit(*c) & 0xFF;
  for (int t = 0; t < targets; ++t) {
    auto probe = std::make_unique<DeviceProbe>();
    probe->Target = static_cast<uint8_t>(t);
    if (!PlaceInRaid(c, probe.get())) return 0;
    ProbeOutcome outcome = ProbeDevice(c, kEveryRequest, probe.get());
    if (outcome == ProbeOutcome::kFailed) return 0;
    if (outcome == ProbeOutcome::kFound) PrintTarget(c, probe.get(), log_file, options.ShowKvrFru);
  }
  return 1;
}
