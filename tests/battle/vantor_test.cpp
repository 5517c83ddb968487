// The stand-in tactical game, run as a process: its reports must satisfy what the result
// reader relies on, and bad input must leave the result file alone. Its rules are also
// fought in-process, where many battles take milliseconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "common/linefile.h"
#include "test_files.h"
#include "vantor_game.h"

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;

std::string vantor_path() { return std::string(ZORVANE_PROGRAM_DIR) + "/vantor/Vantor.exe"; }

// Runs the game with these arguments (its error output discarded); its exit code, or -1.
int run_vantor(std::vector<std::string> args) {
#ifdef _WIN32
  (void)args;
  return -1;
#else
  std::string program = vantor_path();
  std::vector<char*> argv{program.data()};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

const char* const kUnitTexts[] = {
    "name=Brawler\r\nhull=140\r\narmor=5\r\nattack=22\r\nrange=1\r\nspeed=3\r\naccuracy=80\r\n",
    "name=Scout\nhull=70\narmor=1\nattack=12\nrange=4\nspeed=5\naccuracy=70\n",
    "name=Medic\rhull=90\rarmor=2\rattack=8\rrange=3\rspeed=3\raccuracy=60\rrepair=6\r",
    "hull=abc\nattack=\nrange=-4\nspeed=99999999999999\n\x01\xff=\x00junk",
    "",
};

class Vantor : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "runs the game through posix_spawn";
#endif
    ASSERT_TRUE(testing::file_exists(vantor_path())) << vantor_path();
  }

  // Unit programs u1.ai .. u<count>.ai in the game's folder, the k-th of kUnitTexts[text(k)].
  template <typename TextOf>
  void write_units(int count, TextOf text) {
    for (int k = 0; k < count; ++k) dir.write("u" + std::to_string(k + 1) + ".ai", kUnitTexts[text(k)]);
  }

  Settings settings() const {
    Settings s;
    s.game_exe_path = dir.file("Vantor.exe");  // only its folder matters: the unit programs are there
    s.battle_damage = s.battle_fuel = s.battle_ammo = "100";
    s.battle_click_limit = "500";
    return s;
  }

  // Writes the scenario, fights it and returns the result file's bytes.
  std::string fight(const Scenario& scenario, std::vector<std::string> extra_args) {
    const std::string txt = dir.write("zorvtmp.txt", no_report_bytes());
    std::vector<std::string> args{"/S:" + dir.write("zorvtmp.scn", scenario.bytes()), "/B:" + txt};
    args.insert(args.end(), extra_args.begin(), extra_args.end());
    EXPECT_EQ(run_vantor(args), 0);
    return read_bytes(txt);
  }

  TempDir dir;
};

