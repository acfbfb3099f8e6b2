// Enclosure processor requests: read and write the status word of a slot.
#include "firmware.h"
#include "protocol.h"
#include "sas_topology.h"

namespace vxtsim {

namespace {

constexpr uint8_t kAddressBySlot = 0x01;

}  // namespace

void HandleSep(json& ctl, const Message& msg, Completion& out) {
  out.reply = StartReply(msg.frame, 24, kStatusSuccess);
  uint8_t action = Get8(msg.frame, 4);
  uint16_t slot = Get16(msg.frame, 28), handle = Get16(msg.frame, 30);
  if (Get8(msg.frame, 5) != kAddressBySlot || action > 1) {
    return SetIocStatus(out.reply, kStatusInvalidField);
  }
  std::vector<SasNode> enclosures = SasEnclosures(ctl);
  const SasNode* node = FindByHandle(enclosures, handle);
  if (!node) return SetIocStatus(out.reply, kStatusInvalidField);
  json& enc = ctl["enclosures"][node->index];
  uint64_t first = Num(enc, "start_slot", 0);
  if (slot < first || slot >= first + Num(enc, "num_slots", 8)) {
    return SetIocStatus(out.reply, kStatusInvalidField);
  }
  std::string key = std::to_string(slot);
  if (action == 0) {
    enc["slot_status"][key] = Get32(msg.frame, 12);
    out.changed = true;
  }
  Put32(out.reply, 20, Num(Member(enc, "slot_status"), key.c_str(), 0x00000001));
}

}  // namespace vxtsim
