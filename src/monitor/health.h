// The health verdict over a run's snapshots: one table that the json
// document's `health` member and the health verb both print.
#pragma once

#include <string>
#include <vector>

#include "monitor/snapshot.h"

// In rising order of concern; the worst over everything wins.
enum class HealthState { kOk = 0, kUnknown = 1, kWarning = 2, kCritical = 3 };

struct HealthFinding {
  HealthState State;
  std::string Text;  // "controller 0 volume 0 (IM) degraded", ...
};

struct HealthVerdict {
  HealthState State = HealthState::kOk;
  std::vector<HealthFinding> Findings;  // worst first, in run order within a state
};

HealthVerdict ClassifyHealth(const FleetSnapshot& fleet);

// "ok", "unknown", "warning" or "critical".
const char* HealthStateName(HealthState state);

// "IM", "IME", "IS", or "?" for a type volkit does not know.
const char* VolumeTypeName(uint8_t volume_type);
