// The physical device section: every target ID of the controller's bus.
#include <memory>

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
    auto scan = std::make_unique<TargetScan>();
    scan->Target = static_cast<uint8_t>(t);
    TargetOutcome outcome = AcquireTarget(c, scan.get());
    if (outcome == TargetOutcome::kAbortScan) return 0;
    if (outcome == TargetOutcome::kShow) PrintTarget(c, scan.get(), log_file, options.ShowKvrFru);
  }
  return 1;
}
