// The game's process against small helper programs as the game: arguments, failures to
// start, the wait that keeps events running, an abort that leaves no process behind; then one
// battle from the shell's side: scenario and result files in the program folder, the game told
// the sides, failures, and the report handed back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include "bridge/battle_runner.h"
#include "bridge/game_launcher.h"
#include "child_programs.h"
#include "common/linefile.h"
#include "event_helpers.h"

namespace zorvane::testing {
namespace {

TEST(GameLauncher, ProgramInFolderWithSpacesGetsScenarioAndResultAsTwoWholeArguments) {
  TempDir dir;
  const std::string program = dir.file("My Games/record args");
  ASSERT_TRUE(QDir().mkpath(q(dir.file("My Games"))));
  ASSERT_TRUE(QFile::copy(q(test_program("record_args")), q(program)));
  ScopedEnv record_file("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  ScopedEnv record_env("ZORVANE_RECORD_ENV", "inherited value");
  const std::string shell = dir.file("My Shell");
  GameLauncher launcher;
  const LaunchResult result = launcher.launch_game(q(program), game_arguments(q(shell + "/zorvtmp.scn"), q(shell + "/zorvtmp.txt")));
  EXPECT_EQ(std::pair(result.status, result.exit_code), std::pair(LaunchStatus::finished, 0));
  EXPECT_TRUE(result.error.isEmpty());
  EXPECT_EQ(split_lines_any(read_bytes(dir.file("record.txt"))),
            (std::vector<std::string>{"cwd=" + QDir::currentPath().toStdString(), "env=inherited value", "sides=", "argc=2",
                                      "arg=/S:" + shell + "/zorvtmp.scn", "arg=/B:" + shell + "/zorvtmp.txt"}));
  // Its output is captured for messages, not sent to a terminal.
  EXPECT_EQ(result.output, "record_args ran\nrecord_args ran");
  EXPECT_FALSE(launcher.is_running());
  launcher.abort();  // after the game has ended: nothing to do, and no crash
  EXPECT_EQ(launcher.process_id(), 0);
}

TEST(GameLauncher, ProgramThatCannotRunIsReportedAndNothingStarts) {
  TempDir dir;
  const std::string plain = dir.write("plain.exe", "not a program");
  const std::string junk = dir.write("junk.exe", std::string("\x7f\x01\x02junk\n", 9));
  QFile::setPermissions(q(junk), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  dir.write("folder.exe/inside", "x");
  const struct {
    std::string path;
    LaunchStatus status;
    QString in_error;
  } cases[] = {
      {dir.file("missing/Vantor.exe"), LaunchStatus::not_found, q(dir.file("missing/Vantor.exe"))},
      {"  ", LaunchStatus::not_found, "path is empty"},
      {dir.file("folder.exe"), LaunchStatus::not_executable, q(dir.file("folder.exe"))},
      {plain, LaunchStatus::not_executable, q(plain)},
      {junk, LaunchStatus::failed_to_start, q(junk)},
  };
  for (const auto& c : cases) {
    GameLauncher launcher;
    int started = 0;
    QObject::connect(&launcher, &GameLauncher::game_started, [&] { ++started; });
    const LaunchResult result = launcher.launch_game(q(c.path), game_arguments("a.scn", "a.txt"));
    EXPECT_EQ(result.status, c.status) << c.path;
    EXPECT_TRUE(result.error.contains(c.in_error)) << result.error.toStdString();
    EXPECT_FALSE(result.started() || launcher.is_running() || started) << c.path;
  }
}

// A game that never ends, stopped while its wait keeps events running: abort() (the game
// honouring SIGTERM, or ignoring it so that only the forced kill ends it), or the launcher
// destroyed mid-battle. Nothing the game started may be left behind.
TEST(GameLauncher, AbortOrDestroyEndsTheGameAndEverythingItStartedWhileEventsRun) {
  for (const char* stop : {"abort", "abort ignoring TERM", "destroy"}) {
    SCOPED_TRACE(stop);
    TempDir dir;
    const std::string pid_file = dir.file("pids.txt");
    ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
    ScopedEnv term("ZORVANE_IGNORE_TERM", stop == std::string("abort ignoring TERM") ? "1" : "0");
    auto* launcher = new GameLauncher;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);
    bool running_inside = false;
    LaunchResult second;
    when([&] { return ticks >= 20 && read_pids(pid_file).size() == 2; },
         [&] {
           running_inside = launcher->is_running();
           second = launcher->launch_game(q(test_program("record_args")), {});
           if (stop == std::string("destroy")) {
             delete launcher;
             launcher = nullptr;
           } else {
             launcher->abort();
           }
         });
    const LaunchResult result = launcher->launch_game(q(test_program("never_ends")), game_arguments("a.scn", "a.txt"));
    EXPECT_EQ(result.status, LaunchStatus::aborted);
    EXPECT_TRUE(result.started() && running_inside);
    EXPECT_GE(ticks, 20) << "the window's timers kept running during the battle";
    EXPECT_EQ(second.status, LaunchStatus::busy) << "a second launch is refused while one waits";
    EXPECT_FALSE(second.error.isEmpty());
    if (launcher) { EXPECT_FALSE(launcher->is_running()); }
    delete launcher;
    const auto started = read_pids(pid_file);
    ASSERT_EQ(started.size(), 2u);
    for (const long pid : started) EXPECT_TRUE(becomes_gone(pid)) << "pid " << pid;
  }
}

// Zorvane killed during a battle (a crash, a kill, Ctrl-C in its terminal): the game and
// what it started end with it, instead of writing a report nobody reads.
TEST(GameLauncher, GameEndsWhenTheProgramWaitingForItDies) {
  TempDir dir;
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  QProcess waiter;
  waiter.start(q(test_program("launch_and_wait")), {q(test_program("never_ends"))});
  ASSERT_TRUE(waiter.waitForStarted());
  for (int i = 0; i < 500 && read_pids(pid_file).size() != 2; ++i) QThread::msleep(10);
  const auto started = read_pids(pid_file);
  ASSERT_EQ(started.size(), 2u);
  ::kill(static_cast<pid_t>(waiter.processId()), SIGKILL);
  waiter.waitForFinished();
  for (const long pid : started) EXPECT_TRUE(becomes_gone(pid)) << "pid " << pid;
}

TEST(GameProgramPath, RelativeSettingIsTakenAgainstProgramFolder) {
  EXPECT_EQ(game_program_path("/opt/my shell", " vantor/Vantor.exe "), "/opt/my shell/vantor/Vantor.exe");
  EXPECT_EQ(game_program_path("/opt/my shell", " /games/Vantor.exe "), "/games/Vantor.exe");
  EXPECT_EQ(game_program_path("/opt/my shell", "   "), "");
}

Settings settings_for(const std::string& game) {
  Settings s;
  s.game_exe_path = game;
  return s;
}

// A placing for row 1 with this score in columns 79-86.
std::string placing_of_row_1(const std::string& score) { return "    Place" + std::string(7, ' ') + " 1" + std::string(60, ' ') + score; }

// The program folder has a space in its name, and a stale report from an earlier battle.
class BattleRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override { dir.write("My Shell/zorvtmp.txt", "stale report from an earlier battle\r\n"); }
  QString folder() const { return q(dir.file("My Shell")); }
  std::string path_in(const std::string& name) const { return dir.file("My Shell/" + name); }
  TempDir dir;
  ScopedEnv record{"ZORVANE_RECORD_FILE", dir.file("record.txt")};
};

TEST_F(BattleRunnerTest, GameGetsWholePathArgumentsAndItsFreshReportIsRead) {
  ScopedEnv copy("ZORVANE_RECORD_REPORT", dir.write("report.txt", "Test report\n" + placing_of_row_1("     250") + "\n"));
  const Settings settings = settings_for(test_program("record_args"));
  BattleRunner runner;
  int started = 0, finished = 0;
  QObject::connect(&runner, &BattleRunner::battle_started, [&] { ++started; });
  QObject::connect(&runner, &BattleRunner::battle_finished, [&] { ++finished; });
  const BattleRunResult result = runner.run_battle(folder(), settings, "2", {"a.ai", "b.ai"}, {"c.ai"});
  ASSERT_TRUE(result.fought) << result.error.toStdString();
  EXPECT_TRUE(!result.aborted && result.error.isEmpty() && result.no_report.isEmpty() && !runner.is_running());
  EXPECT_EQ(std::pair(started, finished), std::pair(1, 1));
  EXPECT_EQ(result.result_path, folder() + "/zorvtmp.txt");
  EXPECT_EQ(read_bytes(path_in("zorvtmp.scn")), build_scenario("2", settings, {"a.ai", "b.ai"}, {"c.ai"}).bytes());
  const auto recorded = split_lines_any(read_bytes(dir.file("record.txt")));
  ASSERT_EQ(recorded.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(recorded.begin() + 2, recorded.end()),
            (std::vector<std::string>{"sides=112", "argc=2", "arg=/S:" + path_in("zorvtmp.scn"), "arg=/B:" + path_in("zorvtmp.txt")}));
  EXPECT_EQ(result.report.best_score, 250) << "the game's report, not the earlier one";
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_EQ(outcome.units[0], "a.ai");
  EXPECT_TRUE(outcome.captured());
}

TEST_F(BattleRunnerTest, NoBattleWhenGameOrFilesAreMissingAndTheErrorSaysWhy) {
  dir.write("Blocked/zorvtmp.txt/inside", "x");  // a folder in the way of the result file
  const std::string missing_game = dir.file("nowhere/Vantor.exe");
  const struct {
    QString folder;
    std::string game;
    std::vector<QString> in_error;
  } cases[] = {
      {folder(), missing_game, {q(missing_game), "not found"}},
      {q(dir.file("no such folder")), test_program("record_args"), {q(dir.file("no such folder/zorvtmp.scn"))}},
      {q(dir.file("Blocked")), test_program("record_args"), {q(dir.file("Blocked/zorvtmp.txt"))}},
  };
  for (const auto& c : cases) {
    BattleRunner runner;
    const BattleRunResult result = runner.run_battle(c.folder, settings_for(c.game), "1", {"a.ai"}, {"c.ai"});
    EXPECT_FALSE(result.fought || result.aborted) << c.folder.toStdString();
    for (const auto& part : c.in_error) EXPECT_TRUE(result.error.contains(part)) << result.error.toStdString();
    EXPECT_FALSE(file_exists(dir.file("record.txt"))) << "the game was not started";
  }
  // The game was missing, but the earlier report had already been replaced by the marker.
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
}

// A game that fails (here: exit code 3) before it reports has fought no battle; one that
// ends well without a report leaves the defenders holding. Both say what the game printed.
TEST_F(BattleRunnerTest, GameEndingWithoutAReportIsNoBattleWhenItFailed) {
  for (const std::string code : {"3", "0"}) {
    ScopedEnv exit_code("ZORVANE_RECORD_EXIT", code);
    BattleRunner runner;
    const BattleRunResult result = runner.run_battle(folder(), settings_for(test_program("record_args")), "1", {"a.ai"}, {"c.ai"});
    const QString& said = code == "3" ? result.error : result.no_report;
    EXPECT_EQ(result.fought, code == "0");
    EXPECT_TRUE(said.contains("record_args ran")) << said.toStdString();
    EXPECT_EQ(said.contains("exit code 3"), code == "3") << said.toStdString();
    EXPECT_EQ(battle_outcome(result.report).defenders, 1);
  }
}

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
  const BattleRunResult result =
      runner.run_battle(folder(), settings_for(test_program("never_ends")), "3", {"a.ai", "b.ai"}, {"c.ai"});
  EXPECT_TRUE(result.fought && result.aborted && busy_refused);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.scn")), scenario_during);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_FALSE(result.report.reported);
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_EQ(std::pair(outcome.units[0], outcome.attackers), std::pair(std::string("c.ai"), 0));
  for (const long pid : read_pids(pid_file)) EXPECT_TRUE(becomes_gone(pid)) << pid;
}

}  // namespace
}  // namespace zorvane::testing
