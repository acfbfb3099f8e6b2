// The reports of the built-in lab, checked whole against reviewed copies in
// golden/: every line format of DISPLAY and STATUS at once.
#include <gtest/gtest.h>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

// The golden copies sit beside this file, in golden/.
std::string Golden(const std::string& name) {
  std::string text = ReadFile(std::string(VOLKIT_GOLDEN_DIR) + "/" + name);
  EXPECT_FALSE(text.empty()) << name;
  return text;
}

TEST(DefaultLabGolden, SasControllerDisplay) {
  VolkitRun run = RunVolkit(DefaultLab(), {"0", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Golden("default_lab_0_display.txt"));
}

TEST(DefaultLabGolden, SasControllerDisplayIntoAFile) {
  std::string dir = TempDir();
  VolkitRun run = RunVolkit(DefaultLab(), {"0", "display", dir + "/out.txt"});
  EXPECT_EQ(run.status, 0);
  std::string screen = Golden("default_lab_0_display.txt");
  EXPECT_EQ(run.out, screen);
  const std::string read_line = "Read configuration has been initiated for controller 0\n";
  ASSERT_NE(screen.find(read_line), std::string::npos);
  EXPECT_EQ(ReadFile(dir + "/out.txt"), screen.erase(screen.find(read_line), read_line.size()));
}

TEST(DefaultLabGolden, ParallelScsiControllerDisplay) {
  VolkitRun run = RunVolkit(DefaultLab(), {"1", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Golden("default_lab_1_display.txt"));
}

TEST(DefaultLabGolden, Status) {
  VolkitRun run = RunVolkit(DefaultLab(), {"0", "status"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Golden("default_lab_0_status.txt"));
}

}  // namespace
}  // namespace volkit_test
