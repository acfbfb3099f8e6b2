// RAID actions and enclosure-processor requests.
#include "vxt/vxt_assert.h"
#include "vxt/vxt_util.h"

namespace {

constexpr size_t kActionFrameBytes = 32;
constexpr uint32_t kActionTimeoutSeconds = 300;

}  // namespace

int VxtRaidAction(ControllerInfo* c, uint8_t Action, uint8_t phys_disk_num, uint8_t volume_bus,
                  uint8_t volume_id, uint32_t action_data_word, void* data, uint32_t data_length,
                  int data_out) {
  VXT_ASSERT(Action <= 0x12, "Action <= (0x12)");
  PrepareRequest(c, kFunctionRaidAction, kActionFrameBytes, kActionTimeoutSeconds, 20);
  if (data_length != 0) {
    c->Request.DataBuffer = static_cast<uint8_t*>(data);
    c->Request.DataLength = data_length;
    c->Request.Direction = data_out ? 2 : 1;
  }
  MutableBytes frame = Frame(c);
  PutU8(frame, 0, Action);
  PutU8(frame, 4, volume_id);
  PutU8(frame, 5, volume_bus);
  PutU8(frame, 6, phys_disk_num);
  PutU32(frame, 16, action_data_word);
  if (!SendAndCheck(c)) return 0;
  uint16_t action_status = RaidReplyActionStatus(LastReply(*c));
  return action_status == 0 || action_status == 3;
}

int VxtSEPMessage(ControllerInfo* c, uint8_t Action, uint8_t /*bus*/, uint8_t target_id,
                  uint16_t enclosure_handle, uint16_t slot, uint8_t flags, uint32_t* slot_status) {
  VXT_ASSERT(Action <= 0x01, "Action <= (0x01)");
  PrepareRequest(c, kFunctionSep, kActionFrameBytes, kActionTimeoutSeconds, kActionFrameBytes);
  c->Request.Direction = 1;
  MutableBytes frame = Frame(c);
  PutU8(frame, 0, target_id);
  PutU8(frame, 4, Action);
  PutU8(frame, 5, flags);
  PutU32(frame, 12, *slot_status);
  PutU16(frame, 28, slot);
  PutU16(frame, 30, enclosure_handle);
  if (!SendAndCheck(c)) return 0;
  if (Action == kSepActionReadStatus) *slot_status = GetU32(LastReply(*c), 20);
  return 1;
}
