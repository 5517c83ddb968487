// The scenario written for a battle, the report read back from it, and the stand-in
// tactical game, run as a process: its reports must satisfy what the result reader relies on,
// and bad input must leave the result file alone. Its rules are also fought in-process, where
// many battles take milliseconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/wait.h>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"
#include "test_files.h"
#include "vantor_game.h"

namespace zorvane {
namespace {

using testing::joined;
using testing::kill_notice;
using testing::placing;
using testing::read_bytes;
using testing::sample_settings;
using testing::TempDir;

std::vector<std::string> lines_with_prefix(const Scenario& scenario, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& line : scenario.lines) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  }
  return out;
}

// Every battle writes the same fixed lines in the same order, byte for byte; the terrain only
// decides whether the map line (second) and the backdrop line (last) are there: the five
// terrains, a team's home cell (the light green map and no backdrop), and anything else
// (neither). Each switch: 0 (unchecked) writes "no", 1 (checked) "yes", 2 (greyed) no line.
TEST(Scenario, TerrainChoosesMapAndBackdropAroundTheFixedLines) {
  Settings settings = sample_settings();
  std::tie(settings.last_alive_bonus, settings.disable_strategy_node, settings.shield_overheat, settings.blood_mode) =
      std::tuple(1, 0, 1, 1);
  for (const auto& [terrain, map_line, backdrop] :
       {std::tuple{"1", "map=green.map", "mapbackbmp=Verdant Reach"}, {"2", "map=dark.map", "mapbackbmp=Dust Hollow"},
        {"3", "map=brown.map", "mapbackbmp=Rustmoor"}, {"4", "map=red.map", "mapbackbmp=Ashcrown"},
        {"5", "map=white.map", "mapbackbmp=Keldris IX"}, {"A", "map=green.map", ""}, {"C", "map=green.map", ""},
        {"J", "map=green.map", ""}, {" 3 ", "map=brown.map", "mapbackbmp=Rustmoor"}, {"0", "", ""}, {"6", "", ""}, {"K", "", ""}, {"c", "", ""}, {"", "", ""}, {"12", "", ""}}) {
    std::string expected = std::string("title=Zorvane Battle\r\n") + (*map_line ? map_line + std::string("\r\n") : "") +
                           "damage=100\r\nfuel=200\r\nunit=C:\\Games\\a.ai\r\nunit=C:\\Games\\b.ai\r\nunit=C:\\Games\\c.ai\r\n"
                           "ammo=300\r\nlastalivebonus=yes\r\ndisablestrategynode=no\r\nshieldoverheat=yes\r\n"
                           "area=planetside\r\niffoff=no\r\nbloodmode=yes\r\nclicklimit=400\r\noverheat=30\r\n"
                           "flagguns=30\r\nflagfill=350\r\nnodebonus=10\r\nnodefill=1\r\nnodeguns=1\r\n";
    if (*backdrop) expected += backdrop + std::string("\r\n");
    EXPECT_EQ(build_scenario(terrain, settings, {"a.ai", "b.ai"}, {"c.ai"}).bytes(), expected) << terrain;
  }
  settings.blood_mode = 2;
  EXPECT_TRUE(lines_with_prefix(build_scenario("3", settings, {}, {}), "bloodmode").empty());
}

