#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "campaign/state.h"

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

}  // namespace
}  // namespace zorvane
