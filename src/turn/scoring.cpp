#include "turn/scoring.h"

#include <algorithm>

namespace zorvane {
namespace {

constexpr ColorValue kLandBar = rgb(0, 255, 0);
constexpr ColorValue kUnitBar = rgb(0, 0, 255);
constexpr int kBarOffset = 120;  // where bars start, and the room left of them
constexpr int kBarHeight = 8;

}  // namespace

Score count_score(const CampaignState& state) {
  Score score;
  const int cells = std::min(state.cell_count(), kMaxCells);
  for (int n = 1; n <= cells; ++n) {
    const int team = team_index(state.field(n, owner).to_text());
    if (team == 0) continue;
    score.land[static_cast<std::size_t>(team - 1)] += 1;
    score.units[static_cast<std::size_t>(team - 1)] += unit_count(state.cells[static_cast<std::size_t>(n - 1)]);
  }
  int alive = 0;
  int candidate = 0;
  for (int t = 1; t <= kTeamCount; ++t) {
    if (score.land[static_cast<std::size_t>(t - 1)] > 0) {
      ++alive;
      candidate = t;
    }
  }
  if (state.action_count > 2 && alive == 1) score.winner = candidate;
  return score;
}

StatsLayout stats_layout(const CampaignState& state, int panel_width, int line_height) {
  StatsLayout layout;
  const float cells = static_cast<float>(std::max(1, state.grid_cols * state.grid_rows));
  const float land_scale = static_cast<float>(panel_width - kBarOffset) / cells;
  const float unit_scale = static_cast<float>(panel_width - kBarOffset) / (cells * 5);

  // The print position: each printed line starts at (x, y) and leaves x at 0 on the next line.
  int y = 20;
  layout.texts.push_back({10, y, "Turn: " + std::to_string(state.turn)});
  y += line_height;

  const int teams = std::clamp(state.team_count, 0, kTeamCount);
  int most_land = 0;
  int most_units = 0;
  std::array<int, kTeamCount> land_at_lead{};
  std::array<int, kTeamCount> units_at_lead{};
  for (int t = 0; t < teams; ++t) {
    const auto i = static_cast<std::size_t>(t);
    if (state.team_units[i] >= most_units) {
      most_units = state.team_units[i];
      units_at_lead[i] = most_units;
    }
    if (state.team_land[i] >= most_land) {
      most_land = state.team_land[i];
      land_at_lead[i] = most_land;
    }
  }

  for (int t = 0; t < teams; ++t) {
    const auto i = static_cast<std::size_t>(t);
    const int land = state.team_land[i];
    const int units = state.team_units[i];
    layout.texts.push_back({10, y, team_letter(t + 1) + "   Land   " + std::to_string(land)});
    y += line_height;
    if (land_at_lead[i] == most_land) layout.sprites.push_back({62, 15, y - 15});
    y -= 10;
    layout.bars.push_back({kBarOffset, y, land_scale * static_cast<float>(land), kLandBar});
    y += kBarHeight + 2;

    layout.texts.push_back({10, y, "    Kribbles " + std::to_string(units)});
    y += line_height;
    if (units_at_lead[i] == most_units) layout.sprites.push_back({61, 15, y - 15});
    y -= 10;
    layout.bars.push_back({kBarOffset, y, unit_scale * static_cast<float>(units), kUnitBar});
    y += kBarHeight + 8;
  }
  return layout;
}

}  // namespace zorvane
