#include "fault_effects.h"

#include "protocol.h"
#include "scsi_io.h"

namespace vxtsim {

namespace {

bool Has(const json& effect, const char* key) { return !Member(effect, key).is_null(); }

bool IsScsi(const Message& msg) {
  uint8_t fn = Get8(msg.frame, 3);
  return fn == kFnScsiIo || fn == kFnRaidPassThrough;
}

}  // namespace

bool EffectReplacesWork(const json& effect) {
  for (const char* key : {"ioc_status", "action_status", "scsi_status", "scsi_state", "sense_key",
                          "not_ready", "unit_attention", "response_info"}) {
    if (Has(effect, key)) return true;
  }
  return false;
}

void EffectReply(const json& effect, const Message& msg, Completion& out) {
  uint8_t fn = Get8(msg.frame, 3);
  size_t size = IsScsi(msg) ? kScsiReplySize : fn == kFnRaidAction ? 40 : reply::kHeadSize;
  out.reply = StartReply(msg.frame, size, static_cast<uint16_t>(Num(effect, "ioc_status", 0)));
  if (Has(effect, "action_status")) Put16(out.reply, 12, Num(effect, "action_status", 0));
  if (!IsScsi(msg)) return;
  if (Flag(effect, "not_ready", false)) CheckCondition(out, 2, 0x04, 0x01);
  if (Flag(effect, "unit_attention", false)) CheckCondition(out, 6, 0x29, 0x00);
  if (Has(effect, "sense_key")) {
    CheckCondition(out, static_cast<uint8_t>(Num(effect, "sense_key", 0)),
                   static_cast<uint8_t>(Num(effect, "asc", 0)),
                   static_cast<uint8_t>(Num(effect, "ascq", 0)));
  }
  if (Has(effect, "scsi_status")) Put8(out.reply, 12, Num(effect, "scsi_status", 0));
  if (Has(effect, "scsi_state")) Put8(out.reply, 13, Num(effect, "scsi_state", 0));
  if (Has(effect, "response_info")) {
    Put8(out.reply, 13, Get8(out.reply, 13) | 0x10);
    Put32(out.reply, 28, Num(effect, "response_info", 0));
  }
}

void EffectAfterWork(const json& effect, const Message& msg, Completion& out) {
  if (!Has(effect, "short")) return;
  size_t keep = static_cast<size_t>(Num(effect, "short", 0));
  if (keep < out.data_in.size()) out.data_in.resize(keep);
  SetIocStatus(out.reply, kStatusScsiDataUnderrun);
  if (IsScsi(msg)) Put32(out.reply, 20, out.data_in.size());
}

}  // namespace vxtsim
