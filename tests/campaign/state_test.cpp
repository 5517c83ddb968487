#include <gtest/gtest.h>

#include <stdexcept>

#include "campaign/state.h"

namespace zorvane {
namespace {

TEST(CampaignStateStartUp, HoldsTheStartUpValues) {
  const CampaignState state;
  EXPECT_EQ(state.cells.size(), 1600u);
  EXPECT_EQ(state.current_team, 1);
  EXPECT_EQ(state.team_count, 0);
  EXPECT_EQ(state.turn, 0);
  EXPECT_EQ(state.action_count, 0);
  EXPECT_EQ(state.sel_state, 0);
  EXPECT_EQ(state.marker_text_color, 14);
  EXPECT_EQ(state.grid_rows, 0);
  EXPECT_EQ(state.grid_cols, 0);
  EXPECT_EQ(state.cell_w, 0);
  EXPECT_EQ(state.map_file, "");
  for (int n : {1, 800, 1600}) {
    for (int f = 1; f <= kFieldCount; ++f) EXPECT_TRUE(state.field(n, f).is_empty()) << n << "/" << f;
  }
}

TEST(CampaignStateFields, FieldNumbersAreOneBasedAndBounded) {
  CampaignState state;
  state.field(1600, 30) = Value::text("last");
  EXPECT_EQ(state.cells[1599][29], Value::text("last"));
  state.field(2, owner) = Value::text("B");
  EXPECT_EQ(state.cells[1][1], Value::text("B"));
  EXPECT_THROW(state.field(0, 1), std::out_of_range);
  EXPECT_THROW(state.field(1601, 1), std::out_of_range);
  EXPECT_THROW(state.field(1, 31), std::out_of_range);
  EXPECT_THROW(state.field(1, 0), std::out_of_range);
}

TEST(CampaignStateFields, ClearCellsEmptiesEveryField) {
  CampaignState state;
  state.field(1, cell_no) = Value::whole(1);
  state.field(1600, unit_10) = Value::text("tank.ai");
  state.clear_cells();
  EXPECT_TRUE(state.field(1, cell_no).is_empty());
  EXPECT_TRUE(state.field(1600, unit_10).is_empty());
}

TEST(CampaignStateFields, FieldNumbersMatchTheCellLayout) {
  EXPECT_EQ(cell_no, 1);
  EXPECT_EQ(owner, 2);
  EXPECT_EQ(terrain_color, 3);
  EXPECT_EQ(x_px, 6);
  EXPECT_EQ(y_px, 7);
  EXPECT_EQ(terrain, 10);
  EXPECT_EQ(unit_1, 21);
  EXPECT_EQ(unit_10, 30);
}

TEST(Teams, LettersAndIndicesMapOneToOne) {
  const char* letters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(team_letter(k), letters[k - 1]);
    EXPECT_EQ(team_index(letters[k - 1]), k);
  }
}

TEST(Teams, AnythingElseHasNoIndexOrLetter) {
  for (const char* text : {"", "K", "a", "j", " A", "A ", "AB", "0"}) EXPECT_EQ(team_index(text), 0) << text;
  EXPECT_EQ(team_letter(0), "");
  EXPECT_EQ(team_letter(11), "");
  EXPECT_EQ(team_letter(-1), "");
}

Cell cell_with_units(std::initializer_list<std::pair<int, const char*>> slots) {
  Cell cell;
  for (const auto& [slot, name] : slots) cell[static_cast<std::size_t>(unit_1 + slot - 2)] = Value::text(name);
  return cell;
}

TEST(UnitCount, IsTheHighestFilledSlotEvenWithGapsBelow) {
  EXPECT_EQ(unit_count(cell_with_units({{1, "scout.ai"}, {3, "tank.ai"}})), 3);
  EXPECT_EQ(unit_count(cell_with_units({{10, "medic.ai"}})), 10);
  EXPECT_EQ(unit_count(cell_with_units({{1, "a.ai"}, {2, "b.ai"}})), 2);
}

TEST(UnitCount, BlankSlotsDoNotCount) {
  EXPECT_EQ(unit_count(Cell{}), 0);
  EXPECT_EQ(unit_count(cell_with_units({{1, "a.ai"}, {4, "   "}, {5, ""}})), 1);
  EXPECT_EQ(unit_count(cell_with_units({{2, "  "}})), 0);
}

CampaignState grid(int rows, int cols) {
  CampaignState state;
  state.grid_rows = rows;
  state.grid_cols = cols;
  return state;
}

struct NeighbourCase {
  int cell;
  int direction;
  std::optional<int> neighbour;
};

TEST(CompassNeighbour, FollowsTheStrideWithoutRowEdgeCheck) {
  const CampaignState state = grid(3, 3);
  const NeighbourCase cases[] = {
      {5, 1, 2}, {5, 2, 3}, {5, 3, 6}, {5, 4, 9}, {5, 5, 8}, {5, 6, 7}, {5, 7, 4}, {5, 8, 1},
      // East of the last cell of row 1 is the first cell of row 2; west of row 2's first is row 1's last.
      {3, 3, 4},
      {4, 7, 3},
      // North of row 1 is missing; north-east of cell 3 would be cell 1 of the same row: 3 - 3 + 1.
      {1, 1, std::nullopt},
      {2, 1, std::nullopt},
      {3, 2, 1},
      {1, 8, std::nullopt},
      {1, 7, std::nullopt},
      {9, 3, std::nullopt},
      {9, 5, std::nullopt},
      {7, 5, std::nullopt},
      {8, 6, std::nullopt},
      {7, 6, 9},
      {5, 0, std::nullopt},
      {5, 9, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(compass_neighbour(state, c.cell, c.direction), c.neighbour) << c.cell << " dir " << c.direction;
  }
}

TEST(CompassNeighbour, TheStrideIsTheRowCount) {
  // On a grid of 2 rows by 3 columns the stride is 2, not the row length.
  const CampaignState state = grid(2, 3);
  EXPECT_EQ(compass_neighbour(state, 4, 1), 2);
  EXPECT_EQ(compass_neighbour(state, 1, 5), 3);
  EXPECT_EQ(compass_neighbour(state, 5, 5), std::nullopt);
}

TEST(CompassNeighbour, EastOfTheLastCellOfARowIsTheNextRowsFirst) {
  const CampaignState state = grid(10, 10);
  EXPECT_EQ(compass_neighbour(state, 10, 3), 11);
  EXPECT_EQ(compass_neighbour(state, 5, 1), std::nullopt);
  EXPECT_EQ(compass_neighbour(state, 100, 3), std::nullopt);
}

}  // namespace
}  // namespace zorvane
