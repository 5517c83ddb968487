// The one door to the computer players, for every driver: the player the settings choose
// for the team to move ("Classic" unless told otherwise) makes the choice.
#pragma once

#include <string>

#include "battle/unit_strength.h"
#include "campaign/state.h"
#include "config/computer_players.h"
#include "config/roster.h"
#include "config/settings.h"
#include "turn/computer_player.h"
#include "turn/engine.h"

namespace zorvane {

// The player chosen for a team (1..10); Classic for any other number.
PlayerKind computer_player_of(const Settings& settings, int team);

// "Classic" or "General": the name of the player chosen for a team, as the window shows it.
std::string computer_player_name(const Settings& settings, int team);

// The action of the player chosen for the team to move. Strengths are what the General
// knows of the units (an empty table: it judges on counts); Classic does not use them.
Action choose_computer_action(const CampaignState& state, const Settings& settings, const Roster& cdata,
                              AiRandom& random, const UnitStrengths& strengths);

}  // namespace zorvane
