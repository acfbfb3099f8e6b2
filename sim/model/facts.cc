// Controller facts and port facts.
#include <sstream>

#include "controller.h"
#include "firmware.h"
#include "protocol.h"

namespace vxtsim {

namespace {

// "1.27.0.0" or a plain number; the first part is the major version.
uint32_t FirmwareVersion(const json& facts) {
  const json& v = Member(facts, "firmware_version");
  if (v.is_string() && v.get<std::string>().find('.') != std::string::npos) {
    std::istringstream in(v.get<std::string>());
    uint32_t word = 0;
    std::string part;
    for (int i = 0; i < 4; ++i) {
      if (!std::getline(in, part, '.')) throw LabError("firmware_version: expected four parts");
      word = word << 8 | (static_cast<uint32_t>(ToNum(json(part), "firmware_version")) & 0xFF);
    }
    return word;
  }
  return static_cast<uint32_t>(Num(facts, "firmware_version", 0x011B0200));
}

}  // namespace

void HandleIocFacts(const json& ctl, const Message& msg, Completion& out) {
  const json& facts = Member(ctl, "ioc_facts");
  bool sas = IsSasController(ctl);
  out.reply = StartReply(msg.frame, 80, kStatusSuccess);
  Put16(out.reply, 0, Num(facts, "msg_version", 0x0105));
  Put8(out.reply, 6, IocNumber(ctl));
  Put16(out.reply, 26, Num(facts, "request_frame_words", 32));
  Put16(out.reply, 36, Num(facts, "concurrent_commands", sas ? 511 : 222));
  Put8(out.reply, 47, Num(facts, "bus_count", 1));
  Put32(out.reply, 56, FirmwareVersion(facts));
}

void HandlePortFacts(const json& ctl, const Message& msg, Completion& out) {
  const json& facts = Member(ctl, "port_facts");
  bool sas = IsSasController(ctl);
  uint64_t limit = Num(facts, "device_limit", sas ? 64 : 16);
  out.reply = StartReply(msg.frame, 40, kStatusSuccess);
  Put8(out.reply, 20, sas ? 0x30 : 0x01);  // port type
  Put16(out.reply, 22, limit);
  Put16(out.reply, 24, Num(facts, "initiator_id", sas ? limit : 7));
}

}  // namespace vxtsim
