// The turn engine: one campaign in play, for every driver (the window, the headless runner,
// tests). It starts a campaign from a map or a save, knows whose turn it is, passes teams
// without land, counts turns, finds the ends, and resolves actions given as values, the
// player's and the computer's alike. A battle is a request it hands out and an answer it
// takes later; in between the campaign stays as it was before the action.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "battle/battle_report.h"
#include "campaign/battle_log.h"
#include "campaign/state.h"
#include "config/roster.h"
#include "config/settings.h"
#include "turn/scoring.h"

namespace zorvane {

enum class ActionKind {
  pass,     // nothing: the turn goes on, no turn counted
  augment,  // roster units put before the cell's own (the action panel on an own cell)
  advance,  // units from a cell into a neighbour: a move, a capture, an add or an attack
  fill,     // the computer's augmentation: roster units after the cell's own, to a target
};

struct Action {
  ActionKind kind = ActionKind::pass;
  int from = 0;
  int to = 0;                       // from itself for augment and fill
  std::vector<std::string> units;   // chosen to move or to be added, in order
  std::vector<std::string> stay;    // advance: the units that stay on the source, in order
  long long fill_target = 0;        // fill: the unit count aimed at, as the log shows it
  friend bool operator==(const Action&, const Action&) = default;
};

// An advance of `units` from `from` to `to`: the rest of the source's units (slots 1 to 5,
// in slot order) stay.
Action advance_action(const CampaignState& state, int from, int to, const std::vector<std::string>& units);

struct BattleRequest {
  int attacking_team = 0;  // 1..10
  int defending_team = 0;  // 1..10, or 0 when the defenders' owner is no team letter
  int from = 0;
  int cell = 0;            // the cell fought over
  std::string terrain;     // its terrain
  std::vector<std::string> attackers;
  std::vector<std::string> defenders;  // slots 1 to 5 of the cell
  long number = 0;         // battles of this campaign, counted from 1
};

struct BattleAnswer {
  enum class Kind {
    fought,      // the report decides (a report of nothing: the defenders hold)
    not_fought,  // the game could not fight it: the action is undone, reason says why
    aborted,     // the user ended it: the action is undone too
  };
  Kind kind = Kind::not_fought;
  BattleReport report;
  std::string reason;
};

// A badge to draw again on the map, in the palette colour of `team`.
struct Badge {
  enum class Kind { owner, count };
  Kind kind = Kind::count;
  int cell = 0;
  int team = 0;
  long long count = 0;  // what a count badge shows
  friend bool operator==(const Badge&, const Badge&) = default;
};

// A battle as a player reads it: where, who attacked whom, the units of each side before
// and after, and who holds the cell afterwards.
struct BattleSummary {
  enum class Result { captured, held, called_off };
  Result result = Result::held;
  long turn = 0;
  int cell = 0;
  std::string attacker;     // the attacking team's letter
  std::string defender;     // the defending cell's owner
  int attackers_before = 0;
  int defenders_before = 0;
  int attackers_after = 0;  // survivors of each side (none after a called-off battle)
  int defenders_after = 0;
  std::string holder;       // who holds the cell afterwards
  std::string reason;       // called off: why
};

// "Turn 3, cell 12: team A attacked team B, 3 units against 2; after the battle 2 against
// 0: team A takes the cell." and the like for a held or called-off battle.
std::string battle_summary_text(const BattleSummary& summary);

struct CampaignEnd {
  std::optional<int> winner;      // the team left alone with land
  bool turn_limit = false;        // the turn limit was reached
  bool round_of_passes = false;   // every team passed in a row (when asked for)
};

// What one engine call did, for the drivers to draw, log and record.
struct TurnEvents {
  enum class Result {
    resolved,        // the action happened; the turn passed
    passed,          // the team passed
    battle_pending,  // `battle` must be fought and answered
    undone,          // the battle was not fought (or aborted): nothing changed
    rejected,        // the action could not be taken now: nothing changed
  };
  Result result = Result::rejected;
  std::string reason;                     // rejected or undone: why
  int team = 0;                           // the team that acted or passed
  std::vector<Badge> badges;              // to draw again, in order
  std::optional<BattleLogEntry> log;      // the battle log's line for the action
  std::optional<BattleRequest> battle;    // the battle asked for (pending) or fought
  std::optional<BattleOutcome> outcome;   // a fought battle's survivors
  std::optional<BattleSummary> summary;   // an answered battle, fought or called off
  bool snapshot = false;                  // the automatic snapshot is due
  std::vector<int> skipped;               // teams without land passed over afterwards
  std::optional<CampaignEnd> ended;       // the campaign ended with this call
};

class TurnEngine {
 public:
  enum class Phase { no_campaign, playing, battle_pending, ended };

