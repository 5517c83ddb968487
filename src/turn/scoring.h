// Scoring: land and units per team, the winner test, and the layout of the statistics
// panel drawn from the counts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "campaign/state.h"
#include "common/palette.h"

namespace zorvane {

struct Score {
  std::array<int, kTeamCount> land{};
  std::array<int, kTeamCount> units{};
  // The team (1..10) that alone owns land, once more than two actions were resolved.
  std::optional<int> winner;
};

// Counts land and units per team over the cells in use (owners compared exactly with
// "A".."J"; a cell's units are its unit count) and applies the winner test.
Score count_score(const CampaignState& state);

// The statistics panel's contents, positioned as the panel prints them.
struct StatsText {
  int x = 0;
  int y = 0;  // top of the text
  std::string text;
};
struct StatsSprite {
  int picid = 0;  // 62 flag (most land), 61 unit (most units)
  int x = 0;
  int y = 0;
};
struct StatsBar {
  int x = 0;
  int y = 0;
  float width = 0;  // land or units times its scale; a bar as wide as the panel less 120
  ColorValue colour = 0;
};
struct StatsLayout {
  std::vector<StatsText> texts;
  std::vector<StatsSprite> sprites;
  std::vector<StatsBar> bars;
};

// Lays out the panel of width `panel_width` whose font is `line_height` pixels high:
// "Turn: " and the turn, then per team its land and units as text and bars, the leaders
// in land and in units (greater-or-equal in team order) marked with the flag and the unit.
StatsLayout stats_layout(const CampaignState& state, int panel_width, int line_height);

}  // namespace zorvane
