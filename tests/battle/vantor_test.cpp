// The stand-in tactical game, run as a process: its reports must satisfy what the result
// reader relies on, and bad input must leave the result file alone. Its rules are also
// fought in-process, where many battles take milliseconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "common/linefile.h"
#include "test_files.h"
#include "vantor_game.h"

#include <sys/wait.h>

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

// Runs the game through the shell with these arguments, each quoted whole, its error output
// discarded, and, when sides is set, ZORVANE_BATTLE_SIDES; its exit code, or -1.
int run_vantor(const std::vector<std::string>& args, const std::optional<std::string>& sides = std::nullopt) {
  std::string command = (sides ? "ZORVANE_BATTLE_SIDES='" + *sides + "' '" : std::string("'")) + ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe'";
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
    ASSERT_TRUE(report.reported);
    EXPECT_EQ(report.placings, units);
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
  EXPECT_FALSE(testing::file_exists(dir.file("no such folder")));
}

// Only a line that came joined is split at the options; a bad number is an error naming it.
TEST(VantorCommandLine, SplitsOnlyAJoinedLineAndNamesABadNumber) {
  struct Case {
    std::vector<std::string> args;
    std::string scenario, result;
    std::optional<std::uint64_t> seed;
  };
  for (const Case& c : std::vector<Case>{
           {{"/S:/tmp/x /B:y/zorvtmp.scn", "/B:/tmp/out.txt", "/R:7"}, "/tmp/x /B:y/zorvtmp.scn", "/tmp/out.txt", 7},
           {{"/s:a /R:b", "/b:c /D:d"}, "a /R:b", "c /D:d", std::nullopt},
           {{"/S:C:\\My Shell\\x.scn /B:C:\\My Shell\\x.txt /R:18446744073709551615 "}, "C:\\My Shell\\x.scn",
            "C:\\My Shell\\x.txt", UINT64_MAX}}) {
    const vantor::Options options = vantor::parse_command_line(c.args);
    EXPECT_EQ(std::tuple(options.scenario_path, options.result_path, options.seed, options.error),
              std::tuple(c.scenario, c.result, c.seed, ""))
        << ::testing::PrintToString(c.args);
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

}  // namespace
}  // namespace zorvane
