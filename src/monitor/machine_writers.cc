#include "monitor/machine_writers.h"

#include <cstdio>

#include "console/usage.h"
#include "monitor/health_plugin.h"
#include "monitor/json_document.h"

int WriteJson(const FleetSnapshot& fleet, int argc, char** argv) {
  JsonRunFacts run;
  run.Version = kVersion;
  for (int i = 0; i < argc; ++i) run.Argv.emplace_back(argv[i]);
  run.ExitStatus = FleetExitStatus(fleet);
  std::fputs(JsonDocument(fleet, run).c_str(), stdout);
  return run.ExitStatus;
}

int WriteHealth(const FleetSnapshot& fleet, const HealthVerdict& verdict) {
  std::fputs(HealthPluginText(fleet, verdict).c_str(), stdout);
  return HealthPluginStatus(verdict.State);
}
