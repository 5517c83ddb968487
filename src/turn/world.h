// What the turn engine needs from the world around it: fight a battle, draw badges, log,
// show a message, take a snapshot, show the statistics, end the campaign. The window
// implements it with the battle runner and the map painter, the headless campaign runner
// with the game launcher alone, tests with a fake that records the calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_report.h"
#include "campaign/battle_log.h"
#include "campaign/value.h"

namespace zorvane {

struct BattleAnswer {
  // False when no battle took place (the game could not be started, or its files could
  // not be written): the attack is then undone with no unit lost, and error says why.
  bool fought = false;
  BattleReport report;  // the battle roster with the scores the game gave
  std::string error;
};

class TurnWorld {
 public:
  virtual ~TurnWorld() = default;
  // Fights the battle for an attack on a cell of this terrain; returns when it is over.
  virtual BattleAnswer fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                                    const std::vector<std::string>& defenders) = 0;
  // Badge redraws on the map: team is the palette colour of the badge box.
  virtual void draw_owner_badge(int cell, int team) = 0;
  virtual void draw_count_badge(int cell, int team, const Value& shown) = 0;
  virtual void append_log(const BattleLogEntry& entry) = 0;
  // A message box with only an OK button.
  virtual void message(const std::string& text, const std::string& title) = 0;
  virtual void snapshot() = 0;
  // Draws the statistics panel from the stored counts and shows it.
  virtual void show_statistics() = 0;
  // The campaign is over: the computer player's clock stops for good.
  virtual void end_campaign() = 0;
  virtual void hide_map() = 0;
};

}  // namespace zorvane
