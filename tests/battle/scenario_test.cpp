#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "battle/scenario.h"
#include "common/paths.h"

namespace zorvane {
namespace {

Settings battle_settings() {
  Settings s;
  s.game_exe_path = "C:\\Games\\Vantor.exe";
  s.terrain_maps = {"C:\\maps\\green.map", "C:\\maps\\dark.map", "C:\\maps\\brown.map", "C:\\maps\\red.map",
                    "C:\\maps\\white.map"};
  s.battle_damage = "100";
  s.battle_fuel = "200";
  s.battle_ammo = "300";
  s.battle_click_limit = "500";
  return s;
}

std::vector<std::string> lines_with_prefix(const Scenario& scenario, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& line : scenario.lines) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  }
  return out;
}

bool has_line(const Scenario& scenario, const std::string& line) {
  return std::find(scenario.lines.begin(), scenario.lines.end(), line) != scenario.lines.end();
}

TEST(Scenario, AttackOnBrownTerrainNamesUnitsInGameFolder) {
  const Scenario s = build_scenario("3", battle_settings(), {"a.ai", "b.ai"}, {"c.ai"});
  EXPECT_EQ(lines_with_prefix(s, "unit="),
            (std::vector<std::string>{"unit=C:\\Games\\a.ai", "unit=C:\\Games\\b.ai", "unit=C:\\Games\\c.ai"}));
  EXPECT_EQ(s.roster[0], (BattleRosterRow{"", "1", "a.ai"}));
  EXPECT_EQ(s.roster[1], (BattleRosterRow{"", "1", "b.ai"}));
  EXPECT_EQ(s.roster[2], (BattleRosterRow{"", "2", "c.ai"}));
  for (std::size_t i = 3; i < s.roster.size(); ++i) EXPECT_EQ(s.roster[i], BattleRosterRow{}) << "row " << i + 1;
  EXPECT_EQ(lines_with_prefix(s, "map="), std::vector<std::string>{"map=brown.map"});
  EXPECT_EQ(lines_with_prefix(s, "mapbackbmp="), std::vector<std::string>{"mapbackbmp=Rustmoor"});
}

TEST(Scenario, WholeFileIsWrittenByteForByte) {
  Settings settings = battle_settings();
  settings.last_alive_bonus = 1;
  settings.shield_overheat = 1;
  const Scenario s = build_scenario("3", settings, {"a.ai", "b.ai"}, {"c.ai"});
  EXPECT_EQ(s.bytes(),
            "title=Zorvane Battle\r\n"
            "map=brown.map\r\n"
            "damage=100\r\n"
            "fuel=200\r\n"
            "unit=C:\\Games\\a.ai\r\n"
            "unit=C:\\Games\\b.ai\r\n"
            "unit=C:\\Games\\c.ai\r\n"
            "ammo=300\r\n"
            "lastalivebonus=yes\r\n"
            "disablestrategynode=no\r\n"
            "shieldoverheat=yes\r\n"
            "area=planetside\r\n"
            "iffoff=no\r\n"
            "bloodmode=no\r\n"
            "clicklimit=500\r\n"
            "overheat=30\r\n"
            "flagguns=30\r\n"
            "flagfill=350\r\n"
            "nodebonus=10\r\n"
            "nodefill=1\r\n"
            "nodeguns=1\r\n"
            "mapbackbmp=Rustmoor\r\n");
}

struct TerrainCase {
  const char* terrain;
  const char* map_line;   // "" for no line
  const char* backdrop;   // "" for no line
};

class ScenarioTerrain : public ::testing::TestWithParam<TerrainCase> {};

