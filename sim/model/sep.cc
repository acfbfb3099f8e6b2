// Enclosure processor requests: read and write the status word of a slot.
#include "firmware.h"
#include "protocol.h"
#include "sas_topology.h"

namespace vxtsim {

namespace {

constexpr uint8_t kAddressBySlot = 0x01;
constexpr uint32_t kSlotStatusUnwritten = 0x00000001;

}  // namespace

void HandleSep(Controller& ctl, const Message& msg, Completion& out) {
  out.reply = StartReply(msg.frame, 24, kStatusSuccess);
  uint8_t action = Get8(msg.frame, 4);
  uint16_t slot = Get16(msg.frame, 28), handle = Get16(msg.frame, 30);
  if (Get8(msg.frame, 5) != kAddressBySlot || action > 1) {
    return SetIocStatus(out.reply, kStatusInvalidField);
  }
  auto* enc = const_cast<Enclosure*>(FindByHandle(ctl.enclosures, handle));
  if (!enc) return SetIocStatus(out.reply, kStatusInvalidField);
  uint64_t first = enc->start_slot;
  if (slot < first || slot >= first + enc->num_slots) {
    return SetIocStatus(out.reply, kStatusInvalidField);
  }
  if (action == 0) {
    enc->slot_status_given = true;
    enc->slot_status[slot] = Get32(msg.frame, 12);
    out.changed = true;
  }
  auto it = enc->slot_status.find(slot);
  Put32(out.reply, 20, it == enc->slot_status.end() ? kSlotStatusUnwritten : it->second.value);
}

}  // namespace vxtsim
