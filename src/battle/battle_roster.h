// The battle roster: ten rows that tie the tactical game's place numbers (the position
// of a unit among the scenario's "unit=" lines) back to the units and their sides.
#pragma once

#include <array>
#include <string>

namespace zorvane {

inline constexpr int kBattleRosterRows = 10;
inline constexpr char kAttackerSide[] = "1";
inline constexpr char kDefenderSide[] = "2";

struct BattleRosterRow {
  std::string score;  // filled from the result file; empty until then
  std::string side;   // "1" attacker, "2" defender, "" for a row that holds no entry
  std::string unit;   // the unit program's file name as listed in the action panel

  friend bool operator==(const BattleRosterRow&, const BattleRosterRow&) = default;
};

using BattleRoster = std::array<BattleRosterRow, kBattleRosterRows>;

}  // namespace zorvane
