// The layout verbs: `volkit <controller #>|all layout`, `plan FILE [json]`
// and `apply FILE [allowdestroy] [noprompt]`.  Like the machine-readable
// verbs they print no banner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/layout_document.h"
#include "layout/plan.h"
#include "vxt/vxt.h"

// The exit statuses of `plan` (and of `apply` before it changes anything).
inline constexpr int kPlanInSync = 0;
inline constexpr int kPlanInvalid = 1;
inline constexpr int kPlanAbsent = 2;
inline constexpr int kPlanPending = 4;

// The run of a layout verb when argv[2] names one; -1 when it names none.
int RunLayoutVerb(int argc, char** argv);

// A controller the layout names, as the command line selects it.
struct LayoutSelection {
  uint32_t Number = 0;
  const LayoutController* Entry = nullptr;
};

// The controllers to plan: the numbered one (its entry, or a refusal when
// the layout has none), or with `all` every one the layout names.  1 with the
// list; 0 after the message.
int SelectLayoutControllers(const LayoutDocument& document, bool all, uint32_t number,
                            std::vector<LayoutSelection>* selected);

// Reads the controller's snapshot read-only and plans it: the actions, the
// drift, and the refusals, the limits included.
ControllerPlan PlanController(ControllerInfo* controller, const LayoutController& entry);

// `volkit ... apply FILE ...`; the exit status.
int RunApply(int argc, char** argv, bool all, uint32_t number);

// Opens controller `number` on the open node and sets it up, read-only or
// for changes.  0 with the context; else the exit status (1 or 2) after the
// message.
int OpenForLayout(int handle, uint32_t number, bool read_only, ControllerInfo** controller);

// Reads the layout file, printing the refusal.  1 with the document.
int ReadLayoutArgument(const char* path, LayoutDocument* document, std::string* error);
