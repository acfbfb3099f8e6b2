// The controller section: type, versions, channel, limits, PCI location and
// RAID capability.
#include "console/discovery.h"
#include "report/emit_line.h"
#include "report/report_words.h"
#include "report/sections.h"
#include "vxt/config_page.h"
#include "vxt/page_readers.h"
#include "vxt/pages.h"

namespace {

void EmitControllerType(ControllerInfo* c, FILE* log_file) {
  if (c->BusType == kBusTypeScsi) {
    EmitLine("  Controller type                         : Wren/Dipper\n", log_file);
  } else if (c->BusType == kBusTypeSas) {
    EmitLine(FormatLine("  Controller type                         : %s\n",
                        ControllerTypeName(c->Adapter.DeviceIdLow).c_str()),
             log_file);
  }
}

// Without IoUnitPg2 the version, channel and initiator lines all stay out.
void EmitVersionsAndChannel(ControllerInfo* c, FILE* log_file) {
  PageBuffer io_unit2;
  if (!ReadIoUnitPg2(c, &io_unit2)) return;
  EmitLine(BiosVersionLine(IoUnitPg2BiosVersion(io_unit2)), log_file);
  EmitLine(FormatLine("  Firmware version                        : %d.%02d.%02d.%02d\n",
                      FirmwareVersionByte(*c, 0), FirmwareVersionByte(*c, 1),
                      FirmwareVersionByte(*c, 2), FirmwareVersionByte(*c, 3)),
           log_file);
  if (c->BusType == kBusTypeSas) {
    EmitLine(FormatLine("  Channel description                     : 1 Serial Attached SCSI\n"
                        "  Initiator ID                            : %d\n",
                        InitiatorId(*c)),
             log_file);
    return;
  }
  EmitLine("  Channel description                     : 1 parallel SCSI wide\n", log_file);
  PageBuffer port2;
  if (ReadScsiPortPg2(c, &port2)) {
    EmitLine(FormatLine("  Initiator ID                            : %d\n",
                        ScsiPortPg2PortSettings(port2) & 0xF),
             log_file);
  }
}

void EmitPciLocation(ControllerInfo* c, FILE* log_file) {
  PageBuffer ioc1;
  if (ReadIocPg1(c, &ioc1)) {
    uint8_t slot = IocPg1PciSlotNum(ioc1);
    if (slot == 0xFF) {
      EmitLine("  Slot                                    : Unknown\n", log_file);
    } else {
      EmitLine(FormatLine("  Slot                                    : %d\n", slot), log_file);
    }
  }
  EmitLine(FormatLine("  Bus                                     : %d\n", c->Adapter.PciBus),
           log_file);
  EmitLine(FormatLine("  Device                                  : %d\n", c->Adapter.PciDevFn >> 3),
           log_file);
  EmitLine(FormatLine("  Function                                : %d\n", c->Adapter.PciDevFn & 7),
           log_file);
}

}  // namespace

int DisplayControllerSection(ControllerInfo* c, const DisplayOptions& options) {
  FILE* const log_file = options.LogFile;
  EmitSectionHeader("Controller information", log_file);
  EmitControllerType(c, log_file);
  EmitVersionsAndChannel(c, log_file);
  EmitLine(FormatLine("  Maximum physical devices                : %d\n", DeviceLimit(*c) - 1),
           log_file);
  EmitLine(FormatLine("  Concurrent commands supported           : %d\n", ConcurrentCommands(*c)),
           log_file);
  EmitPciLocation(c, log_file);

  PageBuffer ioc2;
  int result = ReadIocPg2(c, &ioc2);
  if (result != 1) return result;
  if (IocPg2CapabilityFlags(ioc2) & (kCapabilityIs | kCapabilityIme | kCapabilityIm)) {
    EmitLine("  RAID Support                            : Yes\n", log_file);
  } else {
    EmitLine("  RAID Support                            : No\n", log_file);
  }
  return 1;
}
