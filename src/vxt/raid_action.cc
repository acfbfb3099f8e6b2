// RAID actions and enclosure-processor requests.
#include "vxt/raid_action.h"

#include "vxt/last_reply.h"
#include "vxt/vxt_assert.h"

namespace {

constexpr size_t kActionFrameBytes = 32;
constexpr uint32_t kActionTimeoutSeconds = 300;

}  // namespace

int VxtRaidAction(ControllerInfo* c, const RaidActionRequest& request) {
  VXT_ASSERT(request.Action <= 0x12, "Action <= (0x12)");
  PrepareRequest(c, kFunctionRaidAction, kActionFrameBytes, kActionTimeoutSeconds, 20);
  if (!request.DataOut.empty()) {
    // Sent, never written: the descriptor's buffer is shared with reads.
    c->Request.DataBuffer = const_cast<uint8_t*>(request.DataOut.data());
    c->Request.DataLength = static_cast<uint32_t>(request.DataOut.size());
    c->Request.Direction = 2;
  }
  MutableBytes frame = Frame(c);
  PutU8(frame, 0, request.Action);
  PutU8(frame, 4, request.VolumeID);
  PutU8(frame, 5, request.VolumeBus);
  PutU8(frame, 6, request.PhysDiskNum);
  PutU32(frame, 16, request.ActionDataWord);
  if (!SendAndCheck(c)) return 0;
  uint16_t action_status = RaidReplyActionStatus(LastReply(*c));
  return action_status == 0 || action_status == 3;
}

int RaidActionVolumeProgress(ControllerInfo* c, uint8_t volume_bus, uint8_t volume_id,
                             VolumeProgress* progress, RequestStatus* status) {
  int done = VxtRaidAction(
      c, {.Action = kRaidActionProgress, .VolumeID = volume_id, .VolumeBus = volume_bus});
  ReportStatus(*c, status);
  if (!done) return 0;
  *progress = {RaidReplyTotalBlocks(LastReply(*c)), RaidReplyBlocksRemaining(LastReply(*c))};
  return 1;
}

int RaidActionCreatePhysDisk(ControllerInfo* c, ConstBytes phys_disk_image,
                             std::optional<uint8_t>* phys_disk_num) {
  if (!VxtRaidAction(c, {.Action = kRaidActionCreatePhysDisk, .DataOut = phys_disk_image})) {
    return 0;
  }
  *phys_disk_num = std::nullopt;
  if (ReplyAnswersRequest(*c)) {
    *phys_disk_num = static_cast<uint8_t>(RaidReplyActionData(LastReply(*c)));
  }
  return 1;
}

int VxtSEPMessage(ControllerInfo* c, uint8_t Action, uint8_t /*bus*/, uint8_t target_id,
                  uint16_t enclosure_handle, uint16_t slot, uint8_t flags, uint32_t* slot_status,
                  RequestStatus* status) {
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
  int done = SendAndCheck(c);
  ReportStatus(*c, status);
  if (!done) return 0;
  if (Action == kSepActionReadStatus) *slot_status = GetU32(LastReply(*c), 20);
  return 1;
}

int SepReadSlotStatus(ControllerInfo* c, uint16_t enclosure_handle, uint16_t slot,
                      uint32_t* slot_status) {
  uint32_t status = 0;
  if (!VxtSEPMessage(c, kSepActionReadStatus, 0, 0, enclosure_handle, slot, kSepFlagsEnclosureSlot,
                     &status) ||
      !ReplyAnswersRequest(*c)) {
    return 0;
  }
  *slot_status = status;
  return 1;
}
