#include "turn/resolution.h"

#include <algorithm>

#include "battle/battle_report.h"
#include "common/text.h"
#include "turn/scoring.h"

namespace zorvane {
namespace {

// Writes `first` then, when the first of `then` is not blank, `then` into the cell's slots
// from unit_1. The slots up to the fifth that are not written held only units listed in
// `then` (the panel lists every unit of slots 1 to 5), so they are emptied rather than left
// to hold a second copy; the slots beyond keep their units.
void fill_slots(Cell& cell, const std::vector<std::string>& first, const std::vector<std::string>& then) {
  std::vector<std::string> units = first;
  if (!then.empty() && !is_blank(then.front())) units.insert(units.end(), then.begin(), then.end());
  const std::size_t written = std::min<std::size_t>(units.size(), kUnitSlots);
  for (std::size_t k = 0; k < written; ++k) cell[static_cast<std::size_t>(unit_1 - 1) + k] = Value::text(units[k]);
  for (std::size_t k = written; k < static_cast<std::size_t>(kMaxChosenUnits); ++k) {
    cell[static_cast<std::size_t>(unit_1 - 1) + k] = Value();
  }
}

Cell& cell_of(CampaignState& state, int n) { return state.cells[static_cast<std::size_t>(n - 1)]; }

bool valid_cell(const CampaignState& state, int n) { return n >= 1 && n <= std::min(state.cell_count(), kMaxCells); }

}  // namespace

void pass_turn(CampaignState& state, bool count_turn) {
  if (count_turn && state.current_team == 1) ++state.turn;
  ++state.current_team;
  if (state.current_team > state.team_count) state.current_team = 1;
}

void skip_landless_players(CampaignState& state, const Settings& settings) {
  const int cells = std::min(state.cell_count(), kMaxCells);
  for (int tries = 0; tries < state.team_count; ++tries) {
    const int team = state.current_team;
    if (team < 1 || team > kTeamCount || settings.computer_controlled[static_cast<std::size_t>(team - 1)] == 1) return;
    const std::string letter = team_letter(team);
    for (int n = 1; n <= cells; ++n) {
      if (state.field(n, owner).to_text() == letter) return;
    }
    pass_turn(state, false);
  }
}

bool turn_limit_reached(const CampaignState& state, const Settings& settings) {
  return !is_blank(settings.turn_limit) && numeric_value(settings.turn_limit) == static_cast<double>(state.turn);
}

void end_at_turn_limit(CampaignState& state, TurnWorld& world) {
  world.message("Turn Limit Reached. Game Over", "Game Over");
  world.end_campaign();
  mnuScore_Click(state, world);
  world.hide_map();
}

ActionOutcome Command3_Click(CampaignState& state, ActionPanelModel& panel, const Settings& settings,
                             TurnWorld& world) {
  const int s = static_cast<int>(whole_value(panel.source));
  const int t = static_cast<int>(whole_value(panel.target));
  if (!panel.visible || !valid_cell(state, s) || !valid_cell(state, t)) return ActionOutcome::ignored;

  // Kept for an undo, should the battle not take place.
  const Cell source_before = cell_of(state, s);
  const std::string action_type_before = state.action_type;

  ++state.action_count;
  const std::string source_owner = state.field(s, owner).to_text();
  const std::string target_owner = state.field(t, owner).to_text();
  const bool advance = panel.mode == kAdvance;

  if (!advance) {
    state.action_type = "Add";
    fill_slots(cell_of(state, s), panel.chosen, panel.current);
  } else {
    for (int k = 0; k < kMaxChosenUnits; ++k) {
      const auto row = static_cast<std::size_t>(k);
      const bool listed = row < panel.available.size() && !is_blank(panel.available[row]);
      state.field(s, unit_1 + k) = listed ? Value::text(panel.available[row]) : Value();
    }
    const bool attack = !panel.current.empty() && !is_blank(target_owner) && target_owner != source_owner;
    if (attack) {
      state.action_type = "Attack";
      const BattleAnswer battle = world.fight_battle(state.field(t, terrain).to_text(), panel.chosen, panel.current);
      if (!battle.fought) {
        cell_of(state, s) = source_before;
        state.action_type = action_type_before;
        --state.action_count;
        close_panel(state, panel);
        world.message(battle.error + "\nThe attack was called off: no battle was fought and no unit was lost.",
                      "Notice");
        return ActionOutcome::undone;
      }
      apply_battle_outcome(battle_outcome(battle.report), cell_of(state, t), state.field(s, owner));
    } else {
      if (target_owner == source_owner) state.action_type = "Add";
      if (is_blank(target_owner)) state.action_type = "Move";
      if (!is_blank(target_owner) && panel.current.empty()) state.action_type = "Capture";
      fill_slots(cell_of(state, t), panel.chosen, panel.current);
      state.field(t, owner) = state.field(s, owner);
    }
  }

  state.new_count = 0;
  panel.visible = false;
  const int target_team = team_index(state.field(t, owner).to_text());
  world.draw_owner_badge(t, target_team);
  world.draw_count_badge(t, target_team, Value::whole(unit_count(cell_of(state, t))));
  world.draw_count_badge(s, team_index(state.field(s, owner).to_text()), Value::whole(unit_count(cell_of(state, s))));

  world.append_log(BattleLogEntry{s, source_owner, static_cast<long long>(panel.chosen.size()), panel.mode,
                                  state.action_type, t, target_owner});
  close_panel(state, panel);
  calcscore(state, world);
  pass_turn(state, true);
  if (settings.auto_snapshot == 1) world.snapshot();
  if (turn_limit_reached(state, settings)) end_at_turn_limit(state, world);
  return ActionOutcome::resolved;
}

}  // namespace zorvane
