#include "faults.h"

#include <cerrno>
#include <cstring>

#include "page_table.h"
#include "protocol.h"

namespace vxtsim {

namespace {

struct ErrnoEntry {
  int value;
  const char* name;
};

constexpr ErrnoEntry kErrnos[] = {
    {EPERM, "EPERM"},   {ENOENT, "ENOENT"}, {EIO, "EIO"},         {ENXIO, "ENXIO"},
    {EAGAIN, "EAGAIN"}, {ENOMEM, "ENOMEM"}, {EACCES, "EACCES"},   {EFAULT, "EFAULT"},
    {EBUSY, "EBUSY"},   {EEXIST, "EEXIST"}, {ENODEV, "ENODEV"},   {EINVAL, "EINVAL"},
    {ENOTTY, "ENOTTY"}, {EINTR, "EINTR"},   {ETIMEDOUT, "ETIMEDOUT"},
};

constexpr const char* kMatchKeys[] = {
    "request", "page",        "controller",    "function",   "action",      "page_type",
    "page_number", "ext_page_type", "address", "raid_action", "scsi_opcode", "target"};
constexpr const char* kEffectKeys[] = {
    "errno",     "no_reply",       "ioc_status", "action_status", "scsi_status", "scsi_state",
    "sense_key", "asc",            "ascq",       "not_ready",     "unit_attention",
    "response_info", "short"};

template <size_t N>
bool Known(const std::string& key, const char* const (&keys)[N]) {
  for (const char* k : keys) {
    if (key == k) return true;
  }
  return false;
}

bool Matches(const json& match, const RequestFacts& f) {
  if (!match.is_object()) return true;
  for (auto& [key, want] : match.items()) {
    if (key == "request") {
      if (!want.is_string() || want.get<std::string>() != f.request) return false;
      continue;
    }
    if (key == "page") {
      const PageDef* def = want.is_string() ? FindPageByName(want.get<std::string>()) : nullptr;
      if (!def) throw LabError("fault rule: unknown page " + want.dump());
      if (f.page_type != def->type || f.page_number != def->number) return false;
      if (def->extended() && f.ext_page_type != def->ext_type) return false;
      continue;
    }
    std::optional<uint32_t> have;
    if (key == "controller") have = f.controller;
    else if (key == "function") have = f.function;
    else if (key == "action") have = f.action;
    else if (key == "page_type") have = f.page_type;
    else if (key == "page_number") have = f.page_number;
    else if (key == "ext_page_type") have = f.ext_page_type;
    else if (key == "address") have = f.address;
    else if (key == "raid_action") have = f.raid_action;
    else if (key == "scsi_opcode") have = f.scsi_opcode;
    else if (key == "target") have = f.target;
    if (!have || *have != ToNum(want, "fault rule " + key)) return false;
  }
  return true;
}

bool Applies(const json& rule, uint64_t hits) {
  if (!Member(rule, "nth").is_null()) return hits == Num(rule, "nth", 0);
  if (!Member(rule, "first").is_null()) return hits <= Num(rule, "first", 0);
  return true;
}

}  // namespace

RequestFacts DriverRequestFacts(const char* request, uint32_t controller) {
  RequestFacts f;
  f.request = request;
  f.controller = controller;
  return f;
}

RequestFacts DescribeFrame(uint32_t controller, const Bytes& frame) {
  RequestFacts f = DriverRequestFacts("passthrough", controller);
  uint8_t function = Get8(frame, 3);
  f.function = function;
  switch (function) {
    case kFnConfig:
      f.action = Get8(frame, 0);
      f.page_type = Get8(frame, 23);
      f.page_number = Get8(frame, 22);
      f.ext_page_type = Get8(frame, 6);
      f.address = Get32(frame, 24);
      break;
    case kFnRaidAction:
      f.raid_action = Get8(frame, 0);
      f.action = Get8(frame, 0);
      break;
    case kFnScsiIo:
    case kFnRaidPassThrough:
      f.target = Get8(frame, 0);
      f.scsi_opcode = Get8(frame, 24);
      break;
    case kFnSep:
      f.action = Get8(frame, 4);
      f.target = Get8(frame, 0);
      break;
    case kFnSataPassThrough:
      f.target = Get8(frame, 0);
      break;
    default:
      break;
  }
  return f;
}

std::optional<FaultHit> MatchFault(json& state, const RequestFacts& facts, bool& changed) {
  std::optional<FaultHit> hit;
  if (!state.contains("faults")) return hit;
  json& rules = state["faults"];
  if (!rules.is_array()) throw LabError("faults: expected a list");
  for (size_t i = 0; i < rules.size(); ++i) {
    json& rule = rules[i];
    if (!Matches(Member(rule, "match"), facts)) continue;
    uint64_t hits = Num(rule, "hits", 0) + 1;
    rule["hits"] = hits;
    changed = true;
    if (!hit && Applies(rule, hits)) hit = FaultHit{i, Member(rule, "effect")};
  }
  return hit;
}

void CheckFaultRules(const json& state) {
  for (const json& rule : List(state, "faults")) {
    if (!rule.is_object()) throw LabError("fault rule: expected an object, got " + rule.dump());
    for (auto& [key, value] : Member(rule, "match").items()) {
      if (!Known(key, kMatchKeys)) throw LabError("fault rule: unknown match key \"" + key + "\"");
      if (key == "page" && !(value.is_string() && FindPageByName(value.get<std::string>()))) {
        throw LabError("fault rule: unknown page " + value.dump());
      }
      if (key != "page" && key != "request") ToNum(value, "fault rule " + key);
    }
    for (auto& [key, value] : Member(rule, "effect").items()) {
      if (!Known(key, kEffectKeys)) throw LabError("fault rule: unknown effect \"" + key + "\"");
      if (key == "errno") ErrnoValue(value);
    }
    Num(rule, "first", 0);
    Num(rule, "nth", 0);
  }
}

int ErrnoValue(const json& value) {
  if (value.is_string()) {
    for (const ErrnoEntry& e : kErrnos) {
      if (value.get<std::string>() == e.name) return e.value;
    }
  }
  return static_cast<int>(ToNum(value, "errno"));
}

const char* ErrnoName(int err) {
  for (const ErrnoEntry& e : kErrnos) {
    if (e.value == err) return e.name;
  }
  return err == 0 ? "" : "E?";
}

}  // namespace vxtsim
