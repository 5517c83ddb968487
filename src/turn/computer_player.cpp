#include "turn/computer_player.h"

#include <cmath>

#include "common/text.h"

namespace zorvane {
namespace {

// A draw of 1..sides.
int draw(AiRandom& random, int sides) { return static_cast<int>(std::floor(sides * random.uniform() + 1)); }

void augment(CampaignState& state, const Settings& settings, const Roster& cdata, TurnWorld& world, int cell) {
  const std::string letter = state.field(cell, owner).to_text();
  const long long fill = whole_value(settings.augment_max_fill);
  state.action_type = "Add";
  const int team = state.current_team;
  if (team >= 1 && team <= kTeamCount) {
    const auto& roster = cdata[static_cast<std::size_t>(team - 1)];
    const int units = unit_count(state.cells[static_cast<std::size_t>(cell - 1)]);
    for (long long s = units + 1; s <= std::min<long long>(fill, kRosterSlots); ++s) {
      const std::string& entry = s >= 2 && !is_blank(roster[static_cast<std::size_t>(s - 1)])
                                     ? roster[static_cast<std::size_t>(s - 1)]
                                     : roster[0];
      state.field(cell, unit_1 + static_cast<int>(s) - 1) = Value::text(entry);
    }
  }
  // The badge shows what the cell holds now (the fill target may lie beyond five, or below
  // the units already there); the log keeps the fill target.
  world.draw_count_badge(cell, team_index(letter), Value::whole(unit_count(state.cells[static_cast<std::size_t>(cell - 1)])));
  pass_turn(state, true);
  world.append_log(BattleLogEntry{cell, letter, fill, std::string(kAugment), "Add", cell, letter});
  if (turn_limit_reached(state, settings)) end_at_turn_limit(state, world);
}

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

AiOutcome comp_ai(CampaignState& state, ActionPanelModel& panel, const Settings& settings, const Roster& cdata,
                  TurnWorld& world, AiRandom& random) {
  const AiChoice choice = choose_ai_action(state, settings, random);
  switch (choice.kind) {
    case AiChoice::Kind::augment:
      augment(state, settings, cdata, world, choice.cell);
      return AiOutcome::augmented;
    case AiChoice::Kind::advance: {
      b_mode(state, panel, cdata, choice.cell, choice.target);
      panel.chosen.clear();
      // All units but the last listed one take part; that one stays behind.
      while (panel.available.size() > 1) {
        panel.chosen.push_back(panel.available.front());
        panel.available.erase(panel.available.begin());
      }
      const ActionOutcome outcome = Command3_Click(state, panel, settings, world);
      return outcome == ActionOutcome::resolved ? AiOutcome::advanced : AiOutcome::undone;
    }
    case AiChoice::Kind::pass:
      break;
  }
  pass_turn(state, false);
  return AiOutcome::passed;
}

}  // namespace zorvane
