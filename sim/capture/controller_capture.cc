// The controller's identity (adapter information, controller and port
// facts) and the order in which a controller is captured.
#include <cerrno>
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

std::string WhyFailed(const ControllerCapture& cc) {
  uint16_t status = ReplyIocStatus(LastReply(*cc.c));
  if (status == 0xFFFF) return std::string("the driver failed it: ") + std::strerror(errno);
  return "IocStatus " + HexNumber(status, 4);
}

bool CaptureIdentity(ControllerCapture& cc) {
  const ControllerInfo& c = *cc.c;
  const AdapterEntry& a = cc.adapter;
  cc.sas = GetU8(c.PortFacts, 20) == kPortTypeSas;
  cc.ctl["number"] = a.ControllerNumber;
  cc.ctl["kind"] = cc.sas ? "sas" : "scsi";
  cc.ctl["pci"] = {{"device_id", HexNumber(a.DeviceIdLow, 4)},
                   {"subsystem_vendor_id", HexNumber(a.SubsystemVendorId, 4)},
                   {"subsystem_device_id", HexNumber(a.SubsystemDeviceId, 4)},
                   {"bus", a.PciBus},
                   {"device", a.PciDevFn / 8},
                   {"function", a.PciDevFn & 7},
                   {"segment", a.PciSegment}};
  cc.ctl["ioc_facts"] = {{"ioc_number", IocNumber(c)},
                         {"firmware_version", FirmwareVersion(c)},
                         {"concurrent_commands", ConcurrentCommands(c)},
                         {"bus_count", BusCount(c)},
                         {"request_frame_words", RequestFrameWords(c)},
                         {"msg_version", HexNumber(GetU16(c.IocFacts, 0), 4)}};
  cc.ctl["port_facts"] = {{"device_limit", DeviceLimit(c)}, {"initiator_id", InitiatorId(c)}};
  return true;
}

bool CaptureController(ControllerCapture& cc) {
  if (!CaptureIdentity(cc)) return false;
  // The sections in the order a lab is read; each capture fills its own.
  cc.ctl["pages"] = Json::object();
  if (cc.sas) {
    cc.ctl["enclosures"] = Json::array();
    cc.ctl["devices"] = Json::array();
  }
  cc.ctl["raid"] = {{"phys_disks", Json::array()}, {"volumes", Json::array()}};
  if (!CapturePages(cc) || !CaptureRaid(cc)) return false;
  if (cc.sas && !CaptureSas(cc)) return false;
  if (!CaptureDisks(cc)) return false;
  CaptureProgress(cc);
  return true;
}

}  // namespace capture
