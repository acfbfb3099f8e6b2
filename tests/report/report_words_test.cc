// Words and lines that DISPLAY and STATUS derive from firmware values.
#include "report/report_words.h"

#include <gtest/gtest.h>

namespace {

TEST(BiosVersionLine, HexadecimalBelowSixTwelveDecimalFromThere) {
  EXPECT_EQ(BiosVersionLine(0x05221200),
            "  BIOS version                            : 5.22.12.00\n");
  EXPECT_EQ(BiosVersionLine(0x060B0000),
            "  BIOS version                            : 6.0b.00.00\n");
  EXPECT_EQ(BiosVersionLine(0x060C0000),
            "  BIOS version                            : 6.12.00.00\n");
  EXPECT_EQ(BiosVersionLine(0x07000100),
            "  BIOS version                            : 7.00.01.00\n");
}

TEST(VolumeWords, StateAndLevel) {
  EXPECT_STREQ(VolumeStateText(0, 0x04), "Okay (OKY)\n");
  EXPECT_STREQ(VolumeStateText(1, 0x05), "Resyncing (RSY)\n");
  EXPECT_STREQ(VolumeStateText(1, 0x01), "Degraded (DGD)\n");
  EXPECT_STREQ(VolumeStateText(2, 0), "Failed (FLD)\n");
  EXPECT_STREQ(VolumeStateText(3, 0), "Missing (MIS)\n");
  EXPECT_STREQ(VolumeStateText(4, 0), "Unknown\n");
  EXPECT_STREQ(RaidLevelText(0), "0\n");
  EXPECT_STREQ(RaidLevelText(1), "1E\n");
  EXPECT_STREQ(RaidLevelText(2), "1\n");
  EXPECT_STREQ(RaidLevelText(3), "unknown\n");
  EXPECT_STREQ(StatusStateWord(1), "Degraded");
  EXPECT_STREQ(StatusStateWord(3), "Unknown");
}

TEST(ProgressLines, PercentagesAndWideCounts) {
  EXPECT_EQ(ProgressLines(1000, 250),
            "  Volume size (in sectors)                : 1000\n"
            "  Number of remaining sectors             : 250\n"
            "  Percentage complete                     : 75.00%\n");
  EXPECT_EQ(ProgressLines(1000, 1000),
            "  Volume size (in sectors)                : 1000\n"
            "  Number of remaining sectors             : 1000\n"
            "  Percentage complete                     : 0.00%\n");
  EXPECT_EQ(ProgressLines(1000, 0),
            "  Volume size (in sectors)                : 1000\n"
            "  Number of remaining sectors             : 0\n"
            "  Percentage complete                     : 100.00%\n");
  EXPECT_EQ(ProgressLines(0x100000000ull, 0x80000000ull),
            "  Volume size (in sectors)                : 4294967296\n"
            "  Number of remaining sectors             : 2147483648\n"
            "  Percentage complete                     : 50.00%\n");
}

}  // namespace
