#include "firmware/firmware.h"

#include "firmware/controller.h"
#include "firmware/layouts.h"
#include "firmware/page_image.h"
#include "firmware/scsi_io.h"
#include "model/protocol.h"

namespace vxtsim {

Bytes StartReply(const Bytes& frame, size_t size, uint16_t ioc_status) {
  Bytes reply(size, 0);
  Put8(reply, reply::kLengthWords, size / 4);
  Put8(reply, reply::kFunction, Get8(frame, layout::frame::kFunction));
  Put32(reply, reply::kContext, Get32(frame, layout::frame::kContext));
  Put16(reply, reply::kIocStatus, ioc_status);
  return reply;
}

void SetIocStatus(Bytes& reply, uint16_t ioc_status) {
  Put16(reply, reply::kIocStatus, ioc_status);
}

uint16_t ReplyIocStatus(const Bytes& reply) { return Get16(reply, reply::kIocStatus); }

void ProcessMessage(Controller& ctl, const Message& msg, Completion& out) {
  switch (Get8(msg.frame, layout::frame::kFunction)) {
    case kFnIocFacts:
      HandleIocFacts(ctl, msg, out);
      break;
    case kFnPortFacts:
      HandlePortFacts(ctl, msg, out);
      break;
    case kFnConfig:
      HandleConfig(ctl, msg, out);
      break;
    case kFnScsiIo:
    case kFnRaidPassThrough:
      HandleScsiIo(ctl, msg, out);
      break;
    case kFnSep:
      HandleSep(ctl, msg, out);
      break;
    case kFnSataPassThrough:
      HandleSataPassThrough(ctl, msg, out);
      break;
    default:
      out.reply = StartReply(msg.frame, reply::kHeadSize, kStatusInvalidFunction);
      break;
  }
}

void ResetController(Controller& ctl) {
  CommitNvram(ctl);
  ctl.runtime.ir_disabled = (PageField(ctl, kIoUnitPg1, kIoUnitFlags) & 0x40) != 0;
  ctl.runtime.resets = ctl.runtime.resets + 1;
}

}  // namespace vxtsim
