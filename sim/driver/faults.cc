#include "driver/faults.h"

#include "firmware/layouts.h"
#include "firmware/page_table.h"
#include "model/protocol.h"

namespace vxtsim {

namespace {

bool Holds(const Given<uint32_t>& want, const std::optional<uint32_t>& have) {
  return !want.given || (have && *have == want.value);
}

bool Matches(const FaultMatch& m, const RequestFacts& f) {
  if (m.request.given && m.request.value != f.request) return false;
  if (m.page.given) {
    const PageDef& def = PageDirectory()[m.page.value];
    if (f.page_type != def.type || f.page_number != def.number) return false;
    if (def.extended() && f.ext_page_type != def.ext_type) return false;
  }
  if (m.controller.given && m.controller.value != f.controller) return false;
  return Holds(m.function, f.function) && Holds(m.action, f.action) &&
         Holds(m.page_type, f.page_type) && Holds(m.page_number, f.page_number) &&
         Holds(m.ext_page_type, f.ext_page_type) && Holds(m.address, f.address) &&
         Holds(m.raid_action, f.raid_action) && Holds(m.scsi_opcode, f.scsi_opcode) &&
         Holds(m.target, f.target) && Holds(m.vpd_page, f.vpd_page);
}

bool Applies(const FaultRule& rule, uint64_t hits) {
  if (rule.nth.given) return hits == rule.nth.value;
  if (rule.first.given) return hits <= rule.first.value;
  return true;
}

}  // namespace

RequestFacts DriverRequestFacts(RequestKind request, uint32_t controller) {
  RequestFacts f;
  f.request = request;
  f.controller = controller;
  return f;
}

RequestFacts DescribeFrame(uint32_t controller, const Bytes& frame) {
  RequestFacts f = DriverRequestFacts(RequestKind::kPassThrough, controller);
  namespace L = layout;
  uint8_t function = Get8(frame, L::frame::kFunction);
  f.function = function;
  switch (function) {
    case kFnConfig:
      f.action = Get8(frame, L::config_frame::kAction);
      f.page_type = Get8(frame, L::config_frame::kPageType);
      f.page_number = Get8(frame, L::config_frame::kPageNumber);
      f.ext_page_type = Get8(frame, L::config_frame::kExtPageType);
      f.address = Get32(frame, L::config_frame::kPageAddress);
      break;
    case kFnRaidAction:
      f.raid_action = Get8(frame, L::raid_action_frame::kAction);
      f.action = Get8(frame, L::raid_action_frame::kAction);
      break;
    case kFnScsiIo:
    case kFnRaidPassThrough: {
      const size_t cdb = L::scsi_frame::kCdb;
      f.target = Get8(frame, L::scsi_frame::kTargetId);
      f.scsi_opcode = Get8(frame, cdb);
      // INQUIRY with EVPD set asks for a vital product data page.
      if (Get8(frame, cdb) == 0x12 && (Get8(frame, cdb + 1) & 1)) f.vpd_page = Get8(frame, cdb + 2);
      break;
    }
    case kFnSep:
      f.action = Get8(frame, L::sep_frame::kAction);
      f.target = Get8(frame, L::sep_frame::kTargetId);
      break;
    case kFnSataPassThrough:
      f.target = Get8(frame, L::sata_frame::kTargetId);
      break;
    default:
      break;
  }
  return f;
}

std::optional<FaultHit> MatchFault(Model& model, const RequestFacts& facts, bool& changed) {
  std::optional<FaultHit> hit;
  for (size_t i = 0; i < model.faults.size(); ++i) {
    FaultRule& rule = model.faults[i];
    if (!Matches(rule.match, facts)) continue;
    rule.hits = rule.hits + 1;
    changed = true;
    if (!hit && Applies(rule, rule.hits)) hit = FaultHit{i, &rule.effect};
  }
  return hit;
}

}  // namespace vxtsim
