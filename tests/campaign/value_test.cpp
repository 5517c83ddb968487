#include <gtest/gtest.h>

#include "campaign/value.h"

namespace zorvane {
namespace {

struct LooseCase {
  const char* name;
  Value a;
  Value b;
  bool equal;
};

TEST(ValueLooseEqual, ComparesNumbersWithNumericTextsAndTextsAsTexts) {
  const LooseCase cases[] = {
      {"number and its saved text", Value::whole(30832), Value::text(" 30832 "), true},
      {"saved text and number", Value::text(" 30832 "), Value::whole(30832), true},
      {"number and other number text", Value::whole(30832), Value::text("30833"), false},
      {"whole and fraction equal", Value::whole(2), Value::number(2.0), true},
      {"text with exponent", Value::text("1e3"), Value::whole(1000), true},
      {"two numeric texts compare as texts", Value::text("5"), Value::text(" 5 "), false},
      {"same texts", Value::text("A"), Value::text("A"), true},
      {"texts differ in case", Value::text("A"), Value::text("a"), false},
      {"empty equals empty text", Value(), Value::text(""), true},
      {"empty is not zero", Value(), Value::whole(0), false},
      {"non-numeric text is not zero", Value::text("abc"), Value::whole(0), false},
      {"letter is not a number", Value::text("A"), Value::whole(0), false},
      {"text with trailing letters is not the number", Value::text("12abc"), Value::whole(12), false},
  };
  for (const auto& c : cases) EXPECT_EQ(loose_equal(c.a, c.b), c.equal) << c.name;
}

TEST(ValueConversion, TextsReadAsTheirLeadingNumber) {
  EXPECT_EQ(Value::text(" 42abc").to_number(), 42.0);
  EXPECT_EQ(Value::text("abc").to_number(), 0.0);
  EXPECT_EQ(Value().to_number(), 0.0);
  EXPECT_EQ(Value::text(" 2.5 ").to_whole(), 2);
  EXPECT_EQ(Value::text(" 3.5 ").to_whole(), 4);
  EXPECT_EQ(Value::number(30.5).to_whole(), 30);
  EXPECT_EQ(Value::whole(-7).to_whole(), -7);
}

TEST(ValueConversion, NumbersBecomeDigitsWithoutSignSpace) {
  EXPECT_EQ(Value::whole(42255).to_text(), "42255");
  EXPECT_EQ(Value::whole(-3).to_text(), "-3");
  EXPECT_EQ(Value::number(2.0).to_text(), "2");
  EXPECT_EQ(Value::number(0.25).to_text(), "0.25");
  EXPECT_EQ(Value().to_text(), "");
  EXPECT_EQ(Value::text(" a ").to_text(), " a ");
}

TEST(ValueBlank, OnlyEmptyAndSpaceTextsAreBlank) {
  EXPECT_TRUE(Value().is_blank());
  EXPECT_TRUE(Value::text("").is_blank());
  EXPECT_TRUE(Value::text("   ").is_blank());
  EXPECT_FALSE(Value::text(" x ").is_blank());
  EXPECT_FALSE(Value::whole(0).is_blank());
}

TEST(ValueSaveLine, EachKindHasItsLineForm) {
  EXPECT_EQ(Value().save_line(), "");
  EXPECT_EQ(Value::text("brawler.ai ").save_line(), "brawler.ai ");
  EXPECT_EQ(Value::text("").save_line(), "");
  EXPECT_EQ(Value::whole(30832).save_line(), " 30832 ");
  EXPECT_EQ(Value::whole(0).save_line(), " 0 ");
  EXPECT_EQ(Value::whole(-5).save_line(), "-5 ");
  EXPECT_EQ(Value::number(1.5).save_line(), " 1.5 ");
}

TEST(ValueSaveLine, NumbersSurviveBeingWrittenAndReadBackAsText) {
  for (const long long n : {0LL, 1LL, 42255LL, 16777215LL, -12LL, 1600LL}) {
    const Value original = Value::whole(n);
    const Value restored = Value::text(original.save_line());
    EXPECT_EQ(restored.to_whole(), n);
    EXPECT_TRUE(loose_equal(original, restored)) << n;
    // A restored text is written back unchanged, so a save of a save is the same line.
    EXPECT_EQ(restored.save_line(), original.save_line());
  }
}

TEST(ValueNumericText, WholeTextMustBeANumber) {
  EXPECT_TRUE(text_is_numeric(" 30832 "));
  EXPECT_TRUE(text_is_numeric("-1.5"));
  EXPECT_TRUE(text_is_numeric("2e2"));
  EXPECT_FALSE(text_is_numeric(""));
  EXPECT_FALSE(text_is_numeric("  "));
  EXPECT_FALSE(text_is_numeric("1x"));
  EXPECT_FALSE(text_is_numeric("x1"));
  EXPECT_FALSE(text_is_numeric("-"));
  EXPECT_FALSE(text_is_numeric("1e"));
}

}  // namespace
}  // namespace zorvane
