#include "cli/machine_verbs.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/layout_drift.h"
#include "console/usage.h"
#include "console/words.h"
#include "files/atomic_file.h"
#include "monitor/fleet_read.h"
#include "monitor/health.h"
#include "monitor/health_plugin.h"
#include "monitor/machine_writers.h"
#include "monitor/metrics_text.h"

namespace {

bool EqualsIgnoringCase(const char* word, const char* lower) {
  std::string copy = word;
  LowerCaseWord(copy.data());
  return copy == lower;
}

constexpr char kJsonUsage[] =
    "  volkit <controller #> JSON\n"
    "  volkit ALL JSON\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

constexpr char kHealthUsage[] =
    "  volkit <controller #> HEALTH\n"
    "  volkit ALL HEALTH\n"
    "  volkit <controller #>|ALL HEALTH layout <layout file>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

constexpr char kMetricsUsage[] =
    "  volkit <controller #> METRICS [<file>]\n"
    "  volkit ALL METRICS [<file>]\n"
    "  volkit <controller #>|ALL METRICS [<file>] layout <layout file>\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    <file> is replaced whole, or standard output when absent\n";

// The words after the verb: an optional output file, then optionally
// `layout FILE`.  False for any other form.
bool SplitMonitorWords(int argc, char** argv, bool output_allowed, const char** output,
                       const char** layout) {
  *output = nullptr;
  *layout = nullptr;
  int i = 3;
  if (output_allowed && i < argc && !EqualsIgnoringCase(argv[i], "layout")) *output = argv[i++];
  if (i == argc) return true;
  if (i + 2 != argc || !EqualsIgnoringCase(argv[i], "layout")) return false;
  *layout = argv[i + 1];
  return true;
}

// The monitoring-plugin convention's statuses, not volkit's usual ones.
int HealthVerb(const FleetSnapshot& fleet, int argc, char** argv) {
  const char* output = nullptr;
  const char* layout = nullptr;
  if (!SplitMonitorWords(argc, argv, false, &output, &layout)) {
    std::fputs(kHealthUsage, stderr);
    return HealthPluginStatus(HealthState::kUnknown);
  }
  HealthVerdict verdict = ClassifyHealth(fleet);
  if (layout != nullptr) AddLayoutFindings(fleet, layout, &verdict);
  return WriteHealth(fleet, verdict);
}

int MetricsVerb(const FleetSnapshot& fleet, int argc, char** argv) {
  const char* output = nullptr;
  const char* layout = nullptr;
  if (!SplitMonitorWords(argc, argv, true, &output, &layout)) {
    std::fputs(kMetricsUsage, stderr);
    return 1;
  }
  int status = FleetExitStatus(fleet);
  std::string text = MetricsText(fleet, kVersion);
  if (layout != nullptr) {
    std::vector<LayoutStanding> standings;
    std::string error;
    if (CompareWithLayout(fleet, layout, &standings, &error)) {
      text += LayoutMetrics(standings);
    } else {
      std::fprintf(stderr, "volkit: %s!\n", error.c_str());
      if (status == 0) status = 1;
    }
  }
  if (output == nullptr) {
    std::fputs(text.c_str(), stdout);
    return status;
  }
  std::string error;
  if (ReplaceFileAtomically(output, text, &error) != 1) {
    std::fprintf(stderr, "volkit: cannot write the metrics to %s: %s!\n", output, error.c_str());
    return status == 0 ? 1 : status;
  }
  return status;
}

const MachineVerb kMachineVerbs[] = {
    {"json", kJsonUsage, 3, WriteJson},
    {"health", kHealthUsage, 5, HealthVerb},
    {"metrics", kMetricsUsage, 6, MetricsVerb},
};

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
  const char* output = nullptr;
  const char* layout = nullptr;
  if (argc > verb.MaxArgc ||
      (argc > 3 && verb.MaxArgc > 4 &&
       !SplitMonitorWords(argc, argv, verb.MaxArgc == 6, &output, &layout))) {
    std::fprintf(stderr, "volkit: too many command arguments!\n");
    std::fputs(verb.Usage, stderr);
    return 1;
  }
  FleetSnapshot fleet;
  ReadFleet(all, number, &fleet);
  return verb.Write(fleet, argc, argv);
}
