// RAID actions and enclosure-processor requests.
#include "vxt/raid_action.h"

#include "vxt/last_reply.h"
#include "vxt/vxt_assert.h"

namespace {

constexpr size_t kActionFrameBytes = 32;
constexpr uint32_t kActionTimeoutSeconds = 300;

// Fields of the RAID action frame.
constexpr size_t kActionCode = 0;
constexpr size_t kActionVolumeId = 4;
constexpr size_t kActionVolumeBus = 5;
constexpr size_t kActionPhysDiskNum = 6;
constexpr size_t kActionDataWord = 16;

// Fields of the enclosure-processor frame, and the slot status its reply
// brings back.
constexpr size_t kSepTargetId = 0;
constexpr size_t kSepAction = 4;
constexpr size_t kSepFlags = 5;
constexpr size_t kSepSlotStatus = 12;
constexpr size_t kSepSlot = 28;
constexpr size_t kSepEnclosureHandle = 30;
constexpr size_t kSepReplySlotStatus = 20;

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
  PutU8(frame, kActionCode, request.Action);
  PutU8(frame, kActionVolumeId, request.VolumeID);
  PutU8(frame, kActionVolumeBus, request.VolumeBus);
  PutU8(frame, kActionPhysDiskNum, request.PhysDiskNum);
  PutU32(frame, kActionDataWord, request.ActionDataWord);
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
  PutU8(frame, kSepTargetId, target_id);
  PutU8(frame, kSepAction, Action);
  PutU8(frame, kSepFlags, flags);
  PutU32(frame, kSepSlotStatus, *slot_status);
  PutU16(frame, kSepSlot, slot);
  PutU16(frame, kSepEnclosureHandle, enclosure_handle);
  int done = SendAndCheck(c);
  ReportStatus(*c, status);
  if (!done) return 0;
  if (Action == kSepActionReadStatus) *slot_status = GetU32(LastReply(*c), kSepReplySlotStatus);
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
