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

TEST(Words, LowerCasesOnlyAsciiLetters) {
  char word[] = "DiSpLaY-\xC4Z";
  LowerCaseWord(word);
  EXPECT_STREQ(word, "display-\xC4z");
}

}  // namespace
