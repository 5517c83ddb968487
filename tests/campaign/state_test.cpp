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
  using Slots = std::vector<std::pair<int, const char*>>;
  for (const auto& [slots, count] : {std::pair{Slots{}, 0}, {Slots{{1, "scout.ai"}, {3, "tank.ai"}}, 3}, {Slots{{10, "medic.ai"}}, 10},
                                     {Slots{{1, "a.ai"}, {4, "   "}, {5, ""}}, 1}, {Slots{{2, "  "}}, 0}}) {
    Cell cell;
    // Slot k is field 20 + k, counted here from the raw index so the field layout is checked too.
    for (const auto& [slot, name] : slots) cell[static_cast<std::size_t>(19 + slot)] = Value::text(name);
    EXPECT_EQ(unit_count(cell), count) << count;
  }
}

TEST(CompassNeighbour, FollowsTheStrideOfTheRowCountWithoutRowEdgeCheck) {
  // Around cell 5 of 3 by 3 clockwise from north; east of a row's last cell is the next row's
  // first, and back; north-east of cell 3 is cell 1; off the table at either end (0: none).
  // On 2 rows by 3 columns the stride is 2, not the row length.
  for (const auto& [rows, cell, direction, neighbour] :
       {std::tuple{3, 5, 1, 2}, {3, 5, 2, 3}, {3, 5, 3, 6}, {3, 5, 4, 9}, {3, 5, 5, 8}, {3, 5, 6, 7}, {3, 5, 7, 4}, {3, 5, 8, 1},
        {3, 3, 3, 4}, {3, 4, 7, 3}, {3, 3, 2, 1}, {3, 7, 6, 9}, {3, 1, 1, 0}, {3, 1, 8, 0}, {3, 1, 7, 0}, {3, 9, 3, 0},
        {3, 7, 5, 0}, {3, 8, 6, 0}, {3, 5, 0, 0}, {3, 5, 9, 0}, {2, 4, 1, 2}, {2, 1, 5, 3}, {2, 5, 5, 0}}) {
    CampaignState state;
    state.grid_rows = rows;
    state.grid_cols = 3;
    EXPECT_EQ(compass_neighbour(state, cell, direction).value_or(0), neighbour) << rows << "x3 cell " << cell << " dir " << direction;
  }
}

// Numbers equal numeric texts (a saved " 30832 " equals 30832, "1e3" 1000); two texts compare
// as texts, in case; empty equals an empty text but not zero.
TEST(ValueLooseEqual, ComparesNumbersWithNumericTextsAndTextsAsTexts) {
  for (const auto& [a, b, equal] :
       {std::tuple{Value::whole(30832), Value::text(" 30832 "), true}, {Value::text(" 30832 "), Value::whole(30832), true},
        {Value::whole(30832), Value::text("30833"), false}, {Value::whole(2), Value::number(2.0), true},
        {Value::text("1e3"), Value::whole(1000), true}, {Value::text("5"), Value::text(" 5 "), false},
        {Value::text("A"), Value::text("A"), true}, {Value::text("A"), Value::text("a"), false}, {Value(), Value::text(""), true},
        {Value(), Value::whole(0), false}, {Value::text("A"), Value::whole(0), false}, {Value::text("12abc"), Value::whole(12), false}}) {
    EXPECT_EQ(loose_equal(a, b), equal) << a.to_text() << " / " << b.to_text();
  }
}

// Each kind converts to text, number and whole number and saves in its own form; halves
// round to even.
TEST(ValueForms, EachKindConvertsAndSavesInItsOwnForm) {
  for (const auto& [value, text, number, whole, save_line, blank] :
       {std::tuple{Value(), "", 0.0, 0LL, "", true}, {Value::text("   "), "   ", 0, 0, "   ", true},
        {Value::text(" 42abc"), " 42abc", 42, 42, " 42abc", false}, {Value::text("brawler.ai "), "brawler.ai ", 0, 0, "brawler.ai ", false},
        {Value::text(" 2.5 "), " 2.5 ", 2.5, 2, " 2.5 ", false}, {Value::text(" 3.5 "), " 3.5 ", 3.5, 4, " 3.5 ", false},
        {Value::whole(30832), "30832", 30832, 30832, " 30832 ", false}, {Value::whole(0), "0", 0, 0, " 0 ", false},
        {Value::whole(-5), "-5", -5, -5, "-5 ", false}, {Value::number(2.0), "2", 2, 2, " 2 ", false},
        {Value::number(30.5), "30.5", 30.5, 30, " 30.5 ", false}, {Value::number(0.25), "0.25", 0.25, 0, " 0.25 ", false},
        {Value::number(-2.5), "-2.5", -2.5, -2, "-2.5 ", false}, {Value::number(-3.0), "-3", -3, -3, "-3 ", false},
        {Value::number(1e16), "1e+16", 1e16, 10000000000000000LL, " 1e+16 ", false}}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(std::tuple(value.to_text(), value.to_number(), value.to_whole(), value.save_line(), value.is_blank()),
              std::tuple(text, number, whole, save_line, blank));
  }
}

TEST(ValueNumericText, WholeTextMustBeANumber) {
  for (const char* t : {" 30832 ", "-1.5", "2e2", "+.5", "1.", "1E-2", "7e+19"}) EXPECT_TRUE(text_is_numeric(t)) << t;
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
