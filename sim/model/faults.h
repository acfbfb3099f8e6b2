// Fault injection: rules of the state that match requests and change how the
// driver or the firmware answers them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "bytes.h"
#include "lab_values.h"

namespace vxtsim {

// What a rule can match on. Unset members match no rule key.
struct RequestFacts {
  std::string request;  // "adapter_info", "passthrough" or "reset"
  uint32_t controller = 0;
  std::optional<uint32_t> function, action, page_type, page_number, ext_page_type, address;
  std::optional<uint32_t> raid_action, scsi_opcode, target;
};

// A request without a message frame (adapter information, reset).
RequestFacts DriverRequestFacts(const char* request, uint32_t controller);

// Reads the matchable fields out of a message frame.
RequestFacts DescribeFrame(uint32_t controller, const Bytes& frame);

struct FaultHit {
  size_t rule = 0;
  json effect;
};

// Counts the request against every rule it matches and returns the effect of
// the first rule that applies to this match. Counters live in the rules
// ("hits"), so they carry over from one process to the next; `changed` is set
// when any counter moved.
std::optional<FaultHit> MatchFault(json& state, const RequestFacts& facts, bool& changed);

// Throws LabError for a rule with a key or an effect the model does not know.
void CheckFaultRules(const json& state);

// An errno given as a number or by name ("EIO").
int ErrnoValue(const json& value);
const char* ErrnoName(int err);

}  // namespace vxtsim
