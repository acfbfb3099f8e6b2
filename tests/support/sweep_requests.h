// The requests of a sweep's clean run: how a fault rule matches each, which
// of them the sweep fails, and the ways each can fail.
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

// One way to fail a request: the rule's effect, and whether the sweep fails
// only that match (transient) or every later match too (persistent).
struct SweepFault {
  std::string name;
  json effect;
  bool transient, persistent;
};

// The requests of a run, in the order sent.
std::vector<json> Requests(const VolkitRun& run);

// What identifies the request of a log line to a fault rule: the model's
// description of the request, written as the lab writes a rule's match.
json MatchOf(const json& line);

// Which of `requests` the sweep fails: all of them when `deep`; otherwise of
// each scan (requests alike but for the device or page they name) its first
// `first` and its last.
std::vector<bool> Sampled(const std::vector<json>& requests, bool deep, size_t first);

// How many of the first `end` requests `match` matches.
size_t CountMatches(const std::vector<json>& requests, const json& match, size_t end);

// The ways the driver and the firmware can fail the request of `line`.
std::vector<SweepFault> FaultsFor(const json& line);

}  // namespace volkit_test
