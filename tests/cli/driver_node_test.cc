// The control node: used when present, created when missing and permitted,
// removed again when nothing answers on it.
#include <gtest/gtest.h>

#include <string>

#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kDriverMessages[] =
    "volkit: couldn't open /dev/vxtctl!\n"
    "volkit: make sure the vxtctl driver is loaded!\n";

json NodeLab(const std::string& node) {
  return Lab(R"({"node": )" + node + R"(, "controllers": [{"number": 0}]})");
}

std::vector<json> Calls(const VolkitRun& run, const std::string& call) {
  std::vector<json> found;
  for (const json& line : run.log) {
    if (line.value("call", "") == call) found.push_back(line);
  }
  return found;
}

TEST(DriverNode, MissingNodeIsCreatedUsedAndKept) {
  VolkitRun run = RunVolkit(NodeLab(R"({"exists": false})"), {"list"});
  EXPECT_EQ(run.status, 0);
  std::vector<json> mknods = Calls(run, "mknod");
  ASSERT_EQ(mknods.size(), 1u);
  EXPECT_EQ(mknods[0]["path"], "/dev/vxtctl");
  EXPECT_EQ(mknods[0]["mode"], 020600);  // character device, owner read-write
  EXPECT_EQ(mknods[0]["major"], 10);
  EXPECT_EQ(mknods[0]["minor"], 220);
  EXPECT_TRUE(run.state["node"]["exists"].get<bool>());
  EXPECT_TRUE(Calls(run, "unlink").empty());

  VolkitRun again = RunVolkitAgain(run, {"list"});
  EXPECT_EQ(again.status, 0);
  EXPECT_TRUE(Calls(again, "mknod").empty());
}

TEST(DriverNode, NoPrivilegeToCreateTheNode) {
  json lab = NodeLab(R"({"exists": false, "creatable": false})");
  VolkitRun list = RunVolkit(lab, {"list"});
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.err, kDriverMessages);
  VolkitRun display = RunVolkit(lab, {"0", "display"});
  EXPECT_EQ(display.status, 2);
  EXPECT_EQ(display.err, kDriverMessages);
  EXPECT_FALSE(display.state["node"]["exists"].get<bool>());
}

TEST(DriverNode, NodeThatNobodyAnswersOnIsRemovedAgain) {
  VolkitRun run =
      RunVolkit(NodeLab(R"({"exists": false, "driver_loaded": false})"), {"0", "display"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, kDriverMessages);
  EXPECT_EQ(Calls(run, "mknod").size(), 1u);
  ASSERT_EQ(Calls(run, "unlink").size(), 1u);
  EXPECT_EQ(Calls(run, "unlink")[0]["path"], "/dev/vxtctl");
  EXPECT_FALSE(run.state["node"]["exists"].get<bool>());
}

TEST(DriverNode, PresentNodeWithoutDriverIsLeftAlone) {
  VolkitRun run = RunVolkit(NodeLab(R"({"driver_loaded": false})"), {"list"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, kDriverMessages);
  EXPECT_TRUE(Calls(run, "mknod").empty());
  EXPECT_TRUE(Calls(run, "unlink").empty());
}

}  // namespace
}  // namespace volkit_test
