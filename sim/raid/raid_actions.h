// The RAID actions the firmware carries out. Each handler checks the whole
// request before it changes anything, so a refused action leaves the
// configuration exactly as it was; it returns the reply's ActionStatus.
#pragma once

#include <cstdint>

#include "firmware/firmware.h"
#include "firmware/layouts.h"
#include "firmware/page_table.h"

namespace vxtsim {

enum ActionStatus : uint16_t {
  kActionDone = 0,
  kActionInvalid = 1,   // unknown action; missing, short or inconsistent data
  kActionNotFound = 2,  // no volume, physical disk or disk at the address
  kActionInUse = 4,     // what is named is taken, or in a state that forbids the action
  kActionLimit = 5,     // beyond the controller's limits or capabilities
  kActionTooLarge = 6,  // the volume does not fit its members
};

// Answers a RAID action request (function kFnRaidAction) and carries the
// action out.
void HandleRaidAction(Controller& ctl, const Message& msg, Completion& out);

// Request frame fields.
inline uint8_t FrameVolumeId(const Message& msg) {
  return Get8(msg.frame, layout::raid_action_frame::kVolumeId);
}
inline uint8_t FrameVolumeBus(const Message& msg) {
  return Get8(msg.frame, layout::raid_action_frame::kVolumeBus);
}
inline uint8_t FramePhysDiskNum(const Message& msg) {
  return Get8(msg.frame, layout::raid_action_frame::kPhysDiskNum);
}
inline uint32_t FrameDataWord(const Message& msg) {
  return Get32(msg.frame, layout::raid_action_frame::kActionDataWord);
}

// The data image of a page, when the request carries one at least as long
// as the page and of that page's type and number.
bool PageImage(const Controller& ctl, PageIndex page, const Message& msg);

uint16_t ReportProgress(Controller& ctl, const Message& msg, Completion& out);      // 1
uint16_t CreateVolume(Controller& ctl, const Message& msg, Completion& out);        // 2
uint16_t DeleteVolume(Controller& ctl, const Message& msg, Completion& out);        // 3
uint16_t SetPhysDiskOffline(Controller& ctl, const Message& msg, Completion& out);  // 10
uint16_t SetPhysDiskOnline(Controller& ctl, const Message& msg, Completion& out);   // 11
uint16_t CreatePhysDisk(Controller& ctl, const Message& msg, Completion& out);      // 13
uint16_t DeletePhysDisk(Controller& ctl, const Message& msg, Completion& out);      // 14

}  // namespace vxtsim
