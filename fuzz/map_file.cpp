// Campaign map reader: parse_map on any bytes, and apply_map on every map it accepts.
// An accepted map must be square, hold at most 1600 cells in reading order, use the team
// letters "A" up to the n-th once each, and lay onto the state exactly the cells it holds,
// leaving nothing of an earlier campaign behind; the state must then be savable.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "fuzz_check.h"

namespace {

using namespace zorvane;

constexpr int kPictureWidth = 641;
constexpr int kPictureHeight = 481;

void check_map(const CampaignMap& map) {
  FUZZ_CHECK(map.path == "fuzz.aim");
  FUZZ_CHECK(map.first_line_cols >= 1 && map.first_line_cols <= kMaxGridSide);
  FUZZ_CHECK(map.grid_rows == map.first_line_cols);
  FUZZ_CHECK(map.grid_cols == map.first_line_cols);
  FUZZ_CHECK(map.grid_rows * map.grid_cols <= kMaxCells);
  FUZZ_CHECK(map.cells.size() <= static_cast<std::size_t>(map.grid_rows * map.grid_cols));
  FUZZ_CHECK(map.team_count >= 1 && map.team_count <= kTeamCount);

  int letters[kTeamCount + 1] = {};
  int last_row = 0;
  int last_col = 0;
  for (const MapCell& cell : map.cells) {
    FUZZ_CHECK(cell.row >= 1 && cell.row <= map.grid_rows);
    FUZZ_CHECK(cell.col >= 1 && cell.col <= map.first_line_cols);
    // Reading order: the next column of the same row, or the first column of a later row.
    FUZZ_CHECK((cell.row == last_row && cell.col == last_col + 1) || (cell.row > last_row && cell.col == 1));
    FUZZ_CHECK(cell.terrain != '\r');
    last_row = cell.row;
    last_col = cell.col;
    if (is_team_letter(cell.terrain)) ++letters[cell.terrain - 'A' + 1];
  }
  for (int t = 1; t <= kTeamCount; ++t) FUZZ_CHECK(letters[t] == (t <= map.team_count ? 1 : 0));
}

void check_applied(const CampaignMap& map, const CampaignState& state) {
  FUZZ_CHECK(state.map_file == map.path);
  FUZZ_CHECK(state.grid_rows == map.grid_rows && state.grid_cols == map.grid_cols);
  FUZZ_CHECK(state.first_line_cols == map.first_line_cols);
  FUZZ_CHECK(state.team_count == map.team_count);
  FUZZ_CHECK(state.cell_w == map_cell_size(kPictureWidth, map.first_line_cols));
  FUZZ_CHECK(state.cell_h == map_cell_size(kPictureHeight, map.first_line_cols));
  for (int n = 1; n <= kMaxCells; ++n) {
    const auto k = static_cast<std::size_t>(n - 1);
    if (k >= map.cells.size()) {
      for (int f = 1; f <= kFieldCount; ++f) FUZZ_CHECK(state.field(n, f).is_empty());
      continue;
    }
    const MapCell& cell = map.cells[k];
    for (int f = 1; f <= kFieldCount; ++f) {
      const Value& value = state.field(n, f);
      switch (f) {
        case cell_no: FUZZ_CHECK(value == Value::whole(n)); break;
        case owner:
          FUZZ_CHECK(value == (is_team_letter(cell.terrain) ? Value::text(std::string(1, cell.terrain)) : Value()));
          break;
        case terrain_color: FUZZ_CHECK(value == terrain_color_for(cell.terrain)); break;
        case x_px: FUZZ_CHECK(value == Value::whole(static_cast<long long>(cell.col - 1) * state.cell_w)); break;
        case y_px: FUZZ_CHECK(value == Value::whole(static_cast<long long>(cell.row - 1) * state.cell_h)); break;
        case terrain: FUZZ_CHECK(value == Value::text(std::string(1, cell.terrain))); break;
        default: FUZZ_CHECK(value.is_empty()); break;
      }
    }
  }
  // A new campaign can always be saved, one line per field of every cell in use.
  FUZZ_CHECK(!campaign_save_problem(state).has_value());
  const std::string save = campaign_save_bytes(state);
  FUZZ_CHECK(std::count(save.begin(), save.end(), '\r') == 3 + kFieldCount * state.cell_count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MapReadResult result = parse_map(zorvane::fuzz::as_text(data, size), "fuzz.aim");
  FUZZ_CHECK(result.ok() == result.error.empty());
  if (!result.ok()) return 0;
  check_map(*result.map);

  // One state for every run (it holds 48,000 fields), dirtied first so that apply_map must
  // empty what an earlier campaign left.
  static CampaignState state;
  state.field(kMaxCells, unit_10) = Value::text("left from an earlier campaign");
  state.field(1, 5) = Value::whole(7);
  apply_map(*result.map, kPictureWidth, kPictureHeight, state);
  check_applied(*result.map, state);
  return 0;
}
