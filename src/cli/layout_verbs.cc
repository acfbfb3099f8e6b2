// `layout` and `plan`: reading controllers through the read-only gate and
// comparing them with a layout document.
#include "cli/layout_verbs.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "console/discovery.h"
#include "console/words.h"
#include "layout/layout_write.h"
#include "layout/plan_limits.h"
#include "layout/plan_text.h"
#include "monitor/fleet_read.h"

namespace {

constexpr unsigned long kMaxControllerArgument = 255;

constexpr char kLayoutUsage[] =
    "  volkit <controller #> LAYOUT\n"
    "  volkit ALL LAYOUT\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n";

constexpr char kPlanUsage[] =
    "  volkit <controller #> PLAN <file> [json]\n"
    "  volkit ALL PLAN <file> [json]\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where <file> is a layout document\n";

bool Is(const char* word, const char* lower) {
  std::string copy = word;
  LowerCaseWord(copy.data());
  return copy == lower;
}

int RunLayout(int argc, bool all, uint32_t number) {
  if (argc != 3) {
    std::fprintf(stderr, "volkit: too many command arguments!\n%s", kLayoutUsage);
    return 1;
  }
  FleetSnapshot fleet;
  ReadFleet(all, number, &fleet);
  if (fleet.Failure != RunFailure::kNone) return 2;
  for (const ControllerSnapshot& s : fleet.Controllers) {
    // A partial picture would be a layout without what could not be read.
    if (!s.Complete) return 1;
  }
  std::fputs(LayoutJson(fleet.Controllers).c_str(), stdout);
  return 0;
}

int PlanStatus(const ControllerPlan& plan) {
  if (!plan.Refusals.empty()) return kPlanInvalid;
  return plan.Actions.empty() ? kPlanInSync : kPlanPending;
}

// The worse of two statuses: absent, then invalid, then pending.
int Worse(int a, int b) {
  for (int s : {kPlanAbsent, kPlanInvalid, kPlanPending}) {
    if (a == s || b == s) return s;
  }
  return kPlanInSync;
}

int RunPlan(int argc, char** argv, bool all, uint32_t number) {
  if (argc < 4 || argc > 5 || (argc == 5 && !Is(argv[4], "json"))) {
    std::fprintf(stderr, "volkit: Incorrect command line parameters for 'PLAN' command!\n%s",
                 kPlanUsage);
    return 1;
  }
  const bool json = argc == 5;
  std::vector<std::string> errors;
  std::vector<ControllerPlan> plans;
  auto finish = [&](int status) {
    if (json) std::fputs(PlanJson(plans, errors).c_str(), stdout);
    return status;
  };
  LayoutDocument document;
  std::string error;
  if (!ReadLayoutArgument(argv[3], &document, &error)) {
    errors.push_back(error);
    return finish(kPlanInvalid);
  }
  std::vector<LayoutSelection> selected;
  if (!SelectLayoutControllers(document, all, number, &selected)) {
    errors.emplace_back("the layout has no entry for controller " + std::to_string(number));
    return finish(kPlanInvalid);
  }
  int handle = -1;
  if (!OpenDriver(&handle)) {
    errors.emplace_back("the driver's control node could not be opened");
    return finish(kPlanAbsent);
  }
  int status = kPlanInSync;
  for (const LayoutSelection& one : selected) {
    ControllerInfo* c = nullptr;
    int opened = OpenForLayout(handle, one.Number, true, &c);
    if (opened != 0) {
      errors.push_back("controller " + std::to_string(one.Number) +
                       (opened == kPlanAbsent ? " not found" : " could not be set up"));
      status = Worse(status, opened);
      continue;
    }
    plans.push_back(PlanController(c, *one.Entry));
    ReleaseController(c);
    const ControllerPlan& plan = plans.back();
    if (!json) std::fputs(PlanText(plan).c_str(), stdout);
    for (const std::string& r : plan.Refusals) {
      std::fprintf(stderr, "volkit: controller %u: %s!\n", static_cast<unsigned>(one.Number),
                   r.c_str());
    }
    status = Worse(status, PlanStatus(plan));
  }
  return finish(status);
}

}  // namespace

int ReadLayoutArgument(const char* path, LayoutDocument* document, std::string* error) {
  std::string why;
  if (ReadLayoutFile(path, document, &why)) return 1;
  *error = std::string("layout ") + path + ": " + why;
  std::fprintf(stderr, "volkit: %s!\n", error->c_str());
  return 0;
}

int SelectLayoutControllers(const LayoutDocument& document, bool all, uint32_t number,
                            std::vector<LayoutSelection>* selected) {
  selected->clear();
  for (const LayoutController& entry : document.Controllers) {
    if (all || entry.Controller == number) selected->push_back({entry.Controller, &entry});
  }
  std::sort(selected->begin(), selected->end(),
            [](const LayoutSelection& a, const LayoutSelection& b) { return a.Number < b.Number; });
  if (all || !selected->empty()) return 1;
  std::fprintf(stderr, "volkit: the layout has no entry for controller %u!\n",
               static_cast<unsigned>(number));
  return 0;
}

int OpenForLayout(int handle, uint32_t number, bool read_only, ControllerInfo** controller) {
  int found = OpenControllerOn(handle, number, controller);
  if (found != kAdapterFound) {
    std::fprintf(stderr, "volkit: controller %u not found!\n", static_cast<unsigned>(number));
    return kPlanAbsent;
  }
  (*controller)->BusType = BusTypeOf((*controller)->Adapter.DeviceIdLow);
  (*controller)->ReadOnly = read_only;
  if (VxtSetupIoc(*controller) != 1) {
    std::fprintf(stderr, "volkit: controller %u could not be set up!\n",
                 static_cast<unsigned>(number));
    ReleaseController(*controller);
    return kPlanInvalid;
  }
  return 0;
}

ControllerPlan PlanController(ControllerInfo* c, const LayoutController& entry) {
  ControllerSnapshot s = ReadControllerState(c);
  ControllerPlan plan;
  plan.Controller = entry.Controller;
  if (!s.Complete) {
    std::string what;
    for (const std::string& p : s.Problems) AppendJoined(&what, ", ", p);
    plan.Refusals.push_back("the controller could not be read completely (" + what + ")");
    return plan;
  }
  plan = BuildPlan(s, entry);
  if (!plan.Refusals.empty() || plan.Actions.empty()) return plan;
  // Limits are read only when there is something to measure, so that a plan
  // in sync asks no more than the snapshot.
  const bool read_only = c->ReadOnly;
  c->ReadOnly = true;
  PlanLimits limits;
  if (ReadPlanLimits(c, &limits) == 1) {
    CheckPlanLimits(s, limits, &plan);
  } else {
    plan.Refusals.emplace_back("the controller's limits could not be read");
  }
  c->ReadOnly = read_only;
  return plan;
}

int RunLayoutVerb(int argc, char** argv) {
  const bool layout = Is(argv[2], "layout");
  const bool plan = Is(argv[2], "plan");
  const bool apply = Is(argv[2], "apply");
  if (!layout && !plan && !apply) return -1;
  const bool all = Is(argv[1], "all");
  unsigned long number = 0;
  if (!all && (!ParseWholeUnsigned(argv[1], &number) || number > kMaxControllerArgument)) {
    std::fprintf(stderr, "volkit: bad controller number \"%s\"!\n", argv[1]);
    return 1;
  }
  const uint32_t n = static_cast<uint32_t>(number);
  if (layout) return RunLayout(argc, all, n);
  if (plan) return RunPlan(argc, argv, all, n);
  return RunApply(argc, argv, all, n);
}
