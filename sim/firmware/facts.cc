// Controller facts and port facts.
#include "driver/protocol.h"
#include "firmware/firmware.h"

namespace vxtsim {

void HandleIocFacts(const Controller& ctl, const Message& msg, Completion& out) {
  const IocFacts& facts = ctl.ioc_facts;
  out.reply = StartReply(msg.frame, 80, kStatusSuccess);
  Put16(out.reply, 0, facts.msg_version);
  Put8(out.reply, 6, ctl.IocNumber());
  Put16(out.reply, 26, facts.request_frame_words);
  Put16(out.reply, 36, facts.concurrent_commands);
  Put8(out.reply, 47, facts.bus_count);
  Put32(out.reply, 56, facts.firmware_version);
}

void HandlePortFacts(const Controller& ctl, const Message& msg, Completion& out) {
  const PortFacts& facts = ctl.port_facts;
  out.reply = StartReply(msg.frame, 40, kStatusSuccess);
  Put8(out.reply, 20, ctl.sas ? 0x30 : 0x01);  // port type
  Put16(out.reply, 22, facts.device_limit);
  Put16(out.reply, 24, facts.initiator_id);
}

}  // namespace vxtsim
