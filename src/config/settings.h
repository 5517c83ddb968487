// The 41 settings and their file "config.dat": one value per line, CR LF, checks as
// " 1 ", options as "True"/"False", texts unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/computer_players.h"

namespace zorvane {

inline constexpr int kConfigLineCount = 41;
inline constexpr int kTerrainMaps = 5;
inline constexpr int kMovementPatterns = 8;

// Check box values: 0 unchecked, 1 checked, 2 greyed.
struct Settings {
  std::string game_exe_path;                              // 1  Text1
  std::array<std::string, kTerrainMaps> terrain_maps;     // 2-6 Text2..Text6: light green,
                                                          //     dark green, brown, red, white
  std::string battle_damage;                              // 7  Text7
  std::string battle_fuel;                                // 8  Text8
  std::string battle_ammo;                                // 9  Text9
  std::string battle_click_limit;                         // 10 Text10
  int last_alive_bonus = 0;                               // 11 Check1
  int disable_strategy_node = 0;                          // 12 Check2
  int shield_overheat = 0;                                // 13 Check3
  int blood_mode = 0;                                     // 14 Check4
  std::array<int, 10> computer_controlled{};              // 15-24 Check5..Check14
  std::string augment_below;                              // 25 Text12
  std::string augment_max_fill;                           // 26 Text13
  std::array<std::string, kMovementPatterns> movement_patterns;  // 27-34 Text14..Text21
  std::string background_image;                           // 35 Text22
  std::string turn_limit;                                 // 36 Text23
  int auto_snapshot = 0;                                  // 37 Check15
  bool run_maximized = false;                             // 38 Option11; 39 Option12 is the other
  std::string window_width = "640";                       // 40 Text24
  std::string window_height = "480";                      // 41 Text25
  // Not a line of config.dat: which computer player plays each team, kept in
  // ai_players.dat beside it.
  ComputerPlayers computer_players{};

  bool set_size() const { return !run_maximized; }
};

enum class SettingKind { Text, Check, Option };

struct SettingInfo {
  int line;             // 1..41
  const char* name;     // the setting's name
  const char* control;  // the control's object name
  const char* caption;  // the label beside it
  SettingKind kind;
};

// The 41 settings in file order.
const std::array<SettingInfo, kConfigLineCount>& setting_table();

// The text of a text setting by line number; nullptr for other lines.
std::string* text_setting(Settings& s, int line);
const std::string* text_setting(const Settings& s, int line);
// The value of a check setting by line number; nullptr for other lines.
int* check_setting(Settings& s, int line);
const int* check_setting(const Settings& s, int line);

// A check line's value: the numeric value of the line rounded halves to even; values
// other than 1 (checked) and 2 (greyed) count as unchecked.
int parse_check(std::string_view line);
// An option line chooses its option when it reads TRUE in any case, spaces around allowed.
bool parse_option(std::string_view line);

// The 41 lines of config.dat for these settings. A line break in a text setting would
// shift every later line, so texts are written without CR and LF.
std::vector<std::string> config_lines(const Settings& s);
// The whole file: the 41 lines, each ended by CR LF.
std::string config_file_bytes(const Settings& s);

// The most bytes a line of config.dat keeps: settings are file names and short numbers,
// and 4096 bytes is the longest path Linux takes.
inline constexpr std::size_t kMaxConfigLineBytes = 4096;

// The lines of config.dat for apply_config_lines: reading stops after the 41st line, and
// each line keeps at most kMaxConfigLineBytes. A file that cannot be read (missing, a
// folder, a named pipe, a device, too large) gives no lines, so it counts as missing.
std::vector<std::string> read_config_lines(const std::string& path);

// Fills the settings from the lines of a file, in the order the controls are filled.
// Lines past 41 are ignored; a line that is missing counts as empty: its text emptied, its
// check unchecked, its option left as it is. Returns true when all 41 lines were present.
bool apply_config_lines(const std::vector<std::string>& lines, Settings& s);

}  // namespace zorvane
