#include <gtest/gtest.h>

#include "common/text.h"

namespace zorvane {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberAfterSpacesOrZero) {
  for (const auto& [text, value] : {std::pair{"  42abc", 42.0}, {"3.75", 3.75}, {"-7", -7.0}, {".5", 0.5}, {"1e3x", 1000.0},
                                    {"", 0.0}, {"abc", 0.0}, {"x12", 0.0}, {"-", 0.0}, {".", 0.0}}) {
    EXPECT_EQ(numeric_value(text), value) << text;
  }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  for (const auto& [x, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {30.5, 30}, {31.5, 32}, {-2.5, -2}, {-3.5, -4},
                                   {30.1, 30}, {2.51, 3}}) {
    EXPECT_EQ(round_half_even(x), rounded) << x;
  }
}

TEST(PrintForms, NumbersCarrySignSpaceAndTrailingSpaceAndBlanksAreTrimmed) {
  EXPECT_EQ(std::tuple(print_number(30832), print_number(-4), str_number(1), str_number(-1)),
            std::tuple(" 30832 ", "-4 ", " 1", "-1"));
  EXPECT_EQ(std::tuple(is_blank(""), is_blank("   "), is_blank(" a "), trim("  a b  ")), std::tuple(true, true, false, "a b"));
}

TEST(QuotedExcerpt, LongTextsAreCutToAShortPrefixNotInsideACharacter) {
  const std::string accented = std::string(59, 'a') + "\xC3\xA9tude";  // "é" spans bytes 60 and 61
  for (const auto& [text, expected] :
       {std::pair{std::string(), std::string("\"\"")}, {std::string(60, 'x'), "\"" + std::string(60, 'x') + "\""},
        {std::string(1 << 20, 'x'), "\"" + std::string(60, 'x') + "...\""}, {accented, "\"" + std::string(59, 'a') + "...\""}}) {
    EXPECT_EQ(quoted_excerpt(text), expected) << text.size();
  }
}

}  // namespace
}  // namespace zorvane
