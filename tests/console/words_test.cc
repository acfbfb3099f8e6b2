#include "console/words.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Words, NumbersTakeTheirBaseFromTheirPrefix) {
  unsigned long v = 0;
  ASSERT_EQ(ParseWholeUnsigned("0x1F", &v), 1);
  EXPECT_EQ(v, 31u);
  ASSERT_EQ(ParseWholeUnsigned("010", &v), 1);
  EXPECT_EQ(v, 8u);
  ASSERT_EQ(ParseWholeUnsigned(" 7", &v), 1);
  EXPECT_EQ(v, 7u);
}

TEST(Words, RefusesLeftoversEmptyWordsAndOverflow) {
  unsigned long v = 99;
  EXPECT_EQ(ParseWholeUnsigned("5x", &v), 0);
  EXPECT_EQ(ParseWholeUnsigned("", &v), 0);
  EXPECT_EQ(ParseWholeUnsigned("0x", &v), 0);
  EXPECT_EQ(ParseWholeUnsigned("99999999999999999999999", &v), 0);
  EXPECT_EQ(v, 99u);
}

TEST(Words, ControllerNumbersUpTo255AndOneMessageForTheRest) {
  uint32_t n = 7;
  testing::internal::CaptureStderr();
  ASSERT_EQ(ParseControllerNumber("0xff", &n), 1);
  EXPECT_EQ(n, 255u);
  EXPECT_EQ(ParseControllerNumber("256", &n), 0);
  EXPECT_EQ(ParseControllerNumber("1x", &n), 0);
  EXPECT_EQ(n, 255u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "volkit: bad controller number \"256\"!\nvolkit: bad controller number \"1x\"!\n");
}

TEST(Words, LowerCasesOnlyAsciiLetters) {
  char word[] = "DiSpLaY-\xC4Z";
  LowerCaseWord(word);
  EXPECT_STREQ(word, "display-\xC4z");
}

}  // namespace
