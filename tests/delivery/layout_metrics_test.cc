// `metrics ... layout FILE`: the in-sync gauge per controller, checked by
// the real promtool; and `health layout FILE` with a layout that cannot be
// read.
#include <gtest/gtest.h>

#include <string>

#include "layout/layout_test_support.h"
#include "support/lab.h"
#include "support/prometheus_check.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

TEST(LayoutMonitoring, TheInSyncGaugeAndAnUnreadableLayout) {
  json layout = json::parse(RunVolkit(DefaultLab(), {"all", "layout"}).out);
  // Controller 1 should also have a mirror, which it has not.
  layout["controllers"][1]["volumes"] = Lab(R"([{"type": "im", "disks": [0, 1]}])");
  const std::string file = WriteLayout(layout);
  VolkitRun run = RunVolkit(DefaultLab(), {"all", "metrics", "layout", file});
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectWellFormedExposition(run.out);
  EXPECT_EQ(SeriesValue(run.out, "volkit_layout_in_sync{controller=\"0\"}"), "1");
  EXPECT_EQ(SeriesValue(run.out, "volkit_layout_in_sync{controller=\"1\"}"), "0");
  VolkitRun check = PromtoolCheck(run.out);
  EXPECT_EQ(check.status, 0) << check.out << check.err;

  const std::string out = MakeScratchDir() + "/volkit.prom";
  VolkitRun to_file = RunVolkit(DefaultLab(), {"0", "metrics", out, "layout", file});
  EXPECT_EQ(to_file.status, 0) << to_file.err;

  // Over a controller that is otherwise OK (the verdict's order ranks a
  // warning above unknown).
  VolkitRun missing = RunVolkit(SasLab(2), {"0", "health", "layout", "/nonexistent.json"});
  EXPECT_EQ(missing.status, 3) << missing.out;
  EXPECT_NE(missing.out.find("layout /nonexistent.json: No such file or directory"),
            std::string::npos)
      << missing.out;
  VolkitRun no_gauge = RunVolkit(DefaultLab(), {"0", "metrics", "layout", "/nonexistent.json"});
  EXPECT_EQ(no_gauge.status, 1);
  EXPECT_EQ(no_gauge.out.find("volkit_layout_in_sync"), std::string::npos);
  VolkitRun refused = RunVolkit(DefaultLab(), {"0", "health", "layout"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("too many command arguments"), std::string::npos);
}

}  // namespace
}  // namespace volkit_test
