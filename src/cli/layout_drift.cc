#include "cli/layout_drift.h"

#include <algorithm>

#include "layout/layout_document.h"
#include "layout/plan.h"

int CompareWithLayout(const FleetSnapshot& fleet, const char* path,
                      std::vector<LayoutStanding>* standings, std::string* error) {
  LayoutDocument document;
  std::string why;
  if (!ReadLayoutFile(path, &document, &why)) {
    *error = std::string("layout ") + path + ": " + why;
    return 0;
  }
  for (const ControllerSnapshot& s : fleet.Controllers) {
    const LayoutController* entry = FindLayoutController(document, s.Controller);
    // An incomplete picture proves neither standing.
    if (entry == nullptr || !s.Complete) continue;
    ControllerPlan plan = BuildPlan(s, *entry);
    LayoutStanding standing;
    standing.Controller = s.Controller;
    standing.InSync = InSync(plan);
    if (!plan.Actions.empty()) {
      standing.Difference = ActionText(plan.Actions.front());
    } else if (!plan.Refusals.empty()) {
      standing.Difference = plan.Refusals.front();
    }
    standings->push_back(standing);
  }
  return 1;
}

void AddLayoutFindings(const FleetSnapshot& fleet, const char* path, HealthVerdict* verdict) {
  std::vector<LayoutStanding> standings;
  std::string error;
  std::vector<HealthFinding> added;
  if (!CompareWithLayout(fleet, path, &standings, &error)) {
    added.push_back({HealthState::kUnknown, error});
  }
  for (const LayoutStanding& s : standings) {
    if (s.InSync) continue;
    added.push_back({HealthState::kWarning, "controller " + std::to_string(s.Controller) +
                                                " differs from its layout: " + s.Difference});
  }
  for (const HealthFinding& f : added) {
    verdict->Findings.push_back(f);
    verdict->State = std::max(verdict->State, f.State);
  }
  std::stable_sort(
      verdict->Findings.begin(), verdict->Findings.end(),
      [](const HealthFinding& a, const HealthFinding& b) { return a.State > b.State; });
}

std::string LayoutMetrics(const std::vector<LayoutStanding>& standings) {
  if (standings.empty()) return "";
  std::string text =
      "# HELP volkit_layout_in_sync 1 when the controller has its layout, 0 when changes are "
      "pending or the layout cannot be carried out\n"
      "# TYPE volkit_layout_in_sync gauge\n";
  for (const LayoutStanding& s : standings) {
    text += "volkit_layout_in_sync{controller=\"" + std::to_string(s.Controller) + "\"} " +
            (s.InSync ? "1" : "0") + "\n";
  }
  return text;
}
