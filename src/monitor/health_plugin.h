// The health verb's output in the monitoring-plugin convention: one line
// `VOLKIT <STATE> - <summary> | <perfdata>`, then one line per finding, and
// the exit status 0, 1, 2 or 3 that plugin hosts read as the state.
#pragma once

#include <string>

#include "monitor/health.h"
#include "monitor/snapshot.h"

// The plugin text of a run, final newline included.
std::string HealthPluginText(const FleetSnapshot& fleet, const HealthVerdict& verdict);

// 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN.
int HealthPluginStatus(HealthState state);
