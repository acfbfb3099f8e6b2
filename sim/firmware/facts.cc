// Controller facts and port facts.
#include "firmware/firmware.h"
#include "firmware/layouts.h"
#include "model/protocol.h"

namespace vxtsim {

void HandleIocFacts(const Controller& ctl, const Message& msg, Completion& out) {
  namespace R = layout::ioc_facts_reply;
  const IocFacts& facts = ctl.ioc_facts;
  out.reply = StartReply(msg.frame, R::kSize, kStatusSuccess);
  Put16(out.reply, R::kMsgVersion, facts.msg_version);
  Put8(out.reply, R::kIocNumber, ctl.IocNumber());
  Put16(out.reply, R::kRequestFrameWords, facts.request_frame_words);
  Put16(out.reply, R::kGlobalCredits, facts.concurrent_commands);
  Put8(out.reply, R::kNumberOfPorts, facts.bus_count);
  Put32(out.reply, R::kFwVersion, facts.firmware_version);
}

void HandlePortFacts(const Controller& ctl, const Message& msg, Completion& out) {
  namespace R = layout::port_facts_reply;
  const PortFacts& facts = ctl.port_facts;
  out.reply = StartReply(msg.frame, R::kSize, kStatusSuccess);
  Put8(out.reply, R::kPortType, ctl.sas ? R::kPortTypeSas : R::kPortTypeScsi);
  Put16(out.reply, R::kMaxDevices, facts.device_limit);
  Put16(out.reply, R::kPortScsiId, facts.initiator_id);
}

}  // namespace vxtsim