TEST_F(Vantor, ReportsKeepTheContractOverManySeeds) {
  std::mt19937 pick(20240601);
  int total_killed = 0;
  int shared_wins = 0;  // battles that end with more than one unit standing
  write_units(10, [&](int) { return pick() % 5; });
  for (int seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const int count = 1 + static_cast<int>(pick() % 10);
    const int attackers = static_cast<int>(pick() % static_cast<unsigned>(count + 1));
    std::vector<std::string> a, d;
    for (int i = 1; i <= count; ++i) (i <= attackers ? a : d).push_back("u" + std::to_string(i) + ".ai");
    if (seed % 7 == 0) d.push_back("missing.ai");  // an unreadable program fights with defaults
    Settings s = settings();
    s.battle_damage = std::to_string(50 + static_cast<int>(pick() % 200));
    s.battle_click_limit = std::to_string(static_cast<int>(pick() % 800));
    s.blood_mode = static_cast<int>(pick() % 3);
    s.shield_overheat = static_cast<int>(pick() % 3);
    s.last_alive_bonus = static_cast<int>(pick() % 3);
    const char* terrains[] = {"1", "2", "3", "4", "5", "C", "0"};
    const Scenario scenario = build_scenario(terrains[pick() % 7], s, a, d);
    const std::string bytes = fight(scenario, {"/R:" + std::to_string(seed)});

    // Kill notices come after every placing: a placing after a notice would undo the kill.
    // Placings run from the best score down; falls and kill notices name the same places.
    bool seen_kill = false;
    std::vector<long long> scores;
    std::string fell_places, killed_places;
    for (const auto& line : split_lines_cr(bytes)) {
      if (line.size() >= 9 && line.substr(4, 5) == "Place") {
        EXPECT_FALSE(seen_kill) << "placing after a kill notice";
        ASSERT_EQ(line.size(), 86u) << "the score fills columns 79-86";
        scores.push_back(std::stoll(line.substr(78)));
      }
      if (line.rfind("Fell", 0) == 0) fell_places += line.substr(16, 2);
      const bool kill = line.size() > 27 && line.substr(27) == kKillNoticeText;
      if (kill) killed_places += line.substr(16, 2);
      seen_kill = seen_kill || kill;
    }
    EXPECT_TRUE(std::is_sorted(scores.rbegin(), scores.rend()));
    EXPECT_EQ(fell_places, killed_places);


    const BattleReport report = read_battle_report(scenario.roster, bytes);
    const int units = static_cast<int>(a.size() + d.size());
    ASSERT_TRUE(report.reported);
    EXPECT_EQ(report.placings, units) << "one placing per unit";
    const BattleOutcome outcome = battle_outcome(report);
    std::set<std::string> survivors;
    for (const auto& unit : outcome.units) {
      if (!unit.empty()) survivors.insert(unit);
    }
    EXPECT_GE(survivors.size(), 1u) << "someone is left standing";
    EXPECT_GT(report.best_score, 0);
    for (int i = 0; i < units; ++i) {
      const auto& row = report.roster[static_cast<std::size_t>(i)];
      EXPECT_FALSE(row.score.empty()) << "row " << i + 1 << " placed";
      const bool survived = survivors.count(row.unit) > 0;
      if (report.killed[static_cast<std::size_t>(i)]) {
        EXPECT_FALSE(survived) << "killed row " << i + 1;
        EXPECT_EQ(row.score, "0");
      } else {
        EXPECT_TRUE(survived) << "standing row " << i + 1 << " shares the best score";
      }
    }
    EXPECT_EQ(outcome.attackers + outcome.defenders, static_cast<int>(survivors.size()));
    for (const bool killed : report.killed) total_killed += killed ? 1 : 0;
    shared_wins += survivors.size() > 1 ? 1 : 0;
  }
  EXPECT_GT(total_killed, 100) << "battles are fought to the death";
  EXPECT_GT(shared_wins, 0) << "and some end at the round limit";
}

TEST_F(Vantor, SameSeedGivesSameReportAndNoSeedVaries) {
  write_units(6, [](int k) { return k % 3; });
  const Scenario scenario = build_scenario("2", settings(), {"u1.ai", "u2.ai", "u3.ai"}, {"u4.ai", "u5.ai", "u6.ai"});
  EXPECT_EQ(fight(scenario, {"/R:99"}), fight(scenario, {"/R:99"}));
  const std::set<std::string> unseeded{fight(scenario, {}), fight(scenario, {}), fight(scenario, {})};
  EXPECT_GT(unseeded.size(), 1u) << "without /R: every battle is seeded afresh";
}

TEST_F(Vantor, WithoutAmmunitionEveryUnitStandsAndSharesTheBestScore) {
  write_units(5, [](int) { return 0; });
  Settings s = settings();
  s.battle_ammo = "0";
  const Scenario scenario = build_scenario("3", s, {"u1.ai", "u2.ai", "u3.ai"}, {"u4.ai", "u5.ai"});
  const BattleOutcome outcome = battle_outcome(read_battle_report(scenario.roster, fight(scenario, {})));
  EXPECT_EQ(outcome.attackers, 3);
  EXPECT_EQ(outcome.defenders, 2);
}

// Started through a shell or on Windows the game may get its options as one argument;
// as separate arguments, a folder may look like an option. A scenario can name more units
// than the ten the report has places for.
TEST_F(Vantor, TakesOptionsJoinedOrSeparateAndOnlyTheFirstTenUnitsFight) {
  for (const std::string folder : {"My Shell", "x /B:y"}) {
    dir.write(folder + "/u1.ai", kUnitTexts[0]);
    std::string scn_text = "title=Zorvane Battle\r\n";
    for (int i = 0; i < 12; ++i) scn_text += "unit=" + dir.file(folder + "/u1.ai") + "\r\n";
    const std::string scn = dir.write(folder + "/zorvtmp.scn", scn_text);
    const std::string txt = dir.file(folder + "/zorvtmp.txt");
    const bool joined = folder == "My Shell";
    ASSERT_EQ(run_vantor(joined ? std::vector<std::string>{"/S:" + scn + " /B:" + txt + " /R:3"}
                                : std::vector<std::string>{"/S:" + scn, "/B:" + txt, "/R:3"}),
              0)
        << folder;
    BattleRoster roster;
    for (auto& row : roster) row = BattleRosterRow{"", "2", "u1.ai"};
    const BattleReport report = read_battle_report_file(roster, txt);
    EXPECT_EQ(report.placings, 10) << folder;
    for (const auto& row : report.roster) EXPECT_FALSE(row.score.empty());
  }
}

