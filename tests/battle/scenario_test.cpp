#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "battle/scenario.h"
#include "common/paths.h"

namespace zorvane {
namespace {

Settings battle_settings() {
  Settings s;
  s.game_exe_path = "C:\\Games\\Vantor.exe";
  s.terrain_maps = {"C:\\maps\\green.map", "C:\\maps\\dark.map", "C:\\maps\\brown.map", "C:\\maps\\red.map", "C:\\maps\\white.map"};
  std::tie(s.battle_damage, s.battle_fuel, s.battle_ammo, s.battle_click_limit) = std::tuple("100", "200", "300", "500");
  return s;
}

std::vector<std::string> lines_with_prefix(const Scenario& scenario, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& line : scenario.lines) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  }
  return out;
}

// The three unit lines name the game's folder; the brown map and its backdrop.
TEST(Scenario, AttackOnBrownTerrainIsWrittenByteForByteWithItsRoster) {
  Settings settings = battle_settings();
  // Each switch: 0 (unchecked) writes "no", 1 (checked) "yes", 2 (greyed) no line at all.
  std::tie(settings.last_alive_bonus, settings.disable_strategy_node, settings.shield_overheat, settings.blood_mode) =
      std::tuple(1, 0, 1, 2);
  const Scenario s = build_scenario("3", settings, {"a.ai", "b.ai"}, {"c.ai"});
  EXPECT_EQ(s.bytes(),
            "title=Zorvane Battle\r\nmap=brown.map\r\ndamage=100\r\nfuel=200\r\nunit=C:\\Games\\a.ai\r\nunit=C:\\Games\\b.ai\r\n"
            "unit=C:\\Games\\c.ai\r\nammo=300\r\nlastalivebonus=yes\r\ndisablestrategynode=no\r\nshieldoverheat=yes\r\n"
            "area=planetside\r\niffoff=no\r\nclicklimit=500\r\noverheat=30\r\nflagguns=30\r\nflagfill=350\r\n"
            "nodebonus=10\r\nnodefill=1\r\nnodeguns=1\r\nmapbackbmp=Rustmoor\r\n");
  EXPECT_EQ(s.roster, (BattleRoster{{{"", "1", "a.ai"}, {"", "1", "b.ai"}, {"", "2", "c.ai"}}}));
}

// Every battle writes the same fixed lines in the same order; the terrain only decides
// whether the map line (second) and the backdrop line (last) are there: the five terrains,
// a team's home cell (the light green map and no backdrop), and anything else (neither).
TEST(Scenario, TerrainChoosesMapAndBackdropAroundTheFixedLines) {
  for (const auto& [terrain, map_line, backdrop] :
       {std::tuple{"1", "map=green.map", "mapbackbmp=Verdant Reach"}, {"2", "map=dark.map", "mapbackbmp=Dust Hollow"},
        {"3", "map=brown.map", "mapbackbmp=Rustmoor"}, {"4", "map=red.map", "mapbackbmp=Ashcrown"},
        {"5", "map=white.map", "mapbackbmp=Keldris IX"}, {"A", "map=green.map", ""}, {"C", "map=green.map", ""},
        {"J", "map=green.map", ""}, {" 3 ", "map=brown.map", "mapbackbmp=Rustmoor"}, {"0", "", ""}, {"6", "", ""}, {"K", "", ""}, {"c", "", ""}, {"", "", ""}, {"12", "", ""}}) {
    std::vector<std::string> expected = {
        "title=Zorvane Battle", "damage=100", "fuel=200", "unit=C:\\Games\\a.ai", "unit=C:\\Games\\c.ai", "ammo=300",
        "lastalivebonus=no", "disablestrategynode=no", "shieldoverheat=no", "area=planetside", "iffoff=no", "bloodmode=no",
        "clicklimit=500", "overheat=30", "flagguns=30", "flagfill=350", "nodebonus=10", "nodefill=1", "nodeguns=1"};
    if (*map_line) expected.insert(expected.begin() + 1, map_line);
    if (*backdrop) expected.push_back(backdrop);
    EXPECT_EQ(build_scenario(terrain, battle_settings(), {"a.ai"}, {"c.ai"}).lines, expected) << terrain;
  }
}

