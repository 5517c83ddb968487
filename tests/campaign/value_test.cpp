#include <gtest/gtest.h>

#include <string>

#include "campaign/value.h"

namespace zorvane {
namespace {

TEST(ValueLooseEqual, ComparesNumbersWithNumericTextsAndTextsAsTexts) {
  const struct {
    const char* name;
    Value a, b;
    bool equal;
  } cases[] = {
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
      {"letter is not zero", Value::text("A"), Value::whole(0), false},
      {"text with trailing letters is not the number", Value::text("12abc"), Value::whole(12), false},
  };
  for (const auto& c : cases) EXPECT_EQ(loose_equal(c.a, c.b), c.equal) << c.name;
}

TEST(ValueForms, EachKindConvertsAndSavesInItsOwnForm) {
  const struct {
    Value value;
    const char* text;
    double number;
    long long whole;
    const char* save_line;
    bool blank;
  } cases[] = {
      {Value(), "", 0, 0, "", true},
      {Value::text(""), "", 0, 0, "", true},
      {Value::text("   "), "   ", 0, 0, "   ", true},
      {Value::text(" 42abc"), " 42abc", 42, 42, " 42abc", false},
      {Value::text("brawler.ai "), "brawler.ai ", 0, 0, "brawler.ai ", false},
      {Value::text(" 2.5 "), " 2.5 ", 2.5, 2, " 2.5 ", false},  // halves round to even
      {Value::text(" 3.5 "), " 3.5 ", 3.5, 4, " 3.5 ", false},
      {Value::whole(30832), "30832", 30832, 30832, " 30832 ", false},
      {Value::whole(0), "0", 0, 0, " 0 ", false},
      {Value::whole(-5), "-5", -5, -5, "-5 ", false},
      {Value::number(2.0), "2", 2, 2, " 2 ", false},
      {Value::number(30.5), "30.5", 30.5, 30, " 30.5 ", false},
      {Value::number(0.25), "0.25", 0.25, 0, " 0.25 ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    EXPECT_EQ(c.value.to_text(), c.text);
    EXPECT_EQ(c.value.to_number(), c.number);
    EXPECT_EQ(c.value.to_whole(), c.whole);
    EXPECT_EQ(c.value.save_line(), c.save_line);
    EXPECT_EQ(c.value.is_blank(), c.blank);
  }
}

TEST(ValueNumericText, WholeTextMustBeANumber) {
  for (const char* t : {" 30832 ", "-1.5", "2e2"}) EXPECT_TRUE(text_is_numeric(t)) << t;
  for (const char* t : {"", "  ", "1x", "x1", "-", "1e"}) EXPECT_FALSE(text_is_numeric(t)) << t;
}

}  // namespace
}  // namespace zorvane