TEST_F(Vantor, BadInputExitsNonZeroAndLeavesResultUntouched) {
  const std::string good_scn = dir.write("good.scn", "unit=" + dir.file("x.ai") + "\r\n");
  const std::string no_units = dir.write("nounits.scn", "title=Zorvane Battle\r\nmap=meadow.map\r\nunit=\r\n");
  dir.write("folder.scn/inside", "x");
  const std::string txt = dir.write("zorvtmp.txt", no_report_bytes());
  struct Case {
    std::vector<std::string> args;
    int exit_code;
  };
  const std::vector<Case> cases = {
      {{}, 2},
      {{"/S:" + good_scn}, 2},
      {{"/B:" + txt}, 2},
      {{"/S:", "/B:" + txt}, 2},
      {{"/S:" + dir.file("missing.scn"), "/B:" + txt}, 3},
      {{"/S:" + dir.file("folder.scn"), "/B:" + txt}, 3},
      {{"/S:" + no_units, "/B:" + txt}, 4},
      {{"/S:" + good_scn, "/B:" + txt, "/R:-1"}, 2},
      {{"/S:" + good_scn + " /B:" + txt + " /R:12x"}, 2},
      {{"/S:" + good_scn, "/B:" + txt, "/D:soon"}, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run_vantor(c.args), c.exit_code) << ::testing::PrintToString(c.args);
    EXPECT_EQ(read_bytes(txt), no_report_bytes()) << ::testing::PrintToString(c.args);
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
    int delay_ms;
    std::string bad;  // what the error must name; empty when there is none
  };
  const std::vector<Case> cases = {
      {{"/S:/tmp/x /B:y/zorvtmp.scn", "/B:/tmp/out.txt", "/R:7"}, "/tmp/x /B:y/zorvtmp.scn", "/tmp/out.txt", 7, 0, ""},
      {{"/s:a /R:b", "/b:c /D:d"}, "a /R:b", "c /D:d", std::nullopt, 0, ""},
      {{"/S:C:\\My Shell\\zorvtmp.scn /B:C:\\My Shell\\zorvtmp.txt /R:5 /D:20 "}, "C:\\My Shell\\zorvtmp.scn",
       "C:\\My Shell\\zorvtmp.txt", 5, 20, ""},
      {{"/S:a", "/B:b", "/R:18446744073709551615"}, "a", "b", UINT64_MAX, 0, ""},
      {{"/S:a", "/B:b", "/R:-1"}, "", "", {}, 0, "-1"},
      {{"/S:a", "/B:b", "/R:12x"}, "", "", {}, 0, "12x"},
      {{"/S:a", "/B:b", "/R:18446744073709551616"}, "", "", {}, 0, "18446744073709551616"},
      {{"/S:a", "/B:b", "/R:"}, "", "", {}, 0, "/R:"},
      {{"/S:a /B:b /R:seven"}, "", "", {}, 0, "seven"},
      {{"/S:a", "/B:b", "/D:soon"}, "", "", {}, 0, "soon"},
      {{"/S:a", "/B:b", "/D:600001"}, "", "", {}, 0, "600001"},
  };
  for (const auto& c : cases) {
    const vantor::Options options = vantor::parse_command_line(c.args);
    SCOPED_TRACE(::testing::PrintToString(c.args));
    if (!c.bad.empty()) {
      EXPECT_NE(options.error.find(c.bad), std::string::npos) << options.error;
      continue;
    }
    EXPECT_EQ(options.error, "");
    EXPECT_EQ(options.scenario_path, c.scenario);
    EXPECT_EQ(options.result_path, c.result);
    EXPECT_EQ(options.seed, c.seed);
    EXPECT_EQ(options.delay_ms, c.delay_ms);
  }
}

}  // namespace
}  // namespace zorvane