// How one setting shapes its line. The unit entry " a.ai " keeps its spaces; the map
// line takes the setting's file name part; the unit line joins the game's folder with the
// folder's own separator (or the platform's when the folder has none).
TEST(Scenario, SettingShapesItsLine) {
  const std::string sep(1, platform_separator());
  for (const auto& [set, line] : std::vector<std::pair<std::function<void(Settings&)>, std::string>>{
           {[](Settings& s) { s.terrain_maps[0] = "D:\\maps\\hill.map"; }, "map=hill.map"},
           {[](Settings& s) { s.terrain_maps[0] = "  D:\\maps\\big hill.map  "; }, "map=big hill.map"},
           {[](Settings& s) { s.battle_damage = "  150 "; }, "damage=150"},
           {[](Settings& s) { s.battle_fuel = ""; }, "fuel="},
           {[](Settings& s) { s.battle_click_limit = " 9 9 "; }, "clicklimit=9 9"},
           {[](Settings&) {}, "unit=C:\\Games\\ a.ai "},
           {[](Settings& s) { s.game_exe_path = "C:\\Vantor.exe"; }, "unit=C:" + sep + " a.ai "},
           {[](Settings& s) { s.game_exe_path = ""; }, "unit=" + sep + " a.ai "}}) {
    Settings settings = sample_settings();
    set(settings);
    const Scenario s = build_scenario("1", settings, {" a.ai "}, {});
    EXPECT_EQ(lines_with_prefix(s, line.substr(0, line.find('=') + 1)), std::vector<std::string>{line}) << line;
  }
}

// Every entry takes the next roster row, blank or not, up to ten rows; only non-blank
// entries get a unit line.
TEST(Scenario, EntriesFillTheRosterRowsInOrder) {
  using Entries = std::vector<std::string>;
  const Entries seven = {"a1", "a2", "a3", "a4", "a5", "a6", "a7"}, six = {"d1", "d2", "d3", "d4", "d5", "d6"};
  // Attackers, defenders, and the entries that get rows (and unit lines unless blank).
  for (const auto& [attackers, defenders, rows] :
       {std::tuple{Entries{" a.ai ", "  "}, Entries{"c.ai"}, Entries{" a.ai ", "  ", "c.ai"}},
        {seven, six, Entries{"a1", "a2", "a3", "a4", "a5", "a6", "a7", "d1", "d2", "d3"}}, {Entries{}, Entries{"d1"}, Entries{"d1"}},
        {Entries{}, Entries{}, Entries{}}}) {
    const Scenario s = build_scenario("1", sample_settings(), attackers, defenders);
    Entries units;
    for (const auto& entry : rows) {
      if (!is_blank(entry)) units.push_back("unit=C:\\Games\\" + entry);
    }
    EXPECT_EQ(lines_with_prefix(s, "unit="), units);
    EXPECT_EQ(s.lines.size(), 18 + units.size());
    for (std::size_t i = 0; i < s.roster.size(); ++i) {
      const std::string side = i >= rows.size() ? "" : i < attackers.size() ? "1" : "2";
      EXPECT_EQ(s.roster[i], (BattleRosterRow{"", side, i < rows.size() ? rows[i] : ""})) << "row " << i + 1;
    }
  }
}

// Two attackers (rows 1, 2) against two defenders (rows 3, 4).
BattleRoster two_on_two() { return {{{"", "1", "a.ai"}, {"", "1", "b.ai"}, {"", "2", "c.ai"}, {"", "2", "d.ai"}}}; }

// A defending cell of team "B" holding six units, so every slot's rewrite shows.
Cell defending_cell() {
  Cell cell;
  cell[owner - 1] = Value::text("B");
  cell[terrain - 1] = Value::text("3");
  for (std::size_t k = 0; k < 6; ++k) cell[unit_1 - 1 + k] = Value::text("old" + std::to_string(k) + ".ai");
  return cell;
}

// Applies the report to the defending cell, attacked by team "E", and checks the cell: the
// survivors in roster order, every other slot emptied but the sixth while "B" holds the
// cell (that unit took no part), the owner "E" only when captured.
void expect_cell_after(const BattleReport& report, std::vector<std::string> survivors, bool captured,
                       const std::string& name) {
  Cell cell = defending_cell();
  apply_battle_outcome(battle_outcome(report), cell, Value::text("E"));
  survivors.resize(kUnitSlots);
  if (!captured) survivors[5] = "old5.ai";
  for (std::size_t k = 0; k < survivors.size(); ++k) {
    const Value& slot = cell[unit_1 - 1 + k];
    EXPECT_TRUE(slot == (survivors[k].empty() ? Value() : Value::text(survivors[k])))
        << name << ", slot " << k + 1 << " holds \"" << slot.to_text() << "\", not \"" << survivors[k] << "\"";
  }
  // The terrain stands for the other fields, which stay untouched.
  EXPECT_EQ(cell[owner - 1].to_text() + cell[terrain - 1].to_text(), captured ? "E3" : "B3") << name;
}

