// One battle from the shell's side, with helper programs as the game: scenario and result
// files in the program folder, the game started with them and told the sides, an abort,
// failures, and the report handed back. (The real stand-in game is fought in vantor_test
// and from the main window in window_battle_test and play_test.)
#include <gtest/gtest.h>

#include <QDir>
#include <string>
#include <vector>

#include "child_programs.h"
#include "common/linefile.h"
#include "event_helpers.h"
#include "bridge/battle_runner.h"
#include "test_files.h"

namespace zorvane {
namespace {

using namespace testing;

Settings settings_for(const std::string& game) {
  Settings s;
  s.game_exe_path = game;
  return s;
}

// A placing for row 1 with this score in columns 79-86.
std::string placing_of_row_1(const std::string& score) {
  std::string line = "    Place";
  line.resize(16, ' ');
  line += " 1";
  line.resize(78, ' ');
  return line + score;
}

// The program folder has a space in its name, and a stale report from an earlier battle.
class BattleRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override { dir.write("My Shell/zorvtmp.txt", "stale report from an earlier battle\r\n"); }
  QString folder() const { return q(dir.file("My Shell")); }
  std::string path_in(const std::string& name) const { return dir.file("My Shell/" + name); }
  TempDir dir;
};

TEST_F(BattleRunnerTest, GameGetsWholePathArgumentsAndItsFreshReportIsRead) {
  const std::string report = dir.write("report.txt", "Test report\n" + placing_of_row_1("     250") + "\n");
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  ScopedEnv copy("ZORVANE_RECORD_REPORT", report);
  const Settings settings = settings_for(test_program("record_args"));
  BattleRunner runner;
  int started = 0, finished = 0;
  QObject::connect(&runner, &BattleRunner::battle_started, [&] { ++started; });
  QObject::connect(&runner, &BattleRunner::battle_finished, [&] { ++finished; });
  const BattleRunResult result = runner.run_battle(folder(), settings, "2", {"a.ai", "b.ai"}, {"c.ai"});
  ASSERT_TRUE(result.fought) << result.error.toStdString();
  EXPECT_FALSE(result.aborted);
  EXPECT_TRUE(result.error.isEmpty());
  EXPECT_EQ(started, 1);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(result.result_path, folder() + "/zorvtmp.txt");
  EXPECT_EQ(read_bytes(path_in("zorvtmp.scn")), build_scenario("2", settings, {"a.ai", "b.ai"}, {"c.ai"}).bytes());
  const auto recorded = split_lines_any(read_bytes(dir.file("record.txt")));
  ASSERT_EQ(recorded.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(recorded.begin() + 2, recorded.end()),
            (std::vector<std::string>{"sides=112", "argc=2", "arg=/S:" + path_in("zorvtmp.scn"),
                                      "arg=/B:" + path_in("zorvtmp.txt")}));
  EXPECT_TRUE(result.report.reported);
  EXPECT_EQ(result.report.best_score, 250) << "the game's report, not the earlier one";
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_EQ(outcome.units[0], "a.ai");
  EXPECT_TRUE(outcome.captured());
  EXPECT_TRUE(result.no_report.isEmpty());
  EXPECT_FALSE(runner.is_running());
}

TEST_F(BattleRunnerTest, NoBattleWhenGameOrFilesAreMissingAndTheErrorSaysWhy) {
  dir.write("Blocked/zorvtmp.txt/inside", "x");  // a folder in the way of the result file
  const std::string missing_game = dir.file("nowhere/Vantor.exe");
  const std::string record_args = test_program("record_args");
  struct Case {
    const char* name;
    QString folder;
    std::string game;
    std::vector<QString> in_error;
  };
  const std::vector<Case> cases = {
      {"missing game", folder(), missing_game, {q(missing_game), "not found"}},
      {"missing program folder", q(dir.file("no such folder")), record_args,
       {q(dir.file("no such folder/zorvtmp.scn"))}},
      {"result file cannot be written", q(dir.file("Blocked")), record_args, {q(dir.file("Blocked/zorvtmp.txt"))}},
  };
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  for (const auto& c : cases) {
    BattleRunner runner;
    const BattleRunResult result = runner.run_battle(c.folder, settings_for(c.game), "1", {"a.ai"}, {"c.ai"});
    EXPECT_FALSE(result.fought) << c.name;
    EXPECT_FALSE(result.aborted) << c.name;
    for (const auto& part : c.in_error) {
      EXPECT_TRUE(result.error.contains(part)) << c.name << ": " << result.error.toStdString();
    }
    EXPECT_FALSE(file_exists(dir.file("record.txt"))) << c.name << ": the game was not started";
  }
  // The game was missing, but the earlier report had already been replaced by the marker.
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
}

// A game that fails (here: exit code 3) before it reports has fought no battle; one that
// ends well without a report leaves the defenders holding. Both say what the game printed.
TEST_F(BattleRunnerTest, GameEndingWithoutAReportIsNoBattleWhenItFailed) {
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  for (const char* code : {"3", "0"}) {
    ScopedEnv exit_code("ZORVANE_RECORD_EXIT", code);
    BattleRunner runner;
    const BattleRunResult result = runner.run_battle(folder(), settings_for(test_program("record_args")), "1",
                                                     {"a.ai"}, {"c.ai"});
    const QString& said = code == std::string("3") ? result.error : result.no_report;
    EXPECT_EQ(result.fought, code == std::string("0")) << code;
    EXPECT_TRUE(said.contains("record_args ran")) << said.toStdString();
    if (!result.fought) {
      EXPECT_TRUE(said.contains("exit code 3")) << said.toStdString();
    }
    EXPECT_EQ(battle_outcome(result.report).defenders, 1);
  }
}

#ifdef Q_OS_UNIX
TEST_F(BattleRunnerTest, AbortEndsBattleAndDefendersHold) {
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  BattleRunner runner;
  bool busy_refused = false;
  std::string scenario_during;
  when([&] { return read_pids(pid_file).size() == 2; },
       [&] {
         // A second attack while this battle runs is refused and changes nothing.
         scenario_during = read_bytes(path_in("zorvtmp.scn"));
         const BattleRunResult second =
             runner.run_battle(folder(), settings_for(test_program("record_args")), "5", {"x.ai"}, {"y.ai"});
         busy_refused = second.busy && !second.fought && !second.error.isEmpty();
         // What the game wrote before it was stopped must not count.
         dir.write("My Shell/zorvtmp.txt", placing_of_row_1("     999") + "\r\n");
         runner.abort();
       });
  const BattleRunResult result = runner.run_battle(folder(), settings_for(test_program("never_ends")), "3",
                                                   {"a.ai", "b.ai"}, {"c.ai"});
  EXPECT_TRUE(result.fought);
  EXPECT_TRUE(result.aborted);
  EXPECT_TRUE(busy_refused);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.scn")), scenario_during);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_FALSE(result.report.reported);
  EXPECT_EQ(result.report.best_score, 1000);
  EXPECT_EQ(result.report.roster[0].score, "");
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_EQ(outcome.units[0], "c.ai");
  EXPECT_EQ(outcome.attackers, 0);
  for (const long pid : read_pids(pid_file)) EXPECT_TRUE(becomes_gone(pid)) << pid;
}
#endif

}  // namespace
}  // namespace zorvane
