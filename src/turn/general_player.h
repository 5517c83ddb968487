// "General", a computer player that judges force before it fights: it fills its cells to
// five with the strongest unit of its roster, attacks with a whole stack when the stack's
// strength beats the defenders' by kGeneralOdds, takes empty cells with one unit, marches
// its strongest stack towards the enemy, and goes for home cells too. It makes only
// moves a player could make through the action panel: the eight cells around a cell, at
// most five units, units from its own cells and its team's roster.
#pragma once

#include "battle/unit_strength.h"
#include "campaign/state.h"
#include "config/roster.h"
#include "turn/computer_player.h"
#include "turn/engine.h"

namespace zorvane {

// The odds (the attackers' strength over the defenders') a General attacks with: at 1.6
// the attackers win about 19 battles in 20. Below that it attacks only with the least odds,
// even ones, and only when it has nothing better to do.
inline constexpr double kGeneralOdds = 1.6;
inline constexpr double kGeneralLeastOdds = 1.0;

struct GeneralChoice {
  Action action;    // a pass when there is nothing to do
  double odds = 0;  // an attack: the attackers' strength over the defenders'; 0 otherwise
};

// What the team to move does. Strengths come from `strengths` (a unit not in it counts as
// an average unit); `random` only breaks ties. Nothing changes here.
GeneralChoice general_choice(const CampaignState& state, const Roster& cdata, const UnitStrengths& strengths,
                             AiRandom& random);

}  // namespace zorvane
