// The machine-readable verbs' writers onto standard output: each puts one
// run's snapshots out in its format and returns the run's exit status.  The
// command line's words, the layout comparison and the metrics file belong to
// the verbs above (cli); the metrics text itself is MetricsText.
#pragma once

#include "monitor/health.h"
#include "monitor/snapshot.h"

// The JSON document; `argv` is the command line as given, recorded in it.
int WriteJson(const FleetSnapshot& fleet, int argc, char** argv);

// The monitoring-plugin text of `verdict`, with the plugin convention's
// status rather than volkit's usual ones.
int WriteHealth(const FleetSnapshot& fleet, const HealthVerdict& verdict);
