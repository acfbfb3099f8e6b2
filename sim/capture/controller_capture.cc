// The controller's identity (adapter information, controller and port
// facts) and the order in which a controller is captured.
#include <cstdio>
#include <cstring>

#include "capture.h"
#include "lab_text.h"

namespace capture {

namespace {

constexpr uint8_t kPortTypeSas = 0x30;

std::string FirmwareVersion(const ControllerInfo& c) {
  char text[20];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", FirmwareVersionByte(c, 0),
                FirmwareVersionByte(c, 1), FirmwareVersionByte(c, 2), FirmwareVersionByte(c, 3));
  return text;
}

}  // namespace

std::string WhyFailed(const RequestStatus& status) {
  if (!WasSent(status.Outcome)) {
    return std::string("the driver failed it: ") + std::strerror(status.DriverError);
  }
  return "IocStatus " + HexNumber(status.IocStatus, 4);
}

bool CaptureIdentity(ControllerCapture& cc) {
  const ControllerInfo& c = *cc.c;
  const AdapterEntry& a = cc.adapter;
  cc.sas = GetU8(c.PortFacts, 20) == kPortTypeSas;
  vxtsim::Controller& ctl = cc.ctl;
  ctl.number = static_cast<uint8_t>(a.ControllerNumber);
  ctl.kind = cc.sas ? vxtsim::ControllerKind::kSas : vxtsim::ControllerKind::kScsi;
  vxtsim::Pci& pci = ctl.pci;
  pci.given = true;
  SetHex(pci.device_id, a.DeviceIdLow, 4);
  SetHex(pci.subsystem_vendor_id, a.SubsystemVendorId, 4);
  SetHex(pci.subsystem_device_id, a.SubsystemDeviceId, 4);
  pci.bus = a.PciBus;
  pci.device = a.PciDevFn / 8u;
  pci.function = a.PciDevFn & 7u;
  pci.segment = a.PciSegment;
  vxtsim::IocFacts& facts = ctl.ioc_facts;
  facts.given = true;
  facts.ioc_number = IocNumber(c);
  facts.firmware_version_text = FirmwareVersion(c);
  facts.concurrent_commands = ConcurrentCommands(c);
  facts.bus_count = BusCount(c);
  facts.request_frame_words = RequestFrameWords(c);
  SetHex(facts.msg_version, GetU16(c.IocFacts, 0), 4);
  ctl.port_facts.given = true;
  ctl.port_facts.device_limit = DeviceLimit(c);
  ctl.port_facts.initiator_id = InitiatorId(c);
  return true;
}

bool CaptureController(ControllerCapture& cc) {
  if (!CaptureIdentity(cc)) return false;
  // Each capture fills its own part; the lists are written even when empty.
  cc.ctl.pages_given = true;
  cc.ctl.devices_given = cc.sas;
  cc.ctl.enclosures_given = cc.sas;
  cc.ctl.raid.given = cc.ctl.raid.phys_disks_given = cc.ctl.raid.volumes_given = true;
  if (!CapturePages(cc) || !CaptureRaid(cc)) return false;
  if (cc.sas && !CaptureSas(cc)) return false;
  if (!CaptureDisks(cc)) return false;
  CaptureProgress(cc);
  return true;
}

}  // namespace capture
