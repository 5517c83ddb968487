// Resolving the action the panel has set up ("OK"): augment, move, capture or attack, then
// the badges, the battle log, the scoring, the turn passing to the next team, the automatic
// snapshot and the turn limit.
#pragma once

#include "campaign/state.h"
#include "config/settings.h"
#include "turn/action_panel.h"
#include "turn/world.h"

namespace zorvane {

enum class ActionOutcome {
  resolved,  // the action happened and the turn passed
  undone,    // its battle could not be fought: everything is as before "OK"
  ignored,   // the panel was not open for an action
};

// "OK" of the action panel. The source side of an advance is written before the battle, so
// the attackers have left their cell whatever the outcome; but a battle the world could
// not fight at all undoes the whole action (units, log, counters, turn) and says why.
ActionOutcome Command3_Click(CampaignState& state, ActionPanelModel& panel, const Settings& settings,
                             TurnWorld& world);

// Passes the turn: turn rises when team 1 ends an action; current_team wraps after the last.
void pass_turn(CampaignState& state, bool count_turn);

// Passes the turn on, as the computer player's pass does, while the team to move is played
// by the mouse and owns no cell: such a team can never click an action of its own, and
// the game would wait for it for ever.
void skip_landless_players(CampaignState& state, const Settings& settings);

// True when the turn limit is set (not blank) and equals the turn counter.
bool turn_limit_reached(const CampaignState& state, const Settings& settings);

// "Turn Limit Reached. Game Over", then the end of the campaign with the statistics.
void end_at_turn_limit(CampaignState& state, TurnWorld& world);

}  // namespace zorvane
