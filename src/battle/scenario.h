// The scenario file "zorvtmp.scn" that describes one battle to the tactical game, and
// the battle roster filled by the same pass.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_roster.h"
#include "config/settings.h"

namespace zorvane {

inline constexpr char kScenarioFileName[] = "zorvtmp.scn";

struct Scenario {
  std::vector<std::string> lines;  // key=value lines in file order, without line ends
  BattleRoster roster;             // attackers first (side "1"), then defenders (side "2")

  // The file's bytes: every line ended by CR LF.
  std::string bytes() const;
};

// Which terrain map setting (0..4: light green, dark green, brown, red, white) the terrain
// of the defending cell selects: "1".."5", or light green for a team's home cell "A".."J".
// Nothing for any other terrain.
std::optional<int> terrain_map_index(std::string_view terrain);

// The "mapbackbmp=" background for terrain "1".."5"; empty for any other terrain.
std::string terrain_background(std::string_view terrain);

// Builds the scenario for an attack on a cell of this terrain. The settings' game_exe_path
// is taken as given: the caller resolves a relative setting against the program folder
// first. Each list entry takes the next roster row, blank or not, but only non-blank
// entries get a "unit=" line. Entries beyond the ten rows are left out.
Scenario build_scenario(std::string_view terrain, const Settings& settings,
                        const std::vector<std::string>& attackers, const std::vector<std::string>& defenders);

}  // namespace zorvane
