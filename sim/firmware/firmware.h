// The controller firmware: answers one request message at a time from the
// controller's state.
#pragma once

#include <cstdint>

#include "model/bytes.h"
#include "model/model.h"

namespace vxtsim {

// One message as the driver hands it to the firmware.
struct Message {
  Bytes frame;
  Bytes data_out;
  size_t data_in_size = 0;
  uint32_t sge_offset = 0;  // in 32-bit words
  uint32_t timeout = 0;

  bool HasData() const { return data_in_size > 0 || !data_out.empty(); }
};

// What the firmware gives back.
struct Completion {
  Bytes reply;    // reply frame; its byte 2 holds the length in words
  Bytes data_in;  // delivered up to the room the host gave
  Bytes sense;
  bool changed = false;  // the controller state was modified
  uint32_t busy_ms = 0;  // how long the request takes before it completes
};

// Answers every function but the RAID action, which the RAID engine above
// (raid/raid_actions.h) carries out: the driver hands it there.
void ProcessMessage(Controller& ctl, const Message& msg, Completion& out);

// A reply frame of `size` bytes with the head filled from the request.
Bytes StartReply(const Bytes& frame, size_t size, uint16_t ioc_status);
void SetIocStatus(Bytes& reply, uint16_t ioc_status);
uint16_t ReplyIocStatus(const Bytes& reply);

// Handlers of the individual functions.
void HandleIocFacts(const Controller& ctl, const Message& msg, Completion& out);
void HandlePortFacts(const Controller& ctl, const Message& msg, Completion& out);
void HandleConfig(Controller& ctl, const Message& msg, Completion& out);
void HandleSep(Controller& ctl, const Message& msg, Completion& out);
// A slot's status word as last written (1 when never written), and whether
// it lights the slot's locate LED.
uint32_t SlotStatus(const Enclosure& enc, uint16_t slot);
bool LocateLedLit(const Enclosure& enc, uint16_t slot);

// The controller reset: non-volatile settings become current.
void ResetController(Controller& ctl);

}  // namespace vxtsim