// How one setting shapes its line. The unit entry " a.ai " keeps its spaces; the map
// line takes the setting's file name part; the unit line joins the game's folder with the
// folder's own separator (or the platform's when the folder has none).
TEST(Scenario, SettingShapesItsLine) {
  const std::string sep(1, platform_separator());
  struct Case {
    std::function<void(Settings&)> set;
    std::string line;
  };
  const std::vector<Case> cases = {
      {[](Settings& s) { s.terrain_maps[0] = "D:\\maps\\hill.map"; }, "map=hill.map"},
      {[](Settings& s) { s.terrain_maps[0] = "C:\\hill.map"; }, "map=hill.map"},
      {[](Settings& s) { s.terrain_maps[0] = "/srv/maps/hill.map"; }, "map=hill.map"},
      {[](Settings& s) { s.terrain_maps[0] = "hill.map"; }, "map=hill.map"},
      {[](Settings& s) { s.terrain_maps[0] = "  D:\\maps\\big hill.map  "; }, "map=big hill.map"},
      {[](Settings& s) { s.battle_damage = "  150 "; }, "damage=150"},
      {[](Settings& s) { s.battle_fuel = ""; }, "fuel="},
      {[](Settings& s) { s.battle_ammo = "   "; }, "ammo="},
      {[](Settings& s) { s.battle_click_limit = " 9 9 "; }, "clicklimit=9 9"},
      {[](Settings&) {}, "unit=C:\\Games\\ a.ai "},
      {[](Settings& s) { s.game_exe_path = "C:\\Vantor.exe"; }, "unit=C:" + sep + " a.ai "},
      {[](Settings& s) { s.game_exe_path = "/opt/my games/vantor/Vantor.exe"; }, "unit=/opt/my games/vantor/ a.ai "},
      {[](Settings& s) { s.game_exe_path = ""; }, "unit=" + sep + " a.ai "},
  };
  for (const auto& c : cases) {
    Settings settings = battle_settings();
    c.set(settings);
    const Scenario s = build_scenario("1", settings, {" a.ai "}, {});
    const std::string prefix = c.line.substr(0, c.line.find('=') + 1);
    EXPECT_EQ(lines_with_prefix(s, prefix), std::vector<std::string>{c.line}) << c.line;
  }
}

// Every entry takes the next roster row, blank or not, up to ten rows; only non-blank
// entries get a unit line.
TEST(Scenario, EntriesFillTheRosterRowsInOrder) {
  struct Case {
    const char* name;
    std::vector<std::string> attackers, defenders;
    std::vector<std::string> units;                   // the unit lines' entries
    std::vector<std::pair<const char*, std::string>> rows;  // side and unit of the rows used
  };
  const std::vector<Case> cases = {
      {"blank entry", {" a.ai ", "  "}, {"c.ai"}, {" a.ai ", "c.ai"}, {{"1", " a.ai "}, {"1", "  "}, {"2", "c.ai"}}},
      {"more than ten",
       {"a1", "a2", "a3", "a4", "a5", "a6", "a7"},
       {"d1", "d2", "d3", "d4", "d5", "d6"},
       {"a1", "a2", "a3", "a4", "a5", "a6", "a7", "d1", "d2", "d3"},
       {{"1", "a1"}, {"1", "a2"}, {"1", "a3"}, {"1", "a4"}, {"1", "a5"}, {"1", "a6"}, {"1", "a7"}, {"2", "d1"},
        {"2", "d2"}, {"2", "d3"}}},
      {"defenders only", {}, {"d1"}, {"d1"}, {{"2", "d1"}}},
      {"no units", {}, {}, {}, {}},
  };
  for (const auto& c : cases) {
    const Scenario s = build_scenario("1", battle_settings(), c.attackers, c.defenders);
    std::vector<std::string> units;
    for (const auto& entry : c.units) units.push_back("unit=C:\\Games\\" + entry);
    EXPECT_EQ(lines_with_prefix(s, "unit="), units) << c.name;
    EXPECT_EQ(s.lines.size(), 19 + units.size()) << c.name;
    for (std::size_t i = 0; i < s.roster.size(); ++i) {
      const BattleRosterRow expected =
          i < c.rows.size() ? BattleRosterRow{"", c.rows[i].first, c.rows[i].second} : BattleRosterRow{};
      EXPECT_EQ(s.roster[i], expected) << c.name << ", row " << i + 1;
    }
  }
}

}  // namespace
}  // namespace zorvane
