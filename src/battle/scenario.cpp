#include "battle/scenario.h"

#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

namespace zorvane {
namespace {

// A check box's line: nothing for the greyed state, "yes" only when checked.
void add_switch(std::vector<std::string>& lines, const char* key, int check) {
  if (check == 2) return;
  lines.push_back(std::string(key) + "=" + (check == 1 ? "yes" : "no"));
}

}  // namespace

std::string Scenario::bytes() const { return join_crlf(lines); }

std::optional<int> terrain_map_index(std::string_view terrain) {
  const std::string t = trim(terrain);
  if (t.size() != 1) return std::nullopt;
  const char c = t[0];
  if (c >= '1' && c <= '5') return c - '1';
  if (c >= 'A' && c <= 'J') return 0;
  return std::nullopt;
}

std::string terrain_background(std::string_view terrain) {
  static const char* const kBackgrounds[] = {"Verdant Reach", "Dust Hollow", "Rustmoor", "Ashcrown",
                                             "Keldris IX"};
  const std::string t = trim(terrain);
  if (t.size() != 1 || t[0] < '1' || t[0] > '5') return {};
  return kBackgrounds[t[0] - '1'];
}

Scenario build_scenario(std::string_view terrain, const Settings& settings,
                        const std::vector<std::string>& attackers, const std::vector<std::string>& defenders) {
  Scenario scenario;
  auto& lines = scenario.lines;
  const std::string unit_folder = GetPath(settings.game_exe_path);

  std::vector<std::string> unit_lines;
  std::size_t row = 0;
  auto take = [&](const std::vector<std::string>& entries, const char* side) {
    for (const auto& entry : entries) {
      if (row >= scenario.roster.size()) return;  // ten rows at most, never more
      scenario.roster[row++] = BattleRosterRow{"", side, entry};
      if (!is_blank(entry)) unit_lines.push_back("unit=" + join_path(unit_folder, entry));
    }
  };
  take(attackers, kAttackerSide);
  take(defenders, kDefenderSide);

  lines.push_back("title=Zorvane Battle");
  if (const auto map = terrain_map_index(terrain)) {
    lines.push_back("map=" + trim(GetFileName(settings.terrain_maps[static_cast<std::size_t>(*map)])));
  }
  lines.push_back("damage=" + trim(settings.battle_damage));
  lines.push_back("fuel=" + trim(settings.battle_fuel));
  lines.insert(lines.end(), unit_lines.begin(), unit_lines.end());  // attackers, then defenders
  lines.push_back("ammo=" + trim(settings.battle_ammo));
  add_switch(lines, "lastalivebonus", settings.last_alive_bonus);
  add_switch(lines, "disablestrategynode", settings.disable_strategy_node);
  add_switch(lines, "shieldoverheat", settings.shield_overheat);
  lines.push_back("area=planetside");
  lines.push_back("iffoff=no");
  add_switch(lines, "bloodmode", settings.blood_mode);
  lines.push_back("clicklimit=" + trim(settings.battle_click_limit));
  lines.push_back("overheat=30");
  lines.push_back("flagguns=30");
  lines.push_back("flagfill=350");
  lines.push_back("nodebonus=10");
  lines.push_back("nodefill=1");
  lines.push_back("nodeguns=1");
  const std::string background = terrain_background(terrain);
  if (!background.empty()) lines.push_back("mapbackbmp=" + background);
  return scenario;
}

}  // namespace zorvane
