#include "turn/players.h"

#include "turn/general_player.h"

namespace zorvane {

PlayerKind computer_player_of(const Settings& settings, int team) {
  if (team < 1 || team > kTeamCount) return PlayerKind::classic;
  return settings.computer_players[static_cast<std::size_t>(team - 1)];
}

std::string computer_player_name(const Settings& settings, int team) {
  return std::string(player_name(computer_player_of(settings, team)));
}

Action choose_computer_action(const CampaignState& state, const Settings& settings, const Roster& cdata,
                              AiRandom& random, const UnitStrengths& strengths) {
  switch (computer_player_of(settings, state.current_team)) {
    case PlayerKind::general: return general_choice(state, cdata, strengths, random).action;
    case PlayerKind::classic: break;
  }
  return computer_action(state, settings, cdata, random);
}

}  // namespace zorvane
