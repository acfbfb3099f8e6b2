// DISPLAY's command line, its log file and the order and ending of its
// sections, on a controller with nothing attached.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_expect.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kReadLine[] = "Read configuration has been initiated for controller 0\n";

// Everything the empty SAS lab's report holds after the "Read
// configuration" line.
const std::string kEmptySasReport = SectionHeader("Controller information") +
    "  Controller type                         : Heron\n"
    "  BIOS version                            : 6.24.00.00\n"
    "  Firmware version                        : 1.27.02.00\n"
    "  Channel description                     : 1 Serial Attached SCSI\n"
    "  Initiator ID                            : 64\n"
    "  Maximum physical devices                : 63\n"
    "  Concurrent commands supported           : 511\n"
    "  Slot                                    : Unknown\n"
    "  Bus                                     : 2\n"
    "  Device                                  : 0\n"
    "  Function                                : 0\n"
    "  RAID Support                            : Yes\n" +
    SectionHeader("IR Volume information") + SectionHeader("Physical device information") +
    "Initiator at ID #64\n" + SectionHeader("Enclosure information") +
    "\nEnclosure Not Present\n" + kRule;

TEST(DisplayCommand, ScreenReportOfAnEmptyController) {
  VolkitRun run = RunVolkit(EmptySasLab(), {"0", "DiSpLaY"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kBanner + std::string(kReadLine) + kEmptySasReport);
}

TEST(DisplayCommand, SixWordsPrintUsageAndNothingElse) {
  VolkitRun run = RunVolkit(EmptySasLab(), {"0", "display", "a", "b", "c"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err,
            "  volkit <controller #> DISPLAY [filename]\n"
            "    where <controller #> is:\n"
            "      Number between 0 and 255\n"
            "    and optional argument [filename] is any valid filename\n"
            "      to store output of DISPLAY cmd. Eg.dispData.txt\n\n");
}

TEST(DisplayCommand, FileGetsBannerAndReportButNotTheReadLine) {
  std::string dir = TempDir();
  VolkitRun run = RunVolkit(EmptySasLab(), {"0", "display", dir + "/out.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, kBanner + std::string(kReadLine) + kEmptySasReport);
  EXPECT_EQ(ReadFile(dir + "/out.txt"), kBanner + kEmptySasReport);
}

TEST(DisplayCommand, ControllerArgumentIsEchoedAsTyped) {
  VolkitRun run = RunVolkit(EmptySasLab(), {"0x0", "display"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(0, run.out.find(kRule)),
            kBanner + std::string("Read configuration has been initiated for controller 0x0\n"));
}

// The option word is matched whole and in one of two spellings only; with
// five words the fifth decides, and the third word is the file or nothing.
// Each case runs in a directory of its own, so file names stay bare words.
TEST(DisplayCommand, OptionWordAndFileNames) {
  struct Case {
    const char* Words;      // after "0 display"
    const char* FilesMade;  // blank-separated
  };
  const Case cases[] = {
      {"KVRFRU", ""},
      {"kvrfru", ""},
      {"KvrFru", "KvrFru"},
      {"out.txt KVRFRU", ""},
      {"KVRFRU out.txt", "KVRFRU"},
      {"out.txt other.txt", "out.txt"},
  };
  for (const Case& c : cases) {
    std::string dir = TempDir();
    std::string command =
        "cd '" + dir + "' && exec '" + VolkitPath() + "' 0 display " + c.Words;
    VolkitRun run = RunVxtsim(EmptySasLab(), {"--", "/bin/sh", "-c", command});
    EXPECT_EQ(run.status, 0) << c.Words;
    EXPECT_EQ(run.out, kBanner + std::string(kReadLine) + kEmptySasReport) << c.Words;
    std::string made;
    for (const char* name : {"KVRFRU", "KvrFru", "kvrfru", "other.txt", "out.txt"}) {
      if (!ReadFile(dir + "/" + name).empty()) made += made.empty() ? name : std::string(" ") + name;
    }
    EXPECT_EQ(made, c.FilesMade) << c.Words;
  }
}

TEST(DisplayCommand, UnopenableFileWarnsAndReportsOnScreen) {
  VolkitRun run = RunVolkit(EmptySasLab(), {"0", "display", "/nonexistent-dir/out.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, kBanner +
                         std::string("WARNING : Unable to open the specified file for logging\n") +
                         kReadLine + kEmptySasReport);
}

TEST(DisplayCommand, FileWriteErrorIsReportedOnceAndTheScreenReportGoesOn) {
  VolkitRun run = RunVolkit(EmptySasLab(), {"0", "display", "/dev/full"});
  // The screen report is whole, but the copy asked for was lost.
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner + std::string(kReadLine) + kEmptySasReport);
  EXPECT_EQ(run.err, "Error when writing in file: No space left on device\n");
}

TEST(DisplayCommand, StoppedReportHasNoClosingRule) {
  json lab = EmptySasLab();
  lab["controllers"][0]["pages"]["IocPg3"]["absent"] = true;
  std::string dir = TempDir();
  VolkitRun run = RunVolkit(lab, {"0", "display", dir + "/out.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  std::string expected =
      Slice(kEmptySasReport, "----", "IR Volume information") + "IR Volume information\n" + kRule;
  EXPECT_EQ(run.out, kBanner + std::string(kReadLine) + expected);
  EXPECT_EQ(ReadFile(dir + "/out.txt"), kBanner + expected);
}

}  // namespace
}  // namespace volkit_test
