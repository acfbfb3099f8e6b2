// RAID action requests: the frame and data checks every action shares, and
// the dispatch to the action's handler.
#include "firmware/controller.h"
#include "firmware/page_image.h"
#include "model/protocol.h"
#include "raid/raid_actions.h"

namespace vxtsim {

namespace {

constexpr uint32_t kRaidSgeWords = 5;
constexpr size_t kRaidReplySize = layout::raid_action_frame::kReplySize;

using ActionHandler = uint16_t (*)(Controller&, const Message&, Completion&);

ActionHandler HandlerOf(uint8_t action) {
  switch (action) {
    case 1:
      return ReportProgress;
    case 2:
      return CreateVolume;
    case 3:
      return DeleteVolume;
    case 10:
      return SetPhysDiskOffline;
    case 11:
      return SetPhysDiskOnline;
    case 13:
      return CreatePhysDisk;
    case 14:
      return DeletePhysDisk;
    default:
      return nullptr;
  }
}

// Everything but the progress report changes the configuration.
bool ChangesConfiguration(uint8_t action) { return action != 1; }

}  // namespace

bool PageImage(const Controller& ctl, PageIndex page, const Message& msg) {
  const PageDef& def = PageAt(page);
  size_t size = size_t{HeaderOf(ctl, def).length_words} * 4;
  return msg.data_out.size() >= size &&
         Get8(msg.data_out, layout::page_header::kPageNumber) == def.number &&
         Get8(msg.data_out, layout::page_header::kPageType) == def.type;
}

void HandleRaidAction(Controller& ctl, const Message& msg, Completion& out) {
  out.reply = StartReply(msg.frame, kRaidReplySize, kStatusSuccess);
  namespace F = layout::raid_action_frame;
  Put8(out.reply, F::kReplyAction, Get8(msg.frame, F::kAction));
  if (msg.HasData() && msg.sge_offset != kRaidSgeWords) {
    return SetIocStatus(out.reply, kStatusInvalidSgl);
  }
  uint8_t action = Get8(msg.frame, F::kAction);
  ActionHandler handler = HandlerOf(action);
  uint16_t status = kActionInvalid;
  if (handler && ChangesConfiguration(action) && IrDisabled(ctl)) {
    status = kActionLimit;
  } else if (handler) {
    status = handler(ctl, msg, out);
  }
  Put16(out.reply, F::kReplyActionStatus, status);
}

}  // namespace vxtsim
