// The json verb's document, format 1.1: a pure function of the run's
// snapshots.  Every documented key is always present, null where a value is
// unknown or does not apply.
#pragma once

#include <string>
#include <vector>

#include "monitor/snapshot.h"

inline constexpr int kJsonFormatMajor = 1;
inline constexpr int kJsonFormatMinor = 1;

struct JsonRunFacts {
  std::string Version;            // volkit's version string
  std::vector<std::string> Argv;  // the command line as given
  int ExitStatus = 0;
};

std::string JsonDocument(const FleetSnapshot& fleet, const JsonRunFacts& run);
