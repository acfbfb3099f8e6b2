// The launcher: a state carried over between runs and reset, the command's
// exit status, labs it refuses.
#include <gtest/gtest.h>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace {

using volkit_test::json;
using volkit_test::Lab;
using volkit_test::RunLauncher;
using volkit_test::RunVxtsim;
using volkit_test::VolkitRun;

TEST(Launcher, StateCarriesOverAndResetStartsAfresh) {
  VolkitRun first =
      RunVxtsim(Lab(R"({"node": {"exists": true}})"), {"--", VXTSIM_PROBE_BIN, "unlink"});
  ASSERT_EQ(first.out, "unlink 0 ok\n");
  std::string lab = first.dir + "/lab.json", state = first.dir + "/state.json";
  VolkitRun second = RunLauncher({"--lab", lab, "--state", state, "--", VXTSIM_PROBE_BIN, "open"});
  EXPECT_EQ(second.out, "open -1 No such file or directory\n");

  VolkitRun show = RunLauncher({"--state", state, "show"});
  EXPECT_EQ(show.status, 0);
  EXPECT_NE(show.out.find("node /dev/vxtctl: absent"), std::string::npos) << show.out;
  VolkitRun reset = RunLauncher({"--lab", lab, "--state", state, "reset"});
  EXPECT_EQ(reset.status, 0) << reset.err;
  VolkitRun third = RunLauncher({"--state", state, "--", VXTSIM_PROBE_BIN, "open"});
  EXPECT_EQ(third.out, "open 3 ok\n");
}

TEST(Launcher, ExitStatusIsTheCommandsAndBadLabsAreRefused) {
  EXPECT_EQ(RunVxtsim(json::object(), {"--", "/bin/sh", "-c", "exit 7"}).status, 7);
  VolkitRun env =
      RunVxtsim(json::object(), {"--", "/bin/sh", "-c", "echo \"$LD_PRELOAD|$ASAN_OPTIONS\""});
  EXPECT_NE(env.out.find("libvxtsim_preload.so|"), std::string::npos) << env.out;
  EXPECT_NE(env.out.find("verify_asan_link_order=0"), std::string::npos) << env.out;
  VolkitRun bad = RunVxtsim(Lab(R"({"controllers": [{"number": 0, "pci": {"bus": "five"}}]})"),
                            {"--", "/bin/true"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("controller 0"), std::string::npos) << bad.err;
  EXPECT_EQ(RunLauncher({"--bogus"}).status, 2);
}

}  // namespace
