#include "turn/engine.h"

#include <algorithm>
#include <utility>

#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/text.h"
#include "turn/scoring.h"

namespace zorvane {
namespace {

bool valid_cell(const CampaignState& state, int n) { return n >= 1 && n <= std::min(state.cell_count(), kMaxCells); }

Cell& cell_of(CampaignState& state, int n) { return state.cells[static_cast<std::size_t>(n - 1)]; }
const Cell& cell_of(const CampaignState& state, int n) { return state.cells[static_cast<std::size_t>(n - 1)]; }

// The non-blank units of slots 1 to 5, in slot order, as stored.
std::vector<std::string> listed_units(const CampaignState& state, int n) {
  std::vector<std::string> units;
  for (int slot = unit_1; slot < unit_1 + kListedSlots; ++slot) {
    const Value& unit = state.field(n, slot);
    if (!unit.is_blank()) units.push_back(unit.to_text());
  }
  return units;
}

// Writes `first` then `then` into the cell's slots from unit_1. The slots up to the fifth
// that are not written held only units listed in `then` (every unit of slots 1 to 5 is
// listed), so they are emptied rather than left holding a second copy; the slots beyond
// keep their units.
void fill_slots(Cell& cell, const std::vector<std::string>& first, const std::vector<std::string>& then) {
  std::vector<std::string> units = first;
  units.insert(units.end(), then.begin(), then.end());
  const std::size_t written = std::min<std::size_t>(units.size(), kUnitSlots);
  for (std::size_t k = 0; k < written; ++k) cell[static_cast<std::size_t>(unit_1 - 1) + k] = Value::text(units[k]);
  for (std::size_t k = written; k < static_cast<std::size_t>(kListedSlots); ++k) {
    cell[static_cast<std::size_t>(unit_1 - 1) + k] = Value();
  }
}

bool owns_land(const CampaignState& state, int team) {
  const std::string letter = team_letter(team);
  if (letter.empty()) return false;
  const int cells = std::min(state.cell_count(), kMaxCells);
  for (int n = 1; n <= cells; ++n) {
    if (state.field(n, owner).to_text() == letter) return true;
  }
  return false;
}

bool same_units(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

std::string cell_name(int n) { return "cell " + std::to_string(n); }

}  // namespace

Action advance_action(const CampaignState& state, int from, int to, const std::vector<std::string>& units) {
  Action action{ActionKind::advance, from, to, units, {}, 0};
  if (!valid_cell(state, from)) return action;
  std::vector<std::string> left = units;
  for (const std::string& unit : listed_units(state, from)) {
    const auto chosen = std::find(left.begin(), left.end(), unit);
    if (chosen != left.end()) {
      left.erase(chosen);
    } else {
      action.stay.push_back(unit);
    }
  }
  return action;
}

std::string battle_summary_text(const BattleSummary& b) {
  const auto units = [](int n) { return std::to_string(n) + (n == 1 ? " unit" : " units"); };
  const std::string defender = b.defender.empty() ? "nobody" : "team " + b.defender;
  std::string text = "Turn " + std::to_string(b.turn) + ", cell " + std::to_string(b.cell) + ": team " + b.attacker;
  if (b.result == BattleSummary::Result::called_off) {
    return text + " attacked " + defender + " with " + units(b.attackers_before) + " against " +
           std::to_string(b.defenders_before) + "; the battle was not fought (" + b.reason +
           "), no unit was lost and team " + b.holder + " still holds the cell.";
  }
  text += " attacked " + defender + ", " + units(b.attackers_before) + " against " + std::to_string(b.defenders_before) +
          "; after the battle " + std::to_string(b.attackers_after) + " against " + std::to_string(b.defenders_after) + ": team " +
          b.holder + (b.result == BattleSummary::Result::captured ? " takes the cell." : " holds the cell.");
  return text;
}

bool turn_limit_reached(const CampaignState& state, const Settings& settings) {
  return !is_blank(settings.turn_limit) && numeric_value(settings.turn_limit) == static_cast<double>(state.turn);
}

int turn_counting_team(const CampaignState& state) {
  for (int team = 1; team <= kTeamCount; ++team) {
    if (owns_land(state, team)) return team;
  }
  return 0;
}

TurnEngine::TurnEngine(const Settings& settings, const Roster& rosters) : settings_(settings), rosters_(rosters) {}

TurnEngine::~TurnEngine() = default;

CampaignState& TurnEngine::campaign() const {
  // Made when first asked for: a window that has not started a campaign yet need not hold
  // the cell table.
  if (!campaign_) campaign_ = std::make_unique<CampaignState>();
  return *campaign_;
}

std::optional<std::string> TurnEngine::start_new(const std::string& map_path, int picture_width, int picture_height) {
  const MapReadResult read = read_map_file(map_path);
  if (!read.ok()) return read.error;
  // A campaign starts whole: team A to move, no turn, no action counted yet.
  CampaignState fresh;
  apply_map(*read.map, picture_width, picture_height, fresh);
  start(std::move(fresh));
  return std::nullopt;
}

std::optional<std::string> TurnEngine::start_saved(const std::string& save_path, const std::vector<std::string>& folders,
                                                   int picture_width, int picture_height) {
  CampaignLoadResult loaded = load_campaign_save(save_path, folders, picture_width, picture_height);
  if (!loaded.ok()) return loaded.error;
  start(std::move(*loaded.state));
  return std::nullopt;
}

void TurnEngine::start(CampaignState state) {
  campaign() = std::move(state);  // into the same object: references to the state stay good
  phase_ = Phase::playing;
  pending_action_.reset();
  pending_battle_.reset();
  battles_ = 0;
  passes_in_a_row_ = 0;
  TurnEvents ignored;
  skip_teams_without_land(ignored);
}

bool TurnEngine::computer_plays(int team) const {
  return team >= 1 && team <= kTeamCount && settings_.computer_controlled[static_cast<std::size_t>(team - 1)] == 1;
}

std::optional<std::string> TurnEngine::check(const Action& a) const {
  switch (phase_) {
    case Phase::no_campaign: return "no campaign is being played";
    case Phase::battle_pending: return "a battle is in progress";
    case Phase::ended: return "the campaign is over";
    case Phase::playing: break;
  }
  if (a.kind == ActionKind::pass) return std::nullopt;
  if (!valid_cell(state(), a.from) || !valid_cell(state(), a.to)) return "the cells lie outside the map";
  const std::string team = team_letter(state().current_team);
  const std::string source_owner = state().field(a.from, owner).to_text();
  if (team.empty() || source_owner != team) {
    return cell_name(a.from) + " is not team " + team + "'s, and team " + team + " is to move";
  }
  const std::string terrain_text = state().field(a.to, terrain).to_text();
  if (terrain_text.empty() || terrain_text == "0") return cell_name(a.to) + " is no cell of the map";
  if (a.kind == ActionKind::advance) {
    if (a.from == a.to || !within_one_step(state(), a.from, a.to)) {
      return cell_name(a.to) + " is not next to " + cell_name(a.from);
    }
  } else if (a.from != a.to) {
    return "units are added to the cell they are chosen on";
  }

  const std::vector<std::string> target_units = listed_units(state(), a.to);
  const int count = static_cast<int>(a.units.size());
  switch (a.kind) {
    case ActionKind::advance: {
      std::vector<std::string> all = a.units;
      all.insert(all.end(), a.stay.begin(), a.stay.end());
      if (!same_units(all, listed_units(state(), a.from))) return "the units are not those of " + cell_name(a.from);
      const bool own_target = state().field(a.to, owner).to_text() == source_owner;
      const int room = own_target ? kListedSlots - static_cast<int>(target_units.size()) : kListedSlots;
      if (count > std::max(room, 0)) return cell_name(a.to) + " cannot take " + std::to_string(count) + " more units";
      break;
    }
    case ActionKind::augment: {
      if (static_cast<int>(target_units.size()) >= kListedSlots) return cell_name(a.to) + " is full";
      if (count > kListedSlots - static_cast<int>(target_units.size())) {
        return cell_name(a.to) + " cannot take " + std::to_string(count) + " more units";
      }
      const auto& roster = rosters_[static_cast<std::size_t>(state().current_team - 1)];
      for (const std::string& unit : a.units) {
        if (is_blank(unit) || std::find(roster.begin(), roster.end(), unit) == roster.end()) {
          return quoted_excerpt(unit) + " is not in team " + team + "'s roster";
        }
      }
      break;
    }
    case ActionKind::fill: {
      if (count > 0 && unit_count(cell_of(state(), a.to)) + count > kListedSlots) {
        return cell_name(a.to) + " cannot take " + std::to_string(count) + " more units";
      }
      const auto& roster = rosters_[static_cast<std::size_t>(state().current_team - 1)];
      for (const std::string& unit : a.units) {
        if (std::find(roster.begin(), roster.end(), unit) == roster.end()) {
          return quoted_excerpt(unit) + " is not in team " + team + "'s roster";
        }
      }
      break;
    }
    case ActionKind::pass: break;
  }
  return std::nullopt;
}

TurnEvents TurnEngine::act(const Action& action) {
  if (const auto why = check(action)) {
    TurnEvents rejected;
    rejected.reason = *why;
    rejected.team = state().current_team;
    return rejected;
  }
  if (action.kind == ActionKind::advance) {
    const std::string source_owner = state().field(action.from, owner).to_text();
    const std::string target_owner = state().field(action.to, owner).to_text();
    const std::vector<std::string> defenders = listed_units(state(), action.to);
    if (!defenders.empty() && !is_blank(target_owner) && target_owner != source_owner) {
      // The campaign stays as it is until the battle's answer.
      BattleRequest request;
      request.attacking_team = state().current_team;
      request.defending_team = team_index(target_owner);
      request.from = action.from;
      request.cell = action.to;
      request.terrain = state().field(action.to, terrain).to_text();
      request.attackers = action.units;
      request.defenders = defenders;
      request.number = battles_ + 1;
      pending_action_ = action;
      pending_battle_ = request;
      phase_ = Phase::battle_pending;
      TurnEvents events;
      events.result = TurnEvents::Result::battle_pending;
      events.team = state().current_team;
      events.battle = std::move(request);
      return events;
    }
  }
  return resolve(action, nullptr);
}

TurnEvents TurnEngine::answer_battle(const BattleAnswer& answer) {
  TurnEvents events;
  events.team = state().current_team;
  if (phase_ != Phase::battle_pending || !pending_action_ || !pending_battle_) {
    events.reason = "no battle is pending";
    return events;
  }
  const Action action = *std::exchange(pending_action_, std::nullopt);
  const BattleRequest request = *std::exchange(pending_battle_, std::nullopt);
  phase_ = Phase::playing;
  BattleSummary summary;
  summary.turn = state().turn;
  summary.cell = request.cell;
  summary.attacker = team_letter(request.attacking_team);
  summary.defender = state().field(request.cell, owner).to_text();
  summary.attackers_before = static_cast<int>(request.attackers.size());
  summary.defenders_before = static_cast<int>(request.defenders.size());
  if (answer.kind != BattleAnswer::Kind::fought) {
    events.result = TurnEvents::Result::undone;
    events.battle = request;
    events.reason = answer.kind == BattleAnswer::Kind::aborted ? "The battle was aborted." : answer.reason;
    summary.result = BattleSummary::Result::called_off;
    summary.holder = summary.defender;
    summary.reason = answer.kind == BattleAnswer::Kind::aborted ? "aborted" : "the game could not fight it";
    events.summary = summary;
    return events;
  }
  ++battles_;
  TurnEvents resolved = resolve(action, &answer);
  resolved.battle = request;
  if (resolved.outcome) {
    summary.attackers_after = resolved.outcome->attackers;
    summary.defenders_after = resolved.outcome->defenders;
    summary.result = resolved.outcome->captured() ? BattleSummary::Result::captured : BattleSummary::Result::held;
  }
  summary.holder = state().field(request.cell, owner).to_text();
  resolved.summary = summary;
  return resolved;
}

TurnEvents TurnEngine::resolve(const Action& action, const BattleAnswer* battle) {
  TurnEvents events;
  events.team = state().current_team;
  if (action.kind == ActionKind::pass) {
    events.result = TurnEvents::Result::passed;
    pass_turn(false);
    ++passes_in_a_row_;
    skip_teams_without_land(events);
    return events;
  }
  events.result = TurnEvents::Result::resolved;
  passes_in_a_row_ = 0;
  ++state().action_count;
  const int s = action.from;
  const int t = action.to;
  const std::string source_owner = state().field(s, owner).to_text();
  const std::string target_owner = state().field(t, owner).to_text();

  if (action.kind == ActionKind::fill) {
    state().action_type = "Add";
    const int units = unit_count(cell_of(state(), s));
    for (std::size_t k = 0; k < action.units.size(); ++k) {
      state().field(s, unit_1 + units + static_cast<int>(k)) = Value::text(action.units[k]);
    }
    // The badge shows what the cell holds now; the log keeps the fill target.
    events.badges.push_back({Badge::Kind::count, s, team_index(source_owner), unit_count(cell_of(state(), s))});
    pass_turn(true);
    events.log = BattleLogEntry{s, source_owner, action.fill_target, "Augment", "Add", s, source_owner};
  } else {
    const bool advance = action.kind == ActionKind::advance;
    if (!advance) {
      state().action_type = "Add";
      fill_slots(cell_of(state(), s), action.units, listed_units(state(), s));
    } else {
      const std::vector<std::string> target_units = listed_units(state(), t);
      for (int k = 0; k < kListedSlots; ++k) {
        const auto row = static_cast<std::size_t>(k);
        state().field(s, unit_1 + k) = row < action.stay.size() ? Value::text(action.stay[row]) : Value();
      }
      if (battle) {
        state().action_type = "Attack";
        const BattleOutcome outcome = battle_outcome(battle->report);
        apply_battle_outcome(outcome, cell_of(state(), t), state().field(s, owner));
        events.outcome = outcome;
      } else {
        if (target_owner == source_owner) state().action_type = "Add";
        if (is_blank(target_owner)) state().action_type = "Move";
        if (!is_blank(target_owner) && target_units.empty()) state().action_type = "Capture";
        fill_slots(cell_of(state(), t), action.units, target_units);
        state().field(t, owner) = state().field(s, owner);
      }
    }
    state().new_count = 0;
    const int target_team = team_index(state().field(t, owner).to_text());
    events.badges.push_back({Badge::Kind::owner, t, target_team, 0});
    events.badges.push_back({Badge::Kind::count, t, target_team, unit_count(cell_of(state(), t))});
    events.badges.push_back(
        {Badge::Kind::count, s, team_index(state().field(s, owner).to_text()), unit_count(cell_of(state(), s))});
    events.log = BattleLogEntry{s, source_owner, static_cast<long long>(action.units.size()),
                                std::string(advance ? "Advance" : "Augment"), state().action_type, t, target_owner};
    const Score score = count();
    if (score.winner) events.ended = CampaignEnd{score.winner, false, false};
    pass_turn(true);
    events.snapshot = settings_.auto_snapshot == 1;
  }
  if (turn_limit_reached(state(), settings_)) {
    if (!events.ended) events.ended.emplace();
    events.ended->turn_limit = true;
  }
  if (events.ended) {
    phase_ = Phase::ended;
  } else {
    skip_teams_without_land(events);
  }
  return events;
}

void TurnEngine::pass_turn(bool count_turn) {
  if (count_turn && state().current_team == turn_counting_team(state())) ++state().turn;
  ++state().current_team;
  if (state().current_team > state().team_count) state().current_team = 1;
}

void TurnEngine::skip_teams_without_land(TurnEvents& events) {
  // A team without land can do nothing but pass: nobody could ever click an action for it.
  for (int tries = 0; tries < state().team_count && !owns_land(state(), state().current_team); ++tries) {
    events.skipped.push_back(state().current_team);
    pass_turn(false);
    ++passes_in_a_row_;
  }
  if (end_on_passes_ && phase_ == Phase::playing && passes_in_a_row_ >= std::max(state().team_count, 1)) {
    events.ended = CampaignEnd{std::nullopt, false, true};
    phase_ = Phase::ended;
  }
}

Score TurnEngine::count() {
  const Score score = count_score(state());
  state().team_land = score.land;
  state().team_units = score.units;
  // A winner found when counting for the statistics ends the campaign too.
  if (score.winner && phase_ == Phase::playing) phase_ = Phase::ended;
  return score;
}

}  // namespace zorvane