struct ReportCase {
  const char* name;
  std::string bytes;
  std::array<std::string, 4> scores;  // rows 1-4 of two_on_two() after reading
  double best_score;
  int placings;
  bool reported;
  std::vector<std::string> survivors;
  int attackers, defenders;
};

std::vector<ReportCase> report_cases() {
  const std::string held = "1000";
  const std::string huge(5u << 20, 'x');
  const std::string nul_score("  \0 88", 6);
  const std::string nul_placing = placing(" 1", "      77").replace(30, 1, 1, '\0');
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  junk += std::string(100, '\0');
  const std::vector<std::string> kill_after = {placing(" 1", "     120"), placing(" 2", "     120"),
                                               placing(" 3", "      40"), placing(" 4", "      40"), kill_notice(" 2")};
  const std::array<std::string, 4> kill_after_scores = {"     120", "0", "      40", "      40"};
  std::string wrong_notice = kill_notice(" 1");
  wrong_notice.back() = '.';
  const std::string early_notice = kill_notice(" 1").erase(20, 1);       // the notice starts in column 27
  const std::string shifted_notice = kill_notice(" 3").insert(27, "  ");  // the notice starts in column 30
  const std::string short_placing = placing(" 1", "").substr(0, 60);
  return {
      {"kill notice after the placing", joined(kill_after), kill_after_scores, 120, 4, true, {"a.ai"}, 1, 0},
      {"LF line ends", joined(kill_after, "\n"), kill_after_scores, 120, 4, true, {"a.ai"}, 1, 0},
      {"CR line ends", joined(kill_after, "\r"), kill_after_scores, 120, 4, true, {"a.ai"}, 1, 0},
      {"kill notice before the placing",
       joined({placing(" 1", "     120"), kill_notice(" 2"), placing(" 2", "     120"), placing(" 3", "      40"),
               placing(" 4", "      40")}),
       {"     120", "     120", "      40", "      40"}, 120, 4, true, {"a.ai", "b.ai"}, 2, 0},
      {"tie keeps the owner, survivors in roster order, scores compared by value",
       joined({placing(" 3", "      75"), placing(" 1", "    75.0"), placing(" 2", "10"), placing(" 4", "10")}),
       {"    75.0", "10", "      75", "10"}, 75, 4, true, {"a.ai", "c.ai"}, 1, 1},
      {"place numbers 0 and 11 only raise the best score",
       joined({placing(" 1", "50"), placing(" 3", "50"), placing(" 0", "90"), placing("11", "70")}),
       {"50", "", "50", ""}, 90, 4, true, {}, 0, 0},
      {"place number read by value",
       joined({placing("2 ", "11"), placing("03", "12"), placing("4x", "13"), placing("1.", "14")}),
       {"14", "11", "12", "13"}, 14, 4, true, {"a.ai"}, 1, 0},
      {"score cut to columns 79-86", joined({placing(" 1", "123456789")}), {"12345678", "", "", ""}, 12345678, 1, true,
       {"a.ai"}, 1, 0},
      {"line shorter than 79 columns", joined({short_placing, placing(" 3", "      10")}), {"", "", "      10", ""}, 10,
       2, true, {"c.ai"}, 0, 1},
      {"placing without place number columns", joined({"    Place", "    Place   x", placing(" 1", "5")}),
       {"5", "", "", ""}, 5, 3, true, {"a.ai"}, 1, 0},
      {"later placing overwrites, best score stays",
       joined({placing(" 1", "     300"), placing(" 1", "      20"), placing(" 3", "20")}), {"      20", "", "20", ""},
       300, 3, true, {}, 0, 0},
      {"<empty>", "<empty>\r\n", {"", "", held, held}, 1000, 0, false, {"c.ai", "d.ai"}, 0, 2},
      {"<empty> with spaces, no line end", "  <empty>  ", {"", "", held, held}, 1000, 0, false, {"c.ai", "d.ai"}, 0, 2},
      {"<empty> inside other text", joined({"x<empty>", placing(" 1", "9")}), {"9", "", "", ""}, 9, 1, true,
       {"a.ai"}, 1, 0},
      // With no placing best_score would stay 0 and every row scored 0 would survive.
      {"report without placings", joined({"Vantor battle report", kill_notice(" 3"), kill_notice(" 4")}),
       {"", "", held, held}, 1000, 0, false, {"c.ai", "d.ai"}, 0, 2},
      // Rows 5-10 hold no unit and score "" (value 0): they must not count as defenders.
      {"killed rows never survive, even at best score 0",
       joined({placing(" 1", "0"), placing(" 2", "0"), placing(" 3", "0"), kill_notice(" 3"), kill_notice(" 4")}),
       {"0", "0", "0", "0"}, 0, 3, true, {"a.ai", "b.ai"}, 2, 0},
      {"last line without line end", joined({placing(" 1", "1")}) + kill_notice(" 1"), {"0", "", "", ""}, 1, 1, true,
       {}, 0, 0},
      {"spaces around the kill notice",
       joined({placing(" 1", "5"), placing(" 3", "5"), kill_notice(" 1") + "   ", shifted_notice}),
       {"0", "", "0", ""}, 5, 2, true, {}, 0, 0},
      {"altered kill notices", joined({placing(" 1", "5"), wrong_notice, early_notice}), {"5", "", "", ""}, 5, 1, true,
       {"a.ai"}, 1, 0},
      {"junk and NUL bytes", junk, {"", "", held, held}, 1000, 0, false, {"c.ai", "d.ai"}, 0, 2},
      {"NUL bytes inside placings", joined({nul_placing, placing(" 2", nul_score)}),
       {"      77", nul_score, "", ""}, 77, 2, true, {"a.ai"}, 1, 0},
      {"huge lines", joined({huge, placing(" 1", "      60"), huge + "Place", placing(" 3", "40")}),
       {"      60", "", "40", ""}, 60, 2, true, {"a.ai"}, 1, 0},
  };
}

