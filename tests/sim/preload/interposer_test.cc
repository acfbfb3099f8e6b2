// The interposer, driven through a stand-in caller: the C library's calls on
// the node reach the model, every other path stays real.
#include <gtest/gtest.h>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace {

using volkit_test::json;
using volkit_test::Lab;
using volkit_test::RunVxtsim;
using volkit_test::VolkitRun;

VolkitRun Probe(const json& lab, const std::vector<std::string>& words) {
  std::vector<std::string> args = {"--", VXTSIM_PROBE_BIN};
  args.insert(args.end(), words.begin(), words.end());
  return RunVxtsim(lab, args);
}

TEST(Interposer, EveryOpenEntryReachesTheNodeAndOtherPathsStayReal) {
  VolkitRun run =
      Probe(volkit_test::SasLab(), {"open", "close", "open64", "close", "openat", "close", "open2",
                                    "passthrough", "adapter:0", "adapter:1", "null", "close"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "open 3 ok\nclose 0 ok\nopen64 3 ok\nclose 0 ok\nopenat 3 ok\nclose 0 ok\n"
            "open2 3 ok\nfacts function 03 length 20\npassthrough 0 ok\nadapter:0 0 ok\n"
            "adapter:1 -1 No such device\nnull 4 ok\nclose 0 ok\n");
  std::vector<std::string> calls;
  for (const json& line : run.log) calls.push_back(line["call"]);
  EXPECT_EQ(calls, (std::vector<std::string>{"open", "close", "open64", "close", "openat", "close",
                                             "__open_2", "ioctl", "ioctl", "ioctl", "close"}));
  EXPECT_EQ(run.log[7]["frame"], "00000003");
  EXPECT_EQ(run.log[9]["error"], "ENODEV");
}

TEST(Interposer, NodeCreatedByTheCallerPersistsInTheState) {
  VolkitRun run = Probe(Lab(R"({"node": {"exists": false}})"),
                        {"open", "mknod", "mknodat", "open", "unlinkat", "open", "mknod"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "open -1 No such file or directory\nmknod 0 ok\nmknodat -1 File exists\nopen 3 ok\n"
            "unlinkat 0 ok\nopen -1 No such file or directory\nmknod 0 ok\n");
  EXPECT_EQ(run.log[1]["mode"], 020600);
  EXPECT_EQ(run.log[1]["major"], 10);
  EXPECT_EQ(run.log[1]["minor"], 220);
  EXPECT_EQ(run.state["node"]["exists"], true);
  EXPECT_EQ(run.state["node"]["mode"], 020600);
}

TEST(Interposer, NodeRulesOfTheLab) {
  VolkitRun denied =
      Probe(Lab(R"({"node": {"exists": false, "creatable": false}})"), {"mknod", "unlink"});
  EXPECT_EQ(denied.out, "mknod -1 Operation not permitted\nunlink -1 No such file or directory\n");
  EXPECT_EQ(denied.state["node"]["exists"], false);
  VolkitRun unloaded = Probe(Lab(R"({"node": {"exists": false, "driver_loaded": false}})"),
                             {"mknod", "open", "unlink"});
  EXPECT_EQ(unloaded.out, "mknod 0 ok\nopen -1 No such device or address\nunlink 0 ok\n");
}

}  // namespace
