// Fault injection: rules of the state that match requests and change how the
// driver or the firmware answers them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/bytes.h"
#include "model/model.h"

namespace vxtsim {

// What a rule can match on. Unset members match no rule key.
struct RequestFacts {
  RequestKind request = RequestKind::kPassThrough;
  uint32_t controller = 0;
  std::optional<uint32_t> function, action, page_type, page_number, ext_page_type, address;
  std::optional<uint32_t> raid_action, scsi_opcode, target, vpd_page;
};

// A request without a message frame (adapter information, reset).
RequestFacts DriverRequestFacts(RequestKind request, uint32_t controller);

// Reads the matchable fields out of a message frame.
RequestFacts DescribeFrame(uint32_t controller, const Bytes& frame);

struct FaultHit {
  size_t rule = 0;
  const FaultEffect* effect = nullptr;
};

// Counts the request against every rule it matches and returns the effect of
// the first rule that applies to this match. Counters live in the rules
// ("hits"), so they carry over from one process to the next; `changed` is set
// when any counter moved.
std::optional<FaultHit> MatchFault(Model& model, const RequestFacts& facts, bool& changed);

}  // namespace vxtsim