  // The settings and rosters are read at each use, so an edit takes effect at once.
  TurnEngine(const Settings& settings, const Roster& rosters);

  // A new campaign on the map file, laid on a map picture of this size; the counters of the
  // run go on. Returns the reader's error, with nothing changed, when the map is unusable.
  std::optional<std::string> start_new(const std::string& map_path, int picture_width, int picture_height);
  // The saved campaign, whole; a relative map path in it is looked up in `folders`, the
  // first first.
  std::optional<std::string> start_saved(const std::string& save_path, const std::vector<std::string>& folders,
                                         int picture_width, int picture_height);
  // A campaign laid out by the caller (tests, tools), whole.
  void start(CampaignState state);

  Phase phase() const { return phase_; }
  bool started() const { return phase_ != Phase::no_campaign; }
  bool battle_pending() const { return phase_ == Phase::battle_pending; }
  bool ended() const { return phase_ == Phase::ended; }
  // The campaign. While a battle is pending, as it was before the action.
  const CampaignState& state() const { return state_; }
  // For the selection on the map (which lives in the state) and for tests and tools that
  // lay out a position; play itself goes through act().
  CampaignState& state() { return state_; }
  int team_to_move() const { return state_.current_team; }
  // Whether the computer plays this team (1..10), as the settings say now.
  bool computer_plays(int team) const;
  // The pending battle, if any.
  const std::optional<BattleRequest>& pending_battle() const { return pending_battle_; }

  // Ends the campaign when every team has passed in a row (the headless runner asks for it;
  // in the window a human team never passes).
  void end_on_round_of_passes(bool on) { end_on_passes_ = on; }

  // Carries out an action of the team to move. An attack leaves the campaign untouched and
  // returns battle_pending with the battle to fight.
  TurnEvents act(const Action& action);
  // The answer to the pending battle: fought, the action is resolved with its report; not
  // fought or aborted, it is undone (nothing changed, the same team to move).
  TurnEvents answer_battle(const BattleAnswer& answer);

  // Counts land and units into the state (team_land, team_units) and applies the winner
  // test, as after every action and for the statistics.
  Score count();

 private:
  std::optional<std::string> check(const Action& action) const;
  TurnEvents resolve(const Action& action, const BattleAnswer* battle);
  void pass_turn(bool count_turn);
  void skip_teams_without_land(TurnEvents& events);

  const Settings& settings_;
  const Roster& rosters_;
  CampaignState state_;
  Phase phase_ = Phase::no_campaign;
  std::optional<Action> pending_action_;
  std::optional<BattleRequest> pending_battle_;
  long battles_ = 0;
  int passes_in_a_row_ = 0;
  bool end_on_passes_ = false;
};

// True when the turn limit is set (not blank) and its value equals the turn counter.
bool turn_limit_reached(const CampaignState& state, const Settings& settings);

// The team whose action raises the turn counter: team A while it holds land, else the first
// team in letter order that does (0 when none does).
int turn_counting_team(const CampaignState& state);

}  // namespace zorvane
