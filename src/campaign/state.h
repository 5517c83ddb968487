// The campaign state: the cell table (1600 cells by 30 loosely typed fields) and the
// campaign-wide variables. Plain data owned by the main window; rules are free functions.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/value.h"

namespace zorvane {

inline constexpr int kMaxCells = 1600;
inline constexpr int kFieldCount = 30;
inline constexpr int kTeamCount = 10;
inline constexpr int kUnitSlots = 10;
inline constexpr int kMaxGridSide = 40;  // a square map of at most kMaxCells cells

// Field numbers (1-based, in file order).
enum Field : int {
  cell_no = 1,
  owner = 2,
  terrain_color = 3,
  x_px = 6,
  y_px = 7,
  terrain = 10,
  unit_1 = 21,
  unit_10 = 30,
};

using Cell = std::array<Value, kFieldCount>;

// Where a cell lies on the grid: its map line and its column in that line, from 1.
struct GridSpot {
  int row = 0;
  int col = 0;
  friend auto operator<=>(const GridSpot&, const GridSpot&) = default;
};

struct CampaignState {
  std::vector<Cell> cells = std::vector<Cell>(kMaxCells);

  int current_team = 1;
  int team_count = 0;
  long turn = 0;
  long action_count = 0;
  std::string map_file;
  int grid_rows = 0;
  int grid_cols = 0;
  int first_line_cols = 0;
  int cell_w = 0;
  int cell_h = 0;
  int marker_text_color = 14;
  int sel_state = 0;
  int sel_x = 0;
  int sel_y = 0;
  Value sel_color;
  int source_cell = 0;
  int target_cell = 0;
  int new_count = 0;
  std::string action_type;
  std::array<int, kTeamCount> team_land{};
  std::array<int, kTeamCount> team_units{};
  // The grid spot of each map cell, cell n at spots[n - 1], in reading order; set with the
  // map. Numbers run on across a blank map line while rows do not, and the last cell of a
  // row is numbered next to the first of the next: neighbours are found from these spots.
  std::vector<GridSpot> spots;

  // Field f (1..30) of cell n (1..1600). Out of range is a caller's error and throws.
  Value& field(int n, int f) { return cells.at(static_cast<std::size_t>(n - 1)).at(static_cast<std::size_t>(f - 1)); }
  const Value& field(int n, int f) const {
    return cells.at(static_cast<std::size_t>(n - 1)).at(static_cast<std::size_t>(f - 1));
  }
  // Cells in use: grid_rows x grid_cols.
  int cell_count() const { return grid_rows * grid_cols; }
  // Empties every field of every cell.
  void clear_cells();
};

// "A".."J" for 1..10; "" otherwise.
std::string team_letter(int index);
// 1..10 for exactly "A".."J"; 0 for any other text (an empty owner has no index).
int team_index(std::string_view letter);
// True for the ten team letters "A".."J" (upper case only).
constexpr bool is_team_letter(char c) { return c >= 'A' && c <= 'J'; }

// Highest unit slot (1..10) that is not blank, 0 when all are blank.
int unit_count(const Cell& cell);

// True when cell b is cell a or one of the eight cells around it on the grid. The one
// neighbour rule of the game: a player's second click and every computer player use it.
bool within_one_step(const CampaignState& state, int a, int b);

// The cell one step from cell n in compass direction d (1 north, clockwise to 8 north-west)
// on the grid; nothing at the map's edge, beyond it or for another d.
std::optional<int> compass_neighbour(const CampaignState& state, int n, int d);

}  // namespace zorvane
