#include "turn/computer_player.h"

#include <cmath>

#include "common/text.h"

namespace zorvane {
namespace {

// A draw of 1..sides.
int draw(AiRandom& random, int sides) { return static_cast<int>(std::floor(sides * random.uniform() + 1)); }

}  // namespace

AiChoice choose_ai_action(const CampaignState& state, const Settings& settings, AiRandom& random) {
  const std::string team = team_letter(state.current_team);
  const double threshold = numeric_value(settings.augment_below);
  const int cells = std::min(state.cell_count(), kMaxCells);
  const bool upwards = draw(random, 2) == 1;
  for (int k = 0; k < cells; ++k) {
    const int i = upwards ? 1 + k : cells - k;
    const std::string cell_owner = state.field(i, owner).to_text();
    if (team.empty() || cell_owner != team) continue;
    if (unit_count(state.cells[static_cast<std::size_t>(i - 1)]) < threshold) return {AiChoice::Kind::augment, i, 0};
    const std::string& pattern = settings.movement_patterns[static_cast<std::size_t>(draw(random, kMovementPatterns) - 1)];
    for (std::size_t c = 0; c < std::min<std::size_t>(pattern.size(), 8); ++c) {
      if (pattern[c] < '1' || pattern[c] > '8') continue;
      const std::optional<int> n = compass_neighbour(state, i, pattern[c] - '0');
      if (!n || state.field(*n, owner).to_text() == cell_owner) continue;
      // Holes ("0") and every team's home cell (a letter) read as 0 and are never targets.
      if (numeric_value(state.field(*n, terrain).to_text()) == 0) continue;
      return {AiChoice::Kind::advance, i, *n};
    }
  }
  return {};
}

Action computer_action(const CampaignState& state, const Settings& settings, const Roster& cdata, AiRandom& random) {
  const AiChoice choice = choose_ai_action(state, settings, random);
  const int team = state.current_team;
  switch (choice.kind) {
    case AiChoice::Kind::augment: {
      Action fill{ActionKind::fill, choice.cell, choice.cell, {}, {}, whole_value(settings.augment_max_fill)};
      if (team < 1 || team > kTeamCount) return fill;
      const auto& roster = cdata[static_cast<std::size_t>(team - 1)];
      const int units = unit_count(state.cells[static_cast<std::size_t>(choice.cell - 1)]);
      for (long long s = units + 1; s <= std::min<long long>(fill.fill_target, kRosterSlots); ++s) {
        const std::string& entry = roster[static_cast<std::size_t>(s - 1)];
        fill.units.push_back(s >= 2 && !is_blank(entry) ? entry : roster[0]);
      }
      return fill;
    }
    case AiChoice::Kind::advance: {
      // All units but the last listed one take part; that one stays behind.
      Action advance = advance_action(state, choice.cell, choice.target, {});
      while (advance.stay.size() > 1) {
        advance.units.push_back(advance.stay.front());
        advance.stay.erase(advance.stay.begin());
      }
      return advance;
    }
    case AiChoice::Kind::pass:
      break;
  }
  return {};
}

}  // namespace zorvane
