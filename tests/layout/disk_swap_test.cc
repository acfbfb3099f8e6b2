// The hot spare restored after a disk swap: a mirror member fails, the spare
// takes over and resynchronises, the failed disk is replaced, and the layout
// makes the new disk the hot spare.  And an apply at its prompt holds the
// controller against a second one.
#include <gtest/gtest.h>

#include <string>

#include "layout/layout_test_support.h"
#include "support/background_run.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// Mirror 0 on targets 0 and 1, target 2 its hot spare.
json SparedMirrorLab() {
  json lab = SasLab(3);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

VolkitRun Launcher(const VolkitRun& on, const std::string& verb, const std::string& address) {
  return RunLauncher({"--state", on.dir + "/state.json", verb, address});
}

TEST(DiskSwap, TheReplacedDiskBecomesTheHotSpare) {
  VolkitRun layout = RunVolkit(SparedMirrorLab(), {"0", "layout"});
  ASSERT_EQ(layout.status, 0) << layout.err;
  const std::string file = WriteLayout(json::parse(layout.out));

  ASSERT_EQ(Launcher(layout, "fail", "0:1").status, 0);
  VolkitRun status = RunVolkitAgain(layout, {"0", "status"});
  for (int i = 0; i < 10 && Has(status.out, "Synchronize"); ++i) {
    status = RunVolkitAgain(status, {"0", "status"});
  }
  // The failed disk no longer answers: nothing can restore the spare yet.
  VolkitRun before = RunVolkitAgain(status, {"0", "plan", file});
  EXPECT_EQ(before.status, 1) << before.out;
  EXPECT_TRUE(Has(before.err,
                  "controllers[0].hot_spares[0]: hot spare 1:2 is now a member of volume 0 and no "
                  "disk sits in 1:1 to take its place!"))
      << before.err;
  EXPECT_TRUE(Has(before.out, "drift: volume 0 (im): members 1:0 1:2, the layout lists 1:0 1:1"))
      << before.out;
  EXPECT_NE(RunVolkitAgain(status, {"0", "health", "layout", file}).status, 0);

  VolkitRun replaced = Launcher(layout, "replace", "0:1");
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(replaced.out,
            "vxtsim: the disk at target 1 of controller 0 was replaced by a new disk, serial "
            "SN1001R\n");
  VolkitRun plan = RunVolkitAgain(status, {"0", "plan", file});
  EXPECT_EQ(plan.status, 4) << plan.err;
  EXPECT_TRUE(Has(plan.out,
                  "  + add hot spare 1:1 (target 1, serial SN1001R), in place of 1:2, now a "
                  "member of volume 0\n"))
      << plan.out;
  VolkitRun health = RunVolkitAgain(plan, {"0", "health", "layout", file});
  EXPECT_EQ(health.status, 1) << health.out;
  EXPECT_TRUE(Has(health.out, "controller 0 differs from its layout: add hot spare 1:1"))
      << health.out;

  VolkitRun apply = RunVolkitAgain(plan, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
  EXPECT_EQ(ChangeRequests(apply), 1u);
  VolkitRun ok = RunVolkitAgain(apply, {"0", "health", "layout", file});
  EXPECT_EQ(ok.status, 0) << ok.out;
  VolkitRun again = RunVolkitAgain(ok, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(again.status, 0) << again.out;
  EXPECT_EQ(ChangeRequests(again), 0u);
}

TEST(DiskSwap, ReplaceRefusesAVolumeMember) {
  VolkitRun run = RunVxtsim(SparedMirrorLab(), {"replace", "0:1"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Has(run.err, "is a volume member; fail it first")) << run.err;
  EXPECT_EQ(RunVxtsim(SparedMirrorLab(), {"replace", "0:7"}).status, 2);
  EXPECT_EQ(RunVxtsim(SparedMirrorLab(), {"replace", "x"}).status, 2);
}

TEST(LayoutLock, AnApplyAtItsPromptRefusesASecondApply) {
  VolkitRun base = RunVxtsim(SasLab(4), {"reset"});
  ASSERT_EQ(base.status, 0) << base.err;
  const std::string file = WriteLayout(OneController(
      Lab(R"({"controller": 0, "volumes": [{"type": "im", "disks": ["1:0", "1:1"]}]})")));
  BackgroundVolkit first = StartVolkit(base.dir, "first", {"0", "apply", file});
  ASSERT_TRUE(WaitForOutput(first, "Are you sure you want to proceed (YES/NO)? "));
  VolkitRun second = RunVolkitAgain(base, {"0", "apply", file, "noprompt"});
  EXPECT_EQ(second.status, 1);
  EXPECT_TRUE(Has(second.err, "controller 0 is being changed by another volkit")) << second.err;
  EXPECT_EQ(ChangeRequests(second), 0u);
  VolkitRun done = FinishVolkit(&first, "YES\nNO\n");
  EXPECT_EQ(done.status, 0) << done.err;
}

}  // namespace
}  // namespace volkit_test
