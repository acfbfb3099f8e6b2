// How far each controller of a monitoring run is from its layout, for the
// `health layout FILE` and `metrics ... layout FILE` forms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/health.h"
#include "monitor/snapshot.h"

struct LayoutStanding {
  uint32_t Controller = 0;
  bool InSync = false;
  std::string Difference;  // the first pending action or refusal
};

// The standing of every completely read controller of `fleet` that the
// layout at `path` names.  1 with the list; 0 with `error` when the layout
// cannot be read.
int CompareWithLayout(const FleetSnapshot& fleet, const char* path,
                      std::vector<LayoutStanding>* standings, std::string* error);

// Adds the layout's findings to `verdict`: a warning for each controller that
// differs from its layout, unknown when the layout cannot be read.
void AddLayoutFindings(const FleetSnapshot& fleet, const char* path, HealthVerdict* verdict);

// The volkit_layout_in_sync family; empty when no controller was compared.
std::string LayoutMetrics(const std::vector<LayoutStanding>& standings);
