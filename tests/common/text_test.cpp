#include <gtest/gtest.h>

#include "common/text.h"

namespace zorvane {
namespace {

TEST(NumericValue, ReadsLeadingNumberAfterSpaces) {
  EXPECT_EQ(numeric_value("  42abc"), 42.0);
  EXPECT_EQ(numeric_value("3.75"), 3.75);
  EXPECT_EQ(numeric_value("-7"), -7.0);
  EXPECT_EQ(numeric_value(".5"), 0.5);
  EXPECT_EQ(numeric_value("1e3x"), 1000.0);
}

TEST(NumericValue, TextWithoutLeadingNumberIsZero) {
  EXPECT_EQ(numeric_value(""), 0.0);
  EXPECT_EQ(numeric_value("abc"), 0.0);
  EXPECT_EQ(numeric_value("x12"), 0.0);
  EXPECT_EQ(numeric_value("-"), 0.0);
  EXPECT_EQ(numeric_value("."), 0.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(round_half_even(0.5), 0);
  EXPECT_EQ(round_half_even(1.5), 2);
  EXPECT_EQ(round_half_even(2.5), 2);
  EXPECT_EQ(round_half_even(30.5), 30);
  EXPECT_EQ(round_half_even(31.5), 32);
  EXPECT_EQ(round_half_even(-2.5), -2);
  EXPECT_EQ(round_half_even(-3.5), -4);
  EXPECT_EQ(round_half_even(30.1), 30);
  EXPECT_EQ(round_half_even(2.51), 3);
}

TEST(PrintForms, NumbersCarrySignSpaceAndTrailingSpace) {
  EXPECT_EQ(print_number(30832), " 30832 ");
  EXPECT_EQ(print_number(-4), "-4 ");
  EXPECT_EQ(str_number(1), " 1");
  EXPECT_EQ(str_number(-1), "-1");
}

TEST(QuotedExcerpt, LongTextsAreCutToAShortPrefixNotInsideACharacter) {
  const std::string accented = std::string(59, 'a') + "\xC3\xA9tude";  // "é" spans bytes 60 and 61
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"", "\"\""},
      {std::string(60, 'x'), "\"" + std::string(60, 'x') + "\""},
      {std::string(1 << 20, 'x'), "\"" + std::string(60, 'x') + "...\""},
      {accented, "\"" + std::string(59, 'a') + "...\""},
  };
  for (const auto& c : cases) EXPECT_EQ(quoted_excerpt(c.text), c.expected) << c.text.size();
}

TEST(Blank, OnlySpacesIsBlank) {
  EXPECT_TRUE(is_blank(""));
  EXPECT_TRUE(is_blank("   "));
  EXPECT_FALSE(is_blank(" a "));
  EXPECT_EQ(trim("  a b  "), "a b");
}

}  // namespace
}  // namespace zorvane
