// Enclosure processor requests: read and write the status word of a slot.
// The word last written drives the slot's LEDs; bit 17 lights the locate
// LED whether or not the processor reports that bit back.
#include "firmware/firmware.h"
#include "firmware/layouts.h"
#include "firmware/sas_topology.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

constexpr uint8_t kAddressBySlot = 0x01;
constexpr uint32_t kSlotStatusUnwritten = 0x00000001;
constexpr uint32_t kSlotIdentify = 0x00020000;

}  // namespace

void HandleSep(Controller& ctl, const Message& msg, Completion& out) {
  namespace F = layout::sep_frame;
  out.reply = StartReply(msg.frame, F::kReplySize, kStatusSuccess);
  uint8_t action = Get8(msg.frame, F::kAction);
  uint16_t slot = Get16(msg.frame, F::kSlot), handle = Get16(msg.frame, F::kEnclosureHandle);
  if (Get8(msg.frame, F::kFlags) != kAddressBySlot || action > 1) {
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
    enc->slot_status[slot] = Get32(msg.frame, F::kSlotStatus);
    out.changed = true;
  }
  uint32_t status = SlotStatus(*enc, slot);
  if (!enc->reports_identify) status &= ~kSlotIdentify;
  Put32(out.reply, F::kReplySlotStatus, status);
}

uint32_t SlotStatus(const Enclosure& enc, uint16_t slot) {
  auto it = enc.slot_status.find(slot);
  return it == enc.slot_status.end() ? kSlotStatusUnwritten : it->second.value;
}

bool LocateLedLit(const Enclosure& enc, uint16_t slot) {
  return (SlotStatus(enc, slot) & kSlotIdentify) != 0;
}

}  // namespace vxtsim
