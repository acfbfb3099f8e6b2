#include "support/sweep_checks.h"

#include <gtest/gtest.h>

#include <sstream>

namespace volkit_test {
namespace {

std::string SanitizerReport(const std::string& err) {
  for (const char* mark :
       {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"}) {
    if (err.find(mark) != std::string::npos) return mark;
  }
  return "";
}

// The first line of `got` that is not the next line of `want` still unmatched
// (empty when `got` is `want` with whole lines left out); in a report a line
// may also differ in its value.
std::string NewLine(const std::string& got, const std::string& want, bool report) {
  std::istringstream a(got), b(want);
  std::string x, y;
  auto label = [](const std::string& line) { return line.substr(0, line.find(" : ")); };
  for (int n = 1; std::getline(a, x); ++n) {
    bool found = false;
    while (!found && std::getline(b, y)) {
      found = x == y || (report && y.find(" : ") != std::string::npos && label(x) == label(y));
    }
    if (!found) return "line " + std::to_string(n) + ": \"" + x + "\"";
  }
  return "";
}

// The request layer takes an untouched adapter record or set-up reply as it
// stands (no fill pattern there), so the report shows what it holds.
std::string SpecifiedOutput(const std::string& fault) {
  if (fault.find("no reply") == std::string::npos) return "";
  for (const char* request :
       {"\"request\":\"adapter_info\"", "\"function\":3,", "\"function\":5,"}) {
    if (fault.find(request) != std::string::npos) return "zeroed record taken as it is";
  }
  return "";
}

}  // namespace

void CheckRun(const SweepScenario& s, const VolkitRun& clean, const json& before, const json& after,
              const std::string& fault, const VolkitRun& run) {
  SCOPED_TRACE(fault + "\nstatus " + std::to_string(run.status) + ", standard error:\n" + run.err);
  EXPECT_TRUE(run.status >= 0 && run.status < 128) << "did not end by itself";
  EXPECT_EQ(SanitizerReport(run.err), "");
  if (s.excused && !s.excused(fault, run).empty()) return;

  const json now = Configuration(run.state);
  std::string which = now == after ? "new" : now == before ? "old" : "";
  if (which.empty() && s.partial) which = s.partial(run, before, after);
  EXPECT_NE(which, "") << "configuration neither old nor new:\n"
                       << now.dump() << "\nold " << before.dump() << "\nnew " << after.dump();

  const bool failed =
      run.status != 0 || (s.failure_exits_zero && run.err.find("volkit: ") != std::string::npos);
  if (failed && s.failure_keeps_old) {
    EXPECT_EQ(which, "old") << "failed with the " << which << " configuration";
  }
  if (!failed && s.changing) {
    EXPECT_EQ(which, "new") << "exit 0 with the " << which << " configuration";
  }
  if (!SpecifiedOutput(fault).empty()) return;
  for (const std::string& text : s.success_texts) {
    const bool printed = run.out.find(text) != std::string::npos;
    if (failed) {
      EXPECT_FALSE(printed) << "success text after a failure: " << text;
    } else {
      EXPECT_TRUE(printed) << "exit 0 without the success text: " << text;
    }
  }
  if (!failed) {
    EXPECT_EQ(NewLine(run.out, clean.out, s.report), "") << "exit 0 with a line of no clean run";
  }
}

}  // namespace volkit_test