TEST(BattleReport, ReadsScoresAndDecidesTheBattle) {
  for (const auto& c : report_cases()) {
    const BattleReport read = read_battle_report(two_on_two(), c.bytes);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(read.roster[i].score, c.scores[i]) << c.name << ", row " << i + 1;
    for (std::size_t i = 4; i < read.roster.size(); ++i) EXPECT_EQ(read.roster[i].score, "") << c.name;
    const BattleOutcome outcome = battle_outcome(read);
    EXPECT_EQ(std::tuple(read.best_score, read.placings, read.reported, outcome.attackers, outcome.defenders),
              std::tuple(c.best_score, c.placings, c.reported, c.attackers, c.defenders)) << c.name;
    expect_cell_after(read, c.survivors, c.attackers > c.defenders, c.name);
  }
}

// Only the first max_bytes of the file are read, and a line cut by the limit is ignored.
TEST(BattleReportFile, ReadsTheFileItNamesUpToTheLimitAndCountsAnUnreadableOneAsNoReport) {
  TempDir dir;
  const std::string head = joined({placing(" 3", "      40"), std::string(100, 'x')});
  const std::string bytes = head + joined({placing(" 1", "      99")});
  const std::string path = dir.write("zorvtmp.txt", bytes);
  const BattleReport whole = read_battle_report_file(two_on_two(), path, bytes.size());
  // A file of exactly the limit is read whole.
  EXPECT_EQ(std::tuple(whole.reported, whole.truncated, whole.read_error, whole.best_score), std::tuple(true, false, "", 99.0));
  expect_cell_after(whole, {"a.ai"}, true, "whole file");

  const BattleReport cut = read_battle_report_file(two_on_two(), path, head.size() + 20);
  // The placing past the limit is not read, nor is the part of it that fits.
  EXPECT_EQ(std::tuple(cut.truncated, cut.best_score, cut.roster[0].score, cut.roster[2].score), std::tuple(true, 40.0, "", "      40"));

  // A missing or unreadable file counts as no report; a pipe in its place must not be waited for.
  dir.write("folder/inside.txt", "x");
  for (const std::string& bad : {dir.file("missing.txt"), dir.file("folder"), dir.fifo("pipe.txt")}) {
    const BattleReport read = read_battle_report_file(two_on_two(), bad);
    EXPECT_EQ(std::tuple(read.reported, read.read_error.empty(), read.best_score), std::tuple(false, false, 1000.0)) << bad;
    expect_cell_after(read, {"c.ai", "d.ai"}, false, bad);
  }

  // A line whose CR LF straddles the limit is kept, as the same line ending in CR or LF alone
  // there is; whatever lies beyond the limit is not read.
  const std::string first = placing(" 1", "      50");
  for (const std::string end : {"\r\n", "\r", "\n"}) {
    const std::string at_limit = dir.write("limit.txt", first + end + placing(" 3", "      60") + "\r\n");
    const BattleReport read = read_battle_report_file(two_on_two(), at_limit, first.size() + 1);
    EXPECT_EQ(std::tuple(read.truncated, read.roster[0].score, read.roster[2].score, read.best_score),
              std::tuple(true, "      50", "", 50.0))
        << (end == "\r\n" ? "CR LF" : end == "\r" ? "CR" : "LF");
  }
}

