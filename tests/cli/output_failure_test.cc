// Output that could not be written: a report lost on a full disk must not
// leave an exit status of success behind.
#include <gtest/gtest.h>

#include <string>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

VolkitRun RunToFullDevice(const json& lab, const std::string& words) {
  return RunVxtsim(lab,
                   {"--", "/bin/sh", "-c", "exec '" + VolkitPath() + "' " + words + " >/dev/full"});
}

TEST(OutputFailure, LostReportTurnsSuccessIntoFailure) {
  for (const char* words : {"0 status", "0 display", "list"}) {
    VolkitRun run = RunToFullDevice(DefaultLab(), words);
    EXPECT_EQ(run.status, 1) << words;
    EXPECT_EQ(run.err, "volkit: cannot write standard output: No space left on device\n") << words;
  }
}

TEST(OutputFailure, BannerOnlyOutputIsChecked) {
  // An empty controller: DELETE prints nothing after the banner and succeeds.
  VolkitRun run = RunToFullDevice(SasLab(0), "0 delete noprompt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: cannot write standard output: No space left on device\n");
}

TEST(OutputFailure, FailingCommandKeepsItsStatus) {
  VolkitRun run = RunToFullDevice(SasLab(0), "7 status");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "volkit: controller not found!\n"
            "volkit: cannot write standard output: No space left on device\n");
}

TEST(OutputFailure, WritableOutputIsUntouched) {
  VolkitRun run = RunVxtsim(
      DefaultLab(), {"--", "/bin/sh", "-c", "exec '" + VolkitPath() + "' 0 status >/dev/null"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace volkit_test
