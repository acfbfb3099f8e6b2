#include "cli/machine_verbs.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "console/usage.h"
#include "console/words.h"
#include "files/atomic_file.h"
#include "report/health.h"
#include "report/health_plugin.h"
#include "report/json_document.h"
#include "report/metrics_text.h"

namespace {

constexpr char kJsonUsage[] =
    "  volkit <controller #> JSON\n"
    "  volkit ALL JSON\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

int WriteJson(const FleetSnapshot& fleet, int argc, char** argv) {
  JsonRunFacts run;
  run.Version = kVersion;
  for (int i = 0; i < argc; ++i) run.Argv.emplace_back(argv[i]);
  run.ExitStatus = FleetExitStatus(fleet);
  std::fputs(JsonDocument(fleet, run).c_str(), stdout);
  return run.ExitStatus;
}

constexpr char kHealthUsage[] =
    "  volkit <controller #> HEALTH\n"
    "  volkit ALL HEALTH\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

constexpr char kMetricsUsage[] =
    "  volkit <controller #> METRICS [<file>]\n"
    "  volkit ALL METRICS [<file>]\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    <file> is replaced whole, or standard output when absent\n";

// The monitoring-plugin convention's statuses, not volkit's usual ones.
int WriteHealth(const FleetSnapshot& fleet, int /*argc*/, char** /*argv*/) {
  HealthVerdict verdict = ClassifyHealth(fleet);
  std::fputs(HealthPluginText(fleet, verdict).c_str(), stdout);
  return HealthPluginStatus(verdict.State);
}

int WriteMetrics(const FleetSnapshot& fleet, int argc, char** argv) {
  int status = FleetExitStatus(fleet);
  std::string text = MetricsText(fleet, kVersion);
  if (argc < 4) {
    std::fputs(text.c_str(), stdout);
    return status;
  }
  std::string error;
  if (ReplaceFileAtomically(argv[3], text, &error) != 1) {
    std::fprintf(stderr, "volkit: cannot write the metrics to %s: %s!\n", argv[3], error.c_str());
    return status == 0 ? 1 : status;
  }
  return status;
}

const MachineVerb kMachineVerbs[] = {
    {"json", kJsonUsage, 3, WriteJson},
    {"health", kHealthUsage, 3, WriteHealth},
    {"metrics", kMetricsUsage, 4, WriteMetrics},
};

bool EqualsIgnoringCase(const char* word, const char* lower) {
  std::string copy = word;
  LowerCaseWord(copy.data());
  return copy == lower;
}

}  // namespace

const MachineVerb* FindMachineVerb(const char* word) {
  for (const MachineVerb& verb : kMachineVerbs) {
    if (EqualsIgnoringCase(word, verb.Word)) return &verb;
  }
  return nullptr;
}

bool IsMachineSelection(const char* word) {
  return EqualsIgnoringCase(word, "all") || !std::isalpha(static_cast<unsigned char>(word[0]));
}

int RunMachineVerb(const MachineVerb& verb, int argc, char** argv) {
  bool all = EqualsIgnoringCase(argv[1], "all");
  uint32_t number = 0;
  if (!all && !ParseControllerNumber(argv[1], &number)) return 1;
  if (argc > verb.MaxArgc) {
    std::fprintf(stderr, "volkit: too many command arguments!\n");
    std::fputs(verb.Usage, stderr);
    return 1;
  }
  FleetSnapshot fleet;
  ReadFleet(all, number, &fleet);
  return verb.Write(fleet, argc, argv);
}
