#include "driver/fault_effects.h"

#include "firmware/layouts.h"
#include "firmware/scsi_io.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

namespace S = layout::scsi_frame;

bool IsScsi(const Message& msg) {
  uint8_t fn = Get8(msg.frame, layout::frame::kFunction);
  return fn == kFnScsiIo || fn == kFnRaidPassThrough;
}

}  // namespace

bool EffectReplacesWork(const FaultEffect& e) {
  return e.ioc_status.given || e.action_status.given || e.scsi_status.given || e.scsi_state.given ||
         e.sense_key.given || e.not_ready.given || e.unit_attention.given || e.response_info.given;
}

void EffectReply(const FaultEffect& e, const Message& msg, Completion& out) {
  uint8_t fn = Get8(msg.frame, layout::frame::kFunction);
  size_t size = IsScsi(msg)           ? kScsiReplySize
                : fn == kFnRaidAction ? layout::raid_action_frame::kReplySize
                                      : reply::kHeadSize;
  out.reply = StartReply(msg.frame, size, e.ioc_status);
  if (e.action_status.given) {
    Put16(out.reply, layout::raid_action_frame::kReplyActionStatus, e.action_status);
  }
  if (!IsScsi(msg)) return;
  if (e.not_ready) CheckCondition(out, 2, 0x04, 0x01);
  if (e.unit_attention) CheckCondition(out, 6, 0x29, 0x00);
  if (e.sense_key.given) CheckCondition(out, e.sense_key, e.asc, e.ascq);
  if (e.scsi_status.given) Put8(out.reply, S::kReplyScsiStatus, e.scsi_status);
  if (e.scsi_state.given) Put8(out.reply, S::kReplyScsiState, e.scsi_state);
  if (e.response_info.given) {
    Put8(out.reply, S::kReplyScsiState,
         Get8(out.reply, S::kReplyScsiState) | S::kStateResponseInfoValid);
    Put32(out.reply, S::kReplyResponseInfo, e.response_info);
  }
}

void EffectAfterWork(const FaultEffect& e, const Message& msg, Completion& out) {
  if (!e.short_data.given) return;
  size_t keep = e.short_data;
  if (keep < out.data_in.size()) out.data_in.resize(keep);
  SetIocStatus(out.reply, kStatusScsiDataUnderrun);
  if (IsScsi(msg)) Put32(out.reply, S::kReplyTransferCount, out.data_in.size());
}

}  // namespace vxtsim
