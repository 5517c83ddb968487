#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "campaign/battle_log.h"
#include "campaign/state.h"
#include "campaign/value.h"
#include "test_files.h"

namespace zorvane {
namespace {

TEST(CampaignState, StartsWithTeamOneAndEmptyBoundedCells) {
  const CampaignState state;
  EXPECT_EQ(std::tuple(state.cells.size(), state.current_team, state.team_count, state.turn, state.sel_state, state.marker_text_color),
            std::tuple(1600u, 1, 0, 0L, 0, 14));
  for (int n : {1, 1600}) {
    for (int f = 1; f <= kFieldCount; ++f) EXPECT_TRUE(state.field(n, f).is_empty()) << n << "/" << f;
  }
  for (const auto& [n, f] : {std::pair{0, 1}, {1601, 1}, {1, 0}, {1, 31}}) {
    EXPECT_THROW(state.field(n, f), std::out_of_range) << n << "/" << f;
  }
}

TEST(Teams, LettersAToJAreTeamsOneToTenAndNothingElseIs) {
  const char* letters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(team_letter(k), letters[k - 1]);
    EXPECT_EQ(team_index(letters[k - 1]), k);
  }
  for (const char* text : {"", "K", "a", "j", " A", "A ", "AB", "0"}) EXPECT_EQ(team_index(text), 0) << text;
  for (int k : {-1, 0, 11}) EXPECT_EQ(team_letter(k), "") << k;
}

TEST(UnitCount, IsTheHighestNonBlankSlotEvenWithGapsBelow) {
  const struct {
    const char* name;
    std::vector<std::pair<int, const char*>> slots;
    int count;
  } cases[] = {
      {"no units", {}, 0},
      {"gap at slot 2", {{1, "scout.ai"}, {3, "tank.ai"}}, 3},
      {"only the last slot", {{10, "medic.ai"}}, 10},
      {"blank slots above", {{1, "a.ai"}, {4, "   "}, {5, ""}}, 1},
      {"only a blank slot", {{2, "  "}}, 0},
  };
  for (const auto& c : cases) {
    Cell cell;
    // Slot k is field 20 + k, counted here from the raw index so the field layout is checked too.
    for (const auto& [slot, name] : c.slots) cell[static_cast<std::size_t>(19 + slot)] = Value::text(name);
    EXPECT_EQ(unit_count(cell), c.count) << c.name;
  }
}

TEST(CompassNeighbour, FollowsTheStrideOfTheRowCountWithoutRowEdgeCheck) {
  const struct {
    int rows, cols, cell, direction;
    std::optional<int> neighbour;
  } cases[] = {
      {3, 3, 5, 1, 2}, {3, 3, 5, 2, 3}, {3, 3, 5, 3, 6}, {3, 3, 5, 4, 9}, {3, 3, 5, 5, 8}, {3, 3, 5, 6, 7}, {3, 3, 5, 7, 4}, {3, 3, 5, 8, 1},
      // East of a row's last cell is the next row's first, and back; north-east of cell 3 is cell 1.
      {3, 3, 3, 3, 4}, {3, 3, 4, 7, 3}, {3, 3, 3, 2, 1}, {3, 3, 7, 6, 9},
      // Off the table at either end.
      {3, 3, 1, 1, std::nullopt}, {3, 3, 1, 8, std::nullopt}, {3, 3, 1, 7, std::nullopt}, {3, 3, 9, 3, std::nullopt},
      {3, 3, 7, 5, std::nullopt}, {3, 3, 8, 6, std::nullopt}, {3, 3, 5, 0, std::nullopt}, {3, 3, 5, 9, std::nullopt},
      // On 2 rows by 3 columns the stride is 2, not the row length.
      {2, 3, 4, 1, 2}, {2, 3, 1, 5, 3}, {2, 3, 5, 5, std::nullopt},
  };
  for (const auto& c : cases) {
    CampaignState state;
    state.grid_rows = c.rows;
    state.grid_cols = c.cols;
    EXPECT_EQ(compass_neighbour(state, c.cell, c.direction), c.neighbour)
        << c.rows << "x" << c.cols << " cell " << c.cell << " dir " << c.direction;
  }
}

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
      {Value::number(-2.5), "-2.5", -2.5, -2, "-2.5 ", false},
      {Value::number(-3.0), "-3", -3, -3, "-3 ", false},
      {Value::number(1e16), "1e+16", 1e16, 10000000000000000LL, " 1e+16 ", false},
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
  for (const char* t : {" 30832 ", "-1.5", "2e2", "+.5", "1.", "1E-2", "7e+10"}) EXPECT_TRUE(text_is_numeric(t)) << t;
  for (const char* t : {"", "  ", "1x", "x1", "-", "1e", "1e+", ".e1", ".", "1.5.2", "1e2x", "- 1"}) EXPECT_FALSE(text_is_numeric(t)) << t;
}

using testing::read_bytes;
using testing::TempDir;

// An advance into an empty cell ends with an empty value and its tab; numbers are plain
// digits. A campaign loaded where no new campaign ever ran has no log yet: appending makes it.
TEST(BattleLog, ResetLeavesTheHeaderAndAppendsAddTabEndedLines) {
  TempDir dir;
  const std::string log = dir.write("blog.txt", "an old campaign's lines\r\n1\tA\t1\tAdvance\tMove\t2\t\t\r\n");
  const FileResult result = reset_battle_log(log);
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_TRUE(append_battle_log(log, {3, "A", 2, "Advance", "Move", 4, ""}).ok);
  ASSERT_TRUE(append_battle_log(log, {1600, "J", 10, "Augment", "Add", 1600, "J"}).ok);
  EXPECT_EQ(read_bytes(log), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n3\tA\t2\tAdvance\tMove\t4\t\t\r\n1600\tJ\t10\tAugment\tAdd\t1600\tJ\t\r\n");
  ASSERT_TRUE(append_battle_log(dir.file("new.txt"), {12, "B", 5, "Advance", "Attack", 13, "C"}).ok);
  EXPECT_EQ(read_bytes(dir.file("new.txt")), "12\tB\t5\tAdvance\tAttack\t13\tC\t\r\n");
}

TEST(BattleLog, FailuresSayWhyAndNameTheFile) {
  TempDir dir;
  const std::string log = dir.file("missing-folder/blog.txt");
  for (const FileResult& result : {reset_battle_log(log), append_battle_log(log, {1, "A", 1, "Advance", "Move", 2, ""})}) {
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("battle log \"" + log + "\""), std::string::npos) << result.error;
  }
  EXPECT_FALSE(std::filesystem::exists(log));
}

}  // namespace
}  // namespace zorvane
