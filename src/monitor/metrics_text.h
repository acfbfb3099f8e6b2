// The metrics verb's output: the Prometheus text exposition format 0.0.4,
// a pure function of the run's snapshots.  Every family opens with its HELP
// and TYPE lines and holds all its series in one group; no series appears
// twice and none carries a timestamp.
#pragma once

#include <string>

#include "monitor/snapshot.h"

std::string MetricsText(const FleetSnapshot& fleet, const std::string& version);

// A label value as the format writes it between its quotes: backslash,
// double quote and line feed escaped, and every byte outside printable ASCII
// spelled \xNN so that the text stays valid UTF-8 whatever the firmware sent.
std::string PrometheusLabelValue(const std::string& value);
