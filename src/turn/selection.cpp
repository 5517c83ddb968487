#include "turn/selection.h"

#include "common/text.h"

namespace zorvane {
namespace {

int whole(const Value& v) { return static_cast<int>(v.to_whole()); }

Frame frame_at(const CampaignState& state, int n, int colour_index) {
  return Frame{whole(state.field(n, x_px)), whole(state.field(n, y_px)), palette_color(colour_index)};
}

void select(CampaignState& state, int n) {
  state.sel_x = whole(state.field(n, x_px));
  state.sel_y = whole(state.field(n, y_px));
  state.sel_color = state.field(n, terrain_color);
}

}  // namespace

std::optional<int> hit_test(const CampaignState& state, int x, int y) {
  const int w = state.cell_w;
  const int h = state.cell_h;
  if (w <= 0 || h <= 0 || state.first_line_cols <= 0) return std::nullopt;
  const long long column = round_half_even((x - w / 2.0) / w) + 1;
  const long long row = round_half_even((y - h / 2.0) / h);
  if (column < 1 || column > state.first_line_cols || row < 0 || row >= state.grid_rows) return std::nullopt;
  const long long n = row * state.first_line_cols + column;
  if (n < 1 || n > state.cell_count() || n > kMaxCells) return std::nullopt;
  const int cell = static_cast<int>(n);
  const std::string ch = state.field(cell, terrain).to_text();
  if (ch.empty() || ch == "0") return std::nullopt;
  // After a blank map line the numbers run on while the rows do not: only the cell
  // actually drawn under the pointer counts.
  if (whole(state.field(cell, x_px)) != (column - 1) * w || whole(state.field(cell, y_px)) != row * h) {
    return std::nullopt;
  }
  return cell;
}

ClickResult map_click(CampaignState& state, int x, int y) {
  ClickResult result;
  const std::optional<int> cell = hit_test(state, x, y);
  if (!cell) return result;
  const int n = *cell;
  if (state.sel_state == 0) {
    state.sel_state = -1;
    if (!state.sel_color.is_blank()) result.frames.push_back({state.sel_x, state.sel_y, frame_colour(state.sel_color)});
    result.frames.push_back(frame_at(state, n, kSourceFrameColor));
    select(state, n);
    state.source_cell = n;
    return result;
  }
  if (!within_one_step(state, state.source_cell, n)) return result;
  state.sel_state = 0;
  result.frames.push_back({state.sel_x, state.sel_y, frame_colour(state.sel_color)});
  result.frames.push_back(frame_at(state, n, kTargetFrameColor));
  select(state, n);
  state.target_cell = n;
  result.open_panel = true;
  return result;
}

std::optional<Frame> clear_selection(CampaignState& state) {
  state.sel_state = 0;
  if (state.sel_color.is_blank()) return std::nullopt;
  return Frame{state.sel_x, state.sel_y, frame_colour(state.sel_color)};
}

}  // namespace zorvane
