// RAID actions. Action 1 reports a volume's background progress; a
// resynchronisation advances by a fixed number of blocks each time it is
// asked, so runs are repeatable and STATUS visibly moves.
#include <algorithm>

#include "firmware.h"
#include "protocol.h"
#include "raid_config.h"

namespace vxtsim {

namespace {

constexpr uint32_t kRaidSgeWords = 5;
constexpr size_t kRaidReplySize = 40;

enum ActionStatus : uint16_t { kActionDone = 0, kActionInvalid = 1, kActionFailed = 2 };

json* VolumeAt(json& ctl, uint8_t bus, uint8_t id) {
  if (!ctl.contains("raid") || !ctl["raid"].contains("volumes")) return nullptr;
  for (json& vol : ctl["raid"]["volumes"]) {
    if (VolumeId(vol) == id && VolumeBus(vol) == bus) return &vol;
  }
  return nullptr;
}

// Marks a finished resynchronisation: the volume is optimal and its members
// are in sync again.
void FinishResync(json& ctl, json& vol) {
  if (Num(vol, "state", 0) == 1) vol["state"] = 0;
  if (!ctl["raid"].contains("phys_disks")) return;
  for (const VolumeMember& m : VolumeMembers(vol)) {
    for (json& pd : ctl["raid"]["phys_disks"]) {
      if (PhysDiskNum(pd) == m.num && Num(pd, "status_flags", 0) == 1) pd["status_flags"] = 0;
    }
  }
}

void Indicator(json& ctl, const Message& msg, Completion& out) {
  json* vol = VolumeAt(ctl, Get8(msg.frame, 5), Get8(msg.frame, 4));
  if (!vol) return Put16(out.reply, 12, kActionInvalid);
  uint64_t total = VolumeMaxLba(ctl, *vol) + 1;
  uint64_t remaining = 0;
  if (VolumeResyncing(*vol)) {
    json& resync = (*vol)["resync"];
    total = Num(resync, "total", total);
    remaining = Num(resync, "remaining", 0);
    uint64_t step = Num(resync, "step", std::max<uint64_t>(total / 8, 1));
    uint64_t left = remaining > step ? remaining - step : 0;
    resync["remaining"] = left;
    if (left == 0) FinishResync(ctl, *vol);
    out.changed = true;
  }
  Put64(out.reply, 24, total);
  Put64(out.reply, 32, remaining);
}

}  // namespace

void HandleRaidAction(json& ctl, const Message& msg, Completion& out) {
  out.reply = StartReply(msg.frame, kRaidReplySize, kStatusSuccess);
  Put8(out.reply, 0, Get8(msg.frame, 0));
  if (msg.HasData() && msg.sge_offset != kRaidSgeWords) {
    return SetIocStatus(out.reply, kStatusInvalidSgl);
  }
  switch (Get8(msg.frame, 0)) {
    case 1: Indicator(ctl, msg, out); break;
    default: Put16(out.reply, 12, kActionInvalid); break;
  }
}

}  // namespace vxtsim
