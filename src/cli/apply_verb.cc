// `apply`: the plan, the refusals that stop it before any change, the
// dialogue, the actions, and the check that the controller now has its
// layout.
#include <cstdio>
#include <string>

#include "cli/layout_verbs.h"
#include "console/command_lock.h"
#include "console/confirm.h"
#include "console/discovery.h"
#include "console/words.h"
#include "layout/apply.h"
#include "layout/plan_text.h"

namespace {

constexpr char kApplyUsage[] =
    "  volkit <controller #> APPLY <file> [allowdestroy] [noprompt]\n"
    "  volkit ALL APPLY <file> [allowdestroy] [noprompt]\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where <file> is a layout document\n"
    "    where allowdestroy lets the plan delete volumes, destroying their data\n"
    "    where noprompt is an optional argument that eliminates\n"
    "      warnings and prompts\n";

struct ApplyOptions {
  bool AllowDestroy = false;
  bool NoPrompt = false;
};

int ParseOptions(int argc, char** argv, ApplyOptions* options) {
  if (argc < 4 || argc > 6) return 0;
  for (int i = 4; i < argc; ++i) {
    std::string word = argv[i];
    LowerCaseWord(word.data());
    if (word == "allowdestroy") {
      options->AllowDestroy = true;
    } else if (word == "noprompt") {
      options->NoPrompt = true;
    } else {
      return 0;
    }
  }
  return 1;
}

std::string Destructive(const ControllerPlan& plan) {
  std::string text;
  for (const PlanAction& a : plan.Actions) {
    if (a.Destructive) AppendJoined(&text, "; ", ActionText(a));
  }
  return text;
}

// Everything after the lock: plan, refusals, dialogue, actions, re-read.
int ApplyLocked(ControllerInfo* c, const LayoutController& entry, const ApplyOptions& options) {
  const unsigned number = entry.Controller;
  ControllerPlan plan = PlanController(c, entry);
  std::fputs(PlanText(plan).c_str(), stdout);
  if (!plan.Refusals.empty()) {
    for (const std::string& r : plan.Refusals)
      std::fprintf(stderr, "volkit: controller %u: %s!\n", number, r.c_str());
    std::fprintf(stderr, "volkit: controller %u: nothing was changed.\n", number);
    return 1;
  }
  if (plan.Actions.empty()) {
    std::printf("controller %u: nothing to do.\n", number);
    return 0;
  }
  std::string destroys = Destructive(plan);
  if (!destroys.empty() && !options.AllowDestroy) {
    std::fprintf(stderr,
                 "volkit: controller %u: the plan destroys data (%s); give allowdestroy to "
                 "allow it! Nothing was changed.\n",
                 number, destroys.c_str());
    return 1;
  }
  if (!options.NoPrompt) {
    const std::string intro = "You are about to change the IR configuration of controller " +
                              std::to_string(number) + " as planned above.\n\n";
    if (!ConfirmOperation(intro.c_str(), kDataLossWarning, kLastChanceWarning)) return 1;
  }
  if (!CarryOutPlan(c, plan)) return 1;
  ControllerPlan after = PlanController(c, entry);
  if (InSync(after)) {
    std::printf("controller %u: in sync with the layout.\n", number);
    return 0;
  }
  std::string left = after.Actions.empty() ? after.Refusals.front() : ActionText(after.Actions[0]);
  std::fprintf(stderr, "volkit: controller %u still differs from its layout: %s!\n", number,
               left.c_str());
  return 1;
}

}  // namespace

int RunApply(int argc, char** argv, bool all, uint32_t number) {
  ApplyOptions options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "volkit: Incorrect command line parameters for 'APPLY' command!\n%s",
                 kApplyUsage);
    return 1;
  }
  LayoutDocument document;
  std::string error;
  if (!ReadLayoutArgument(argv[3], &document, &error)) return 1;
  std::vector<LayoutSelection> selected;
  if (!SelectLayoutControllers(document, all, number, &selected)) return 1;
  int handle = -1;
  if (!OpenDriver(&handle)) return 2;
  int status = 0;
  for (const LayoutSelection& one : selected) {
    ControllerInfo* c = nullptr;
    int opened = OpenForLayout(handle, one.Number, false, &c);
    if (opened != 0) {
      status = opened;
      continue;
    }
    // Held from before the plan is read until the process ends, so that the
    // plan shown is the one carried out.
    int result = TakeConfigurationLock(c) ? ApplyLocked(c, *one.Entry, options) : 1;
    ReleaseController(c);
    if (result != 0 && status == 0) status = result;
  }
  return status;
}
