// Vantor, the stand-in tactical game: reads a battle scenario and the unit programs it
// names, fights the battle by its own rules and writes the placings and kill notices the
// campaign shell reads back. The scenario does not say who attacks: every unit fights for
// itself unless the campaign names the sides (see battle_sides). The winners share the
// best score.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// What the command line asks for. When "/S:" and "/B:" begin separate arguments, every
// argument is one option with its value whole. Otherwise the line came joined ("/S:C:\My
// Shell\zorvtmp.scn /B:C:\My Shell\zorvtmp.txt") and is split where " /S:", " /B:",
// " /R:" or " /D:" begins.
struct Options {
  std::optional<std::string> scenario_path;  // /S:
  std::optional<std::string> result_path;    // /B:
  std::optional<std::uint64_t> seed;         // /R:<number>, for repeatable battles
  int delay_ms = 0;                          // /D:<ms> up to 600000, a pause before the report
  std::string error;                         // a "/R:" or "/D:" value that is no such number
};
Options parse_command_line(const std::vector<std::string>& arguments);

// ZORVANE_BATTLE_SEED (value null when unset): the campaign program's seed for this battle,
// read as "/R:" reads its value; a value that is no such number sets error.
void take_seed_variable(const char* value, Options& options);

// A unit program: key=value lines (see data/vantor/README.txt). Missing or garbled
// values take these defaults; numbers are clamped to their ranges.
struct UnitProgram {
  std::string file;  // the file name the scenario gave
  std::string name;
  int hull = 100;     // 1..1000 hit points
  int armor = 3;      // 0..50 taken off every hit
  int attack = 15;    // 1..200 damage of a hit
  int range = 3;      // 1..20 cells
  int speed = 2;      // 0..10 cells a round
  int accuracy = 65;  // 1..100 percent
  int repair = 0;     // 0..50 hull mended each round
};
UnitProgram parse_unit_program(std::string_view file_name, std::string_view text);

// A tactical map: the battlefield and how it treats the units.
struct TacticalMap {
  std::string name = "Open field";
  int width = 30;        // 5..200 cells
  int height = 20;       // 5..200 cells
  int cover = 10;        // 0..90 percent taken off every shot's chance to hit
  int hazard = 0;        // 0..20 hull lost by every unit each round (never the last point)
  int mobility = 100;    // 10..200 percent of a unit's speed
};
TacticalMap parse_tactical_map(std::string_view text);

// The scenario: the keys the game uses; unknown keys are ignored.
struct Scenario {
  std::string title;
  std::string map;           // a file name, looked up in the maps folder
  std::string background;    // mapbackbmp
  int damage = 100;          // percent of every hit
  int fuel = 100;            // cells a unit may move in the whole battle
  int ammo = 100;            // shots a unit may fire
  int click_limit = 500;     // the battle lasts at most click_limit / 5 rounds
  bool last_alive_bonus = false;
  bool strategy_node = true;  // a repair node in the middle of the field
  bool shield_overheat = false;
  bool blood_mode = false;
  int overheat = 30;          // with shield overheat: armor drops by one every overheat/10 hits
  int node_bonus = 10;        // hull the node mends each round
  bool friendly_fire = false; // iffoff=yes: units may hit their own side (missing means no)
  std::vector<std::string> units;  // the "unit=" paths, in order (at most ten are used)
};
Scenario parse_scenario(std::string_view text);

// ZORVANE_BATTLE_SIDES (value null when unset): one '1' (attacker) or '2' (defender) per
// fighting unit, in order. Empty, so every unit fights for itself, when it is unset, when
// the scenario turns friendly fire on, or when it is garbled; then warning says why.
std::vector<int> battle_sides(const char* value, const Scenario& scenario, std::size_t units,
                              std::string& warning);

struct Fighter {
  UnitProgram program;
  int place = 0;  // position among the scenario's unit lines, 1..10
  int side = 0;   // 1 attacker, 2 defender; 0 fights for itself
  double x = 0, y = 0;
  int hull = 0;
  int fuel = 0;
  int ammo = 0;
  int hits_taken = 0;
  long long dealt = 0;
  int kills = 0;
  bool alive = true;
  int fell_in_round = 0;
  long long score = 0;
};

struct BattleResult {
  std::vector<Fighter> fighters;  // in place order
  std::vector<int> fallen;        // indexes into fighters, in the order they fell
  int rounds = 0;                 // rounds fought
  int round_limit = 0;
  int winner = 0;                 // with sides, the side that won; 0 without
  long long best_score = 0;       // shared by the winners, above every other unit's score
};

// Fights the battle. Without sides (empty, or not one per unit) the units standing at the
// end win. With sides no unit hits its own side and the battle ends when one side has no
// unit standing; at the round limit the side with more hull left wins, then the one that
// dealt more damage, then the defenders. The generator decides everything random.
BattleResult fight(const Scenario& scenario, const std::vector<UnitProgram>& units, const TacticalMap& map,
                   std::mt19937_64& random, const std::vector<int>& sides = {});

// The result file: a short summary with the falls in order, one placing per unit ranked by
// score (ties in place order; equal scores share a rank; place number in columns 17-18,
// score in columns 79-86), then a kill notice per fallen unit. Lines end with CR LF.
std::string write_report(const Scenario& scenario, const TacticalMap& map, const BattleResult& result,
                         std::uint64_t seed);

// The file-name part of a path written with '\' or '/'.
std::string file_name_of(std::string_view path);

}  // namespace vantor