TEST_P(ScenarioTerrain, ChoosesMapAndBackdrop) {
  const TerrainCase c = GetParam();
  const Scenario s = build_scenario(c.terrain, battle_settings(), {"a.ai"}, {"c.ai"});
  const auto maps = lines_with_prefix(s, "map=");
  const auto backdrops = lines_with_prefix(s, "mapbackbmp=");
  if (*c.map_line) {
    EXPECT_EQ(maps, std::vector<std::string>{c.map_line});
    EXPECT_EQ(s.lines[1], c.map_line) << "the map line comes second";
  } else {
    EXPECT_TRUE(maps.empty());
    EXPECT_EQ(s.lines[1], "damage=100");
  }
  if (*c.backdrop) {
    EXPECT_EQ(backdrops, std::vector<std::string>{c.backdrop});
    EXPECT_EQ(s.lines.back(), c.backdrop) << "the backdrop line comes last";
  } else {
    EXPECT_TRUE(backdrops.empty());
    EXPECT_EQ(s.lines.back(), "nodeguns=1");
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllTerrains, ScenarioTerrain,
    ::testing::Values(TerrainCase{"1", "map=green.map", "mapbackbmp=Verdant Reach"},
                      TerrainCase{"2", "map=dark.map", "mapbackbmp=Dust Hollow"},
                      TerrainCase{"3", "map=brown.map", "mapbackbmp=Rustmoor"},
                      TerrainCase{"4", "map=red.map", "mapbackbmp=Ashcrown"},
                      TerrainCase{"5", "map=white.map", "mapbackbmp=Keldris IX"},
                      // A team's home cell: the light green map and no backdrop.
                      TerrainCase{"A", "map=green.map", ""}, TerrainCase{"C", "map=green.map", ""},
                      TerrainCase{"J", "map=green.map", ""},
                      // Anything else: neither line.
                      TerrainCase{"0", "", ""}, TerrainCase{"6", "", ""}, TerrainCase{"K", "", ""},
                      TerrainCase{"c", "", ""}, TerrainCase{"", "", ""}, TerrainCase{"12", "", ""}));

TEST(Scenario, MapLineTakesFileNamePartOfSetting) {
  Settings settings = battle_settings();
  settings.terrain_maps[0] = "D:\\maps\\hill.map";
  EXPECT_EQ(lines_with_prefix(build_scenario("1", settings, {"a.ai"}, {}), "map="),
            std::vector<std::string>{"map=hill.map"});
  settings.terrain_maps[0] = "C:\\hill.map";
  EXPECT_EQ(lines_with_prefix(build_scenario("1", settings, {"a.ai"}, {}), "map="),
            std::vector<std::string>{"map=hill.map"});
}

TEST(Scenario, MapSettingWithoutSeparatorIsWrittenWholeAndTrimmed) {
  Settings settings = battle_settings();
  settings.terrain_maps[2] = "hill.map";
  EXPECT_EQ(lines_with_prefix(build_scenario("3", settings, {"a.ai"}, {}), "map="),
            std::vector<std::string>{"map=hill.map"});
  settings.terrain_maps[2] = "  D:\\maps\\big hill.map  ";
  EXPECT_EQ(lines_with_prefix(build_scenario("3", settings, {"a.ai"}, {}), "map="),
            std::vector<std::string>{"map=big hill.map"});
}

TEST(Scenario, AllSwitchesUncheckedWriteNo) {
  const Scenario s = build_scenario("1", battle_settings(), {"a.ai"}, {"b.ai"});
  EXPECT_TRUE(has_line(s, "lastalivebonus=no"));
  EXPECT_TRUE(has_line(s, "disablestrategynode=no"));
  EXPECT_TRUE(has_line(s, "shieldoverheat=no"));
  EXPECT_TRUE(has_line(s, "bloodmode=no"));
}

TEST(Scenario, CheckedSwitchesWriteYes) {
  Settings settings = battle_settings();
  settings.last_alive_bonus = settings.disable_strategy_node = settings.shield_overheat = settings.blood_mode = 1;
  const Scenario s = build_scenario("1", settings, {"a.ai"}, {"b.ai"});
  EXPECT_TRUE(has_line(s, "lastalivebonus=yes"));
  EXPECT_TRUE(has_line(s, "disablestrategynode=yes"));
  EXPECT_TRUE(has_line(s, "shieldoverheat=yes"));
  EXPECT_TRUE(has_line(s, "bloodmode=yes"));
}

TEST(Scenario, GreyedSwitchWritesNoLineForItsKey) {
  Settings settings = battle_settings();
  settings.disable_strategy_node = 2;
  settings.blood_mode = 2;
  const Scenario s = build_scenario("1", settings, {"a.ai"}, {"b.ai"});
  EXPECT_TRUE(lines_with_prefix(s, "disablestrategynode=").empty());
  EXPECT_TRUE(lines_with_prefix(s, "bloodmode=").empty());
  EXPECT_TRUE(has_line(s, "lastalivebonus=no"));
  EXPECT_TRUE(has_line(s, "shieldoverheat=no"));
  EXPECT_EQ(s.lines.size(), 19u) << "two lines fewer than the usual 21";
}

TEST(Scenario, FixedLinesComeInOrderForEveryBattle) {
  for (const char* terrain : {"1", "B", "0"}) {
    const Scenario s = build_scenario(terrain, battle_settings(), {"a.ai"}, {"b.ai", "c.ai"});
    std::vector<std::string> fixed;
    for (const auto& line : s.lines) {
      if (line.rfind("title=", 0) == 0 || line.rfind("area=", 0) == 0 || line.rfind("iffoff=", 0) == 0 ||
          line.rfind("overheat=", 0) == 0 || line.rfind("flag", 0) == 0 || line.rfind("node", 0) == 0) {
        fixed.push_back(line);
      }
    }
    EXPECT_EQ(fixed, (std::vector<std::string>{"title=Zorvane Battle", "area=planetside", "iffoff=no", "overheat=30",
                                               "flagguns=30", "flagfill=350", "nodebonus=10", "nodefill=1",
                                               "nodeguns=1"}))
        << "terrain " << terrain;
    EXPECT_EQ(s.lines.front(), "title=Zorvane Battle");
  }
}

TEST(Scenario, LinesFollowTheFixedOrder) {
  const Scenario s = build_scenario("2", battle_settings(), {"a.ai"}, {"b.ai"});
  std::vector<std::string> keys;
  for (const auto& line : s.lines) keys.push_back(line.substr(0, line.find('=')));
  EXPECT_EQ(keys, (std::vector<std::string>{"title", "map", "damage", "fuel", "unit", "unit", "ammo",
                                            "lastalivebonus", "disablestrategynode", "shieldoverheat", "area",
                                            "iffoff", "bloodmode", "clicklimit", "overheat", "flagguns", "flagfill",
                                            "nodebonus", "nodefill", "nodeguns", "mapbackbmp"}));
}

TEST(Scenario, ValueSettingsAreTrimmedAndMayBeEmpty) {
  Settings settings = battle_settings();
  settings.battle_damage = "  150 ";
  settings.battle_fuel = "";
  settings.battle_ammo = "   ";
  settings.battle_click_limit = " 9 9 ";
  const Scenario s = build_scenario("1", settings, {"a.ai"}, {});
  EXPECT_TRUE(has_line(s, "damage=150"));
  EXPECT_TRUE(has_line(s, "fuel="));
  EXPECT_TRUE(has_line(s, "ammo="));
  EXPECT_TRUE(has_line(s, "clicklimit=9 9"));
}

TEST(Scenario, UnitLinesAreNotTrimmed) {
  Settings settings = battle_settings();
  const Scenario s = build_scenario("1", settings, {" a.ai "}, {"b.ai"});
  EXPECT_EQ(lines_with_prefix(s, "unit="),
            (std::vector<std::string>{"unit=C:\\Games\\ a.ai ", "unit=C:\\Games\\b.ai"}));
  EXPECT_EQ(s.roster[0].unit, " a.ai ");
}

TEST(Scenario, GameInRootOrUnixFolderJoinsWithItsOwnSeparator) {
  Settings settings = battle_settings();
  // "C:" holds no separator to follow, so the platform's joins it.
  settings.game_exe_path = "C:\\Vantor.exe";
  EXPECT_EQ(lines_with_prefix(build_scenario("1", settings, {"a.ai"}, {}), "unit="),
            std::vector<std::string>{std::string("unit=C:") + platform_separator() + "a.ai"});
  settings.game_exe_path = "/opt/my games/vantor/Vantor.exe";
  EXPECT_EQ(lines_with_prefix(build_scenario("1", settings, {"a.ai"}, {}), "unit="),
            std::vector<std::string>{"unit=/opt/my games/vantor/a.ai"});
}

TEST(Scenario, EmptyGamePathGivesUnitLinesStartingWithSeparator) {
  Settings settings = battle_settings();
  settings.game_exe_path = "";
  EXPECT_EQ(lines_with_prefix(build_scenario("1", settings, {"a.ai"}, {}), "unit="),
            std::vector<std::string>{std::string("unit=") + platform_separator() + "a.ai"});
}

TEST(Scenario, BlankEntryTakesRosterRowButWritesNoUnitLine) {
  const Scenario s = build_scenario("1", battle_settings(), {"a.ai", "  "}, {"c.ai"});
  EXPECT_EQ(lines_with_prefix(s, "unit="),
            (std::vector<std::string>{"unit=C:\\Games\\a.ai", "unit=C:\\Games\\c.ai"}));
  EXPECT_EQ(s.roster[1], (BattleRosterRow{"", "1", "  "}));
  EXPECT_EQ(s.roster[2], (BattleRosterRow{"", "2", "c.ai"}));
}

TEST(Scenario, MoreThanTenEntriesKeepTheFirstTenRows) {
  std::vector<std::string> attackers, defenders;
  for (int i = 1; i <= 7; ++i) attackers.push_back("a" + std::to_string(i) + ".ai");
  for (int i = 1; i <= 6; ++i) defenders.push_back("d" + std::to_string(i) + ".ai");
  const Scenario s = build_scenario("1", battle_settings(), attackers, defenders);
  EXPECT_EQ(lines_with_prefix(s, "unit=").size(), 10u);
  EXPECT_EQ(s.roster[6], (BattleRosterRow{"", "1", "a7.ai"}));
  EXPECT_EQ(s.roster[7], (BattleRosterRow{"", "2", "d1.ai"}));
  EXPECT_EQ(s.roster[9], (BattleRosterRow{"", "2", "d3.ai"}));
  EXPECT_EQ(lines_with_prefix(s, "unit=").back(), "unit=C:\\Games\\d3.ai");
}

TEST(Scenario, NoUnitsStillWritesTheOtherLines) {
  const Scenario s = build_scenario("1", battle_settings(), {}, {});
  EXPECT_TRUE(lines_with_prefix(s, "unit=").empty());
  EXPECT_EQ(s.lines.size(), 19u);
  for (const auto& row : s.roster) EXPECT_EQ(row, BattleRosterRow{});
}

}  // namespace
}  // namespace zorvane