// Runs the game through the shell with these arguments, each quoted whole, its error output
// discarded, and, when set, ZORVANE_BATTLE_SIDES and ZORVANE_BATTLE_SEED; its exit code, or -1.
int run_vantor(const std::vector<std::string>& args, const std::optional<std::string>& sides = std::nullopt,
               const std::optional<std::string>& seed = std::nullopt) {
  std::string command = (sides ? "ZORVANE_BATTLE_SIDES='" + *sides + "' " : std::string()) +
                        (seed ? "ZORVANE_BATTLE_SEED='" + *seed + "' " : std::string()) +
                        "'" ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe'";
  for (const auto& a : args) command += " '" + a + "'";
  const int status = std::system((command + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Over many seeds, rosters, damage and round limits, and unit programs (line ends of every
// kind, junk, and a missing one, which fights with defaults), with and without the sides:
// every unit gets a placing of 86 columns, all before the kill notices.
TEST(Vantor, ReportsKeepTheContractOverManySeeds) {
  const char* const unit_texts[] = {"name=Brawler\r\nhull=140\r\narmor=5\r\nattack=22\r\nrange=1\r\nspeed=3\r\naccuracy=80\r\n",
                                    "name=Medic\rhull=90\rarmor=2\rattack=8\rrange=3\rspeed=3\raccuracy=60\rrepair=6\r",
                                    "name=Scout\nhull=70\narmor=1\nattack=12\nrange=4\nspeed=5\naccuracy=70\n",
                                    "hull=abc\nattack=\nrange=-4\nspeed=99999999999999\n\x01\xff=\x00junk"};
  TempDir dir;
  std::mt19937 pick(20240601);
  for (int k = 1; k <= 10; ++k) dir.write("u" + std::to_string(k) + ".ai", unit_texts[pick() % 4]);
  int total_killed = 0, shared_wins = 0;  // shared: more than one unit left standing
  for (int seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const int count = 1 + static_cast<int>(pick() % 10);
    const int attackers = static_cast<int>(pick() % static_cast<unsigned>(count + 1));
    std::vector<std::string> a, d;
    for (int i = 1; i <= count; ++i) (i <= attackers ? a : d).push_back("u" + std::to_string(i) + ".ai");
    if (seed % 7 == 0) d.push_back("missing.ai");
    Settings s;
    s.game_exe_path = dir.file("Vantor.exe");  // only its folder matters: the unit programs are there
    s.battle_fuel = s.battle_ammo = "100";
    s.battle_damage = std::to_string(50 + static_cast<int>(pick() % 200));
    s.battle_click_limit = std::to_string(static_cast<int>(pick() % 800));
    const Scenario scenario = build_scenario("3", s, a, d);
    const bool sided = seed % 2 == 0;  // the sides as the roster has them, ten at most
    const std::string sides = (std::string(a.size(), '1') + std::string(d.size(), '2')).substr(0, 10);
    const std::string txt = dir.write("zorvtmp.txt", no_report_bytes());
    ASSERT_EQ(run_vantor({"/S:" + dir.write("zorvtmp.scn", scenario.bytes()), "/B:" + txt, "/R:" + std::to_string(seed)},
                         sided ? std::optional(sides) : std::nullopt), 0);
    const std::string bytes = read_bytes(txt);
    bool seen_kill = false;
    for (const auto& line : split_lines_cr(bytes)) {
      if (line.size() >= 9 && line.substr(4, 5) == "Place") {
        EXPECT_FALSE(seen_kill) << "a placing after a kill notice would undo the kill";
        EXPECT_EQ(line.size(), 86u) << "the score fills columns 79-86";
      }
      seen_kill = seen_kill || (line.size() > 27 && line.substr(27) == kKillNoticeText);
    }

    // Read back: the killed score 0 and are gone; without sides everyone standing shares the
    // best score, with them only one side wins.
    const BattleReport report = read_battle_report(scenario.roster, bytes);
    const int units = std::min(10, static_cast<int>(a.size() + d.size()));  // only the first ten fight
    ASSERT_EQ(std::pair(report.reported, report.placings), std::pair(true, units));
    const BattleOutcome outcome = battle_outcome(report);
    std::set<std::string> survivors(outcome.units.begin(), outcome.units.end());
    survivors.erase("");
    EXPECT_GE(survivors.size(), 1u);
    for (int i = 0; i < units; ++i) {
      const auto& row = report.roster[static_cast<std::size_t>(i)];
      const bool killed = report.killed[static_cast<std::size_t>(i)], survived = survivors.count(row.unit) > 0;
      EXPECT_TRUE(killed ? !survived && row.score == "0" : survived || sided) << "row " << i + 1;
    }
    EXPECT_TRUE(!sided || outcome.attackers == 0 || outcome.defenders == 0);
    total_killed += static_cast<int>(std::count(report.killed.begin(), report.killed.end(), true));
    shared_wins += survivors.size() > 1 ? 1 : 0;
  }
  EXPECT_GT(total_killed, 100) << "battles are fought to the death";
  EXPECT_GT(shared_wins, 0) << "and some end at the round limit";
}

TEST(Vantor, BadInputExitsNonZeroAndLeavesResultUntouched) {
  TempDir dir;
  const std::string good_scn = dir.write("good.scn", "unit=" + dir.file("x.ai") + "\r\n");
  const std::string no_units = dir.write("nounits.scn", "title=Zorvane Battle\r\nmap=meadow.map\r\nunit=\r\n");
  dir.write("folder.scn/inside", "x");
  const std::string txt = dir.write("zorvtmp.txt", no_report_bytes());
  const std::vector<std::pair<std::vector<std::string>, int>> cases = {
      {{}, 2}, {{"/S:" + good_scn}, 2}, {{"/B:" + txt}, 2}, {{"/S:", "/B:" + txt}, 2},
      {{"/S:" + dir.file("missing.scn"), "/B:" + txt}, 3}, {{"/S:" + dir.file("folder.scn"), "/B:" + txt}, 3},
      {{"/S:" + no_units, "/B:" + txt}, 4}, {{"/S:" + good_scn, "/B:" + txt, "/R:-1"}, 2},
      {{"/S:" + good_scn + " /B:" + txt + " /R:12x"}, 2}, {{"/S:" + good_scn, "/B:" + txt, "/D:soon"}, 2},
  };
  for (const auto& [args, exit_code] : cases) {
    EXPECT_EQ(run_vantor(args), exit_code) << ::testing::PrintToString(args);
    EXPECT_EQ(read_bytes(txt), no_report_bytes()) << ::testing::PrintToString(args);
  }
  EXPECT_EQ(run_vantor({"/S:" + good_scn, "/B:" + dir.file("no such folder/zorvtmp.txt")}), 5);
  EXPECT_FALSE(std::filesystem::exists(dir.file("no such folder")));
}

// The campaign program's seed in ZORVANE_BATTLE_SEED fights the battle "/R:" would with the
// same number; "/R:" goes first, and a bad value is an error like a bad "/R:".
TEST(Vantor, TakesTheBattleSeedFromTheEnvironmentAsFromR) {
  TempDir dir;
  Settings s;
  s.game_exe_path = ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe";
  const std::string scn = dir.write("zorvtmp.scn", build_scenario("3", s, {"tank.ai", "scout.ai"}, {"sniper.ai"}).bytes());
  const auto report = [&](const std::vector<std::string>& more, const std::optional<std::string>& seed) {
    std::vector<std::string> args{"/S:" + scn, "/B:" + dir.write("zorvtmp.txt", no_report_bytes())};
    args.insert(args.end(), more.begin(), more.end());
    const int status = run_vantor(args, "112", seed);
    return std::pair(status, read_bytes(dir.file("zorvtmp.txt")));
  };
  const auto by_option = report({"/R:987654321"}, std::nullopt);
  EXPECT_EQ(by_option.first, 0);
  EXPECT_NE(by_option.second.find("Seed: 987654321"), std::string::npos);
  EXPECT_EQ(report({}, " 987654321 "), by_option);
  EXPECT_EQ(report({"/R:987654321"}, "5"), by_option);
  EXPECT_EQ(report({}, "98765432x"), std::pair(2, no_report_bytes()));
}

// Only a line that came joined is split at the options; a bad number is an error naming it.
TEST(VantorCommandLine, SplitsOnlyAJoinedLineAndNamesABadNumber) {
  for (const auto& [args, scenario, result, seed] :
       std::vector<std::tuple<std::vector<std::string>, std::string, std::string, std::optional<std::uint64_t>>>{
           {{"/S:/tmp/x /B:y/zorvtmp.scn", "/B:/tmp/out.txt", "/R:7"}, "/tmp/x /B:y/zorvtmp.scn", "/tmp/out.txt", 7},
           {{"/s:a /R:b", "/b:c /D:d"}, "a /R:b", "c /D:d", std::nullopt},
           {{"/S:C:\\My Shell\\x.scn /B:C:\\My Shell\\x.txt /R:18446744073709551615 "}, "C:\\My Shell\\x.scn",
            "C:\\My Shell\\x.txt", UINT64_MAX}}) {
    const vantor::Options options = vantor::parse_command_line(args);
    EXPECT_EQ(std::tuple(options.scenario_path, options.result_path, options.seed, options.error),
              std::tuple(scenario, result, seed, "")) << ::testing::PrintToString(args);
  }
  for (const std::string bad : {"/R:-1", "/R:12x", "/R:18446744073709551616", "/R:", "/D:soon", "/D:600001"}) {
    EXPECT_NE(vantor::parse_command_line({"/S:a", "/B:b", bad}).error.find(bad), std::string::npos) << bad;
  }
}

// With sides, a five-to-one attack by equal units wins and keeps most of them, one against
// one is a fair fight, nobody hurts its own side, and only the winners hold the best score.
TEST(VantorSides, OutnumberingWinsOneAgainstOneIsEvenAndOnlyWinnersShareTheBest) {
  constexpr int kSeeds = 400;
  vantor::Scenario scenario;
  scenario.strategy_node = false;  // hull then changes only by hits, so damage can be balanced
  for (const auto& entry : std::filesystem::directory_iterator(std::string(ZORVANE_SOURCE_DIR) + "/data/vantor")) {
    if (entry.path().extension() != ".ai") continue;
    const auto program = vantor::parse_unit_program(entry.path().filename().string(), read_bytes(entry.path()));
    for (const int attackers : {5, 1}) {
      SCOPED_TRACE(program.file + " " + std::to_string(attackers) + " against 1");
      std::vector<int> sides(static_cast<std::size_t>(attackers), 1);
      sides.push_back(2);
      int wins = 0, kept = 0;
      for (int seed = 1; seed <= kSeeds; ++seed) {
        std::mt19937_64 random(static_cast<std::uint64_t>(seed));
        const auto result = vantor::fight(scenario, std::vector(sides.size(), program), {}, random, sides);
        long long lost[3] = {}, dealt[3] = {};
        for (const auto& f : result.fighters) {
          const bool winner = f.alive && f.side == result.winner;
          EXPECT_TRUE(winner ? f.score == result.best_score : f.score < result.best_score) << "seed " << seed;
          lost[f.side] += program.hull - f.hull;
          dealt[f.side] += f.dealt;
          kept += winner && f.side == 1;
        }
        EXPECT_TRUE(program.repair > 0 || (lost[1] == dealt[2] && lost[2] == dealt[1])) << "seed " << seed;
        wins += result.winner == 1;
      }
      EXPECT_GE(wins, attackers == 5 ? kSeeds * 8 / 10 : kSeeds * 35 / 100);
      EXPECT_LE(wins, attackers == 5 ? kSeeds : kSeeds * 65 / 100);
      EXPECT_GE(kept, attackers == 5 ? kSeeds * 3 : 0);
    }
  }
}

// Units in slots 6 to 10 are not listed for a battle: they stay where they are while the
// defenders hold the cell (the survivors take the other slots, in roster order), and go
// with it when it is captured.
TEST(BattleOutcome, UnitsBeyondTheFifthSlotStayWhileTheDefendersHold) {
  Cell full;
  for (int k = 0; k < kUnitSlots; ++k) full[unit_1 - 1 + k] = Value::text("u" + std::to_string(k + 1) + ".ai");
  full[unit_1 - 1 + 7] = Value();  // a gap at slot 8
  BattleRoster roster = {{{"", "1", "a.ai"}, {"", "1", "b.ai"}}};
  for (std::size_t k = 0; k < 5; ++k) roster[2 + k] = {"", "2", "u" + std::to_string(k + 1) + ".ai"};
  const auto after = [&](const std::string& survivors) {  // "1" for each row that survives
    BattleReport report;
    report.roster = roster;
    report.best_score = 9;
    for (std::size_t i = 0; i < survivors.size(); ++i) report.roster[i].score = survivors[i] == '1' ? "9" : "0";
    Cell cell = full;
    apply_battle_outcome(battle_outcome(report), cell, Value::text("E"));
    std::string slots;
    for (int k = 0; k < kUnitSlots; ++k) slots += cell[unit_1 - 1 + k].to_text() + ",";
    return slots;
  };
  EXPECT_EQ(after("0010100"), "u1.ai,u3.ai,,,,u6.ai,u7.ai,,u9.ai,u10.ai,");
  // Five survivors fill slots 1 to 5, a sixth the gap; a seventh finds no slot.
  EXPECT_EQ(after("1111110"), "a.ai,b.ai,u1.ai,u2.ai,u3.ai,u6.ai,u7.ai,u4.ai,u9.ai,u10.ai,");
  EXPECT_EQ(after("1111111"), "a.ai,b.ai,u1.ai,u2.ai,u3.ai,u6.ai,u7.ai,u4.ai,u9.ai,u10.ai,");
  EXPECT_EQ(after("1100010"), "a.ai,b.ai,u4.ai,,,,,,,,");
}

}  // namespace
}  // namespace zorvane
