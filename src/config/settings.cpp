#include "config/settings.h"

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {

const std::array<SettingInfo, kConfigLineCount>& setting_table() {
  using K = SettingKind;
  static const std::array<SettingInfo, kConfigLineCount> table = {{
      {1, "game_exe_path", "Text1", "Location of Vantor.exe", K::Text},
      {2, "terrain_map_light_green", "Text2", "Light green terrain map", K::Text},
      {3, "terrain_map_dark_green", "Text3", "Dark green terrain", K::Text},
      {4, "terrain_map_brown", "Text4", "Brown terrain", K::Text},
      {5, "terrain_map_red", "Text5", "Red terrain", K::Text},
      {6, "terrain_map_white", "Text6", "White terrain", K::Text},
      {7, "battle_damage", "Text7", "Damage", K::Text},
      {8, "battle_fuel", "Text8", "Fuel", K::Text},
      {9, "battle_ammo", "Text9", "Ammo", K::Text},
      {10, "battle_click_limit", "Text10", "Limit", K::Text},
      {11, "last_alive_bonus", "Check1", "LBA", K::Check},
      {12, "disable_strategy_node", "Check2", "DSN", K::Check},
      {13, "shield_overheat", "Check3", "SOH", K::Check},
      {14, "blood_mode", "Check4", "BM", K::Check},
      {15, "computer_controlled_A", "Check5", "A", K::Check},
      {16, "computer_controlled_B", "Check6", "B", K::Check},
      {17, "computer_controlled_C", "Check7", "C", K::Check},
      {18, "computer_controlled_D", "Check8", "D", K::Check},
      {19, "computer_controlled_E", "Check9", "E", K::Check},
      {20, "computer_controlled_F", "Check10", "F", K::Check},
      {21, "computer_controlled_G", "Check11", "G", K::Check},
      {22, "computer_controlled_H", "Check12", "H", K::Check},
      {23, "computer_controlled_I", "Check13", "I", K::Check},
      {24, "computer_controlled_J", "Check14", "J", K::Check},
      {25, "augment_below", "Text12", "Augment area if below", K::Text},
      {26, "augment_max_fill", "Text13", "Maximum augmentation fill", K::Text},
      {27, "movement_pattern_1", "Text14", "Random Movement Paterns", K::Text},
      {28, "movement_pattern_2", "Text15", "Random Movement Paterns", K::Text},
      {29, "movement_pattern_3", "Text16", "Random Movement Paterns", K::Text},
      {30, "movement_pattern_4", "Text17", "Random Movement Paterns", K::Text},
      {31, "movement_pattern_5", "Text18", "Random Movement Paterns", K::Text},
      {32, "movement_pattern_6", "Text19", "Random Movement Paterns", K::Text},
      {33, "movement_pattern_7", "Text20", "Random Movement Paterns", K::Text},
      {34, "movement_pattern_8", "Text21", "Random Movement Paterns", K::Text},
      {35, "background_image", "Text22", "Shell background image", K::Text},
      {36, "turn_limit", "Text23", "Turn Limit", K::Text},
      {37, "auto_snapshot", "Check15", "Snap", K::Check},
      {38, "run_maximized", "Option11", "Run maximized", K::Option},
      {39, "set_size", "Option12", "Set Size", K::Option},
      {40, "window_width", "Text24", "Width", K::Text},
      {41, "window_height", "Text25", "Height", K::Text},
  }};
  return table;
}

std::string* text_setting(Settings& s, int line) {
  if (line == 1) return &s.game_exe_path;
  if (line >= 2 && line <= 6) return &s.terrain_maps[static_cast<std::size_t>(line - 2)];
  switch (line) {
    case 7: return &s.battle_damage;
    case 8: return &s.battle_fuel;
    case 9: return &s.battle_ammo;
    case 10: return &s.battle_click_limit;
    case 25: return &s.augment_below;
    case 26: return &s.augment_max_fill;
    case 35: return &s.background_image;
    case 36: return &s.turn_limit;
    case 40: return &s.window_width;
    case 41: return &s.window_height;
    default: break;
  }
  if (line >= 27 && line <= 34) return &s.movement_patterns[static_cast<std::size_t>(line - 27)];
  return nullptr;
}

const std::string* text_setting(const Settings& s, int line) {
  return text_setting(const_cast<Settings&>(s), line);
}

int* check_setting(Settings& s, int line) {
  switch (line) {
    case 11: return &s.last_alive_bonus;
    case 12: return &s.disable_strategy_node;
    case 13: return &s.shield_overheat;
    case 14: return &s.blood_mode;
    case 37: return &s.auto_snapshot;
    default: break;
  }
  if (line >= 15 && line <= 24) return &s.computer_controlled[static_cast<std::size_t>(line - 15)];
  return nullptr;
}

const int* check_setting(const Settings& s, int line) { return check_setting(const_cast<Settings&>(s), line); }

int parse_check(std::string_view line) {
  const long long value = whole_value(trim(line));
  return value == 1 || value == 2 ? static_cast<int>(value) : 0;
}

bool parse_option(std::string_view line) {
  const std::string t = trim(line);
  return t.size() == 4 && to_lower_ascii(t) == "true";
}

std::vector<std::string> config_lines(const Settings& s) {
  std::vector<std::string> lines;
  lines.reserve(kConfigLineCount);
  for (const auto& info : setting_table()) {
    switch (info.kind) {
      case SettingKind::Text: {
        std::string text = *text_setting(s, info.line);
        std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
        lines.push_back(std::move(text));
        break;
      }
      case SettingKind::Check: lines.push_back(print_number(*check_setting(s, info.line))); break;
      case SettingKind::Option: {
        const bool chosen = info.line == 38 ? s.run_maximized : !s.run_maximized;
        lines.push_back(chosen ? "True" : "False");
        break;
      }
    }
  }
  return lines;
}

std::string config_file_bytes(const Settings& s) { return join_crlf(config_lines(s)); }

std::vector<std::string> read_config_lines(const std::string& path) {
  LineReader reader(path, LineEnds::any, {.max_line_bytes = kMaxConfigLineBytes});
  std::vector<std::string> lines;
  std::string line;
  while (lines.size() < static_cast<std::size_t>(kConfigLineCount) && reader.next(line)) lines.push_back(line);
  if (reader.failed()) lines.clear();
  return lines;
}

bool apply_config_lines(const std::vector<std::string>& lines, Settings& s) {
  const auto line_at = [&](int line) -> std::string {
    const auto index = static_cast<std::size_t>(line - 1);
    return index < lines.size() ? lines[index] : std::string();
  };
  // The controls are filled in this order: texts 1-10, texts 25-36, checks 11-24, check 37,
  // option 38, option 39 (so "Set Size" wins when both say True), texts 40 and 41.
  for (int line = 1; line <= 10; ++line) *text_setting(s, line) = line_at(line);
  for (int line = 25; line <= 36; ++line) *text_setting(s, line) = line_at(line);
  for (int line = 11; line <= 24; ++line) *check_setting(s, line) = parse_check(line_at(line));
  s.auto_snapshot = parse_check(line_at(37));
  if (parse_option(line_at(38))) s.run_maximized = true;
  if (parse_option(line_at(39))) s.run_maximized = false;
  s.window_width = line_at(40);
  s.window_height = line_at(41);
  return lines.size() >= static_cast<std::size_t>(kConfigLineCount);
}

}  // namespace zorvane
