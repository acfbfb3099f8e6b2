// Record locks on the simulated node: the interposer keeps them in a lock
// file beside the state, so that processes sharing a state exclude each other
// as they would on the real node.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/background_run.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

VolkitRun ProbeBeside(const VolkitRun& base, const std::vector<std::string>& words) {
  std::vector<std::string> args = {
      "--lab", base.dir + "/lab.json", "--state", base.dir + "/state.json", "--", VXTSIM_PROBE_BIN};
  args.insert(args.end(), words.begin(), words.end());
  return RunLauncher(args);
}

TEST(NodeLocks, ProcessesSharingAStateExcludeEachOther) {
  VolkitRun base = RunVxtsim(SasLab(), {"reset"});
  ASSERT_EQ(base.status, 0) << base.err;
  // Readers that only unlock leave no lock file behind.
  EXPECT_EQ(ProbeBeside(base, {"open", "unlock:7"}).out, "open 3 ok\nunlock:7 0 ok\n");
  EXPECT_FALSE(std::filesystem::exists(base.dir + "/state.json.lock"));

  BackgroundVolkit holder = StartUnderVxtsim(
      base.dir, "holder", {VXTSIM_PROBE_BIN, "open", "lock:7", "wait", "close", "wait"});
  ASSERT_TRUE(WaitForOutput(holder, "lock:7 0 ok\n"));
  EXPECT_TRUE(std::filesystem::exists(base.dir + "/state.json.lock"));

  VolkitRun other = ProbeBeside(base, {"open", "holder:7", "lock:7", "lock:8", "ofdlock:9"});
  EXPECT_EQ(other.out, "open 3 ok\nheld by " + std::to_string(holder.pid) +
                           "\nholder:7 0 ok\nlock:7 -1 Resource temporarily unavailable\n"
                           "lock:8 0 ok\nofdlock:9 -1 Invalid argument\n");
  // The second process has ended, and its lock with it.
  EXPECT_EQ(ProbeBeside(base, {"open", "holder:8"}).out, "open 3 ok\nfree\nholder:8 0 ok\n");

  // Closing any descriptor of the node drops the process's locks.
  ASSERT_EQ(write(holder.stdin_fd, "\n", 1), 1);
  ASSERT_TRUE(WaitForOutput(holder, "close 0 ok\n"));
  EXPECT_EQ(ProbeBeside(base, {"open", "lock:7"}).out, "open 3 ok\nlock:7 0 ok\n");
  EXPECT_EQ(FinishVolkit(&holder).status, 0);
}

}  // namespace
}  // namespace volkit_test
