// The battle bridge against small helper programs standing in for the game: arguments,
// output, failures to start, a battle that runs while events go on and is aborted, an abort
// that leaves no process behind, a game that fails before it reports, and the game ending
// with the program that waits for it or leaving something behind when it ends.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <set>

#include "bridge/battle_runner.h"
#include "bridge/game_launcher.h"
#include "common/linefile.h"
#include "process_helpers.h"
#include "test_files.h"

namespace zorvane::testing {
namespace {

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// The battle starts and the caller goes on at once; the result comes later from the event
// loop. An aborted battle was not fought: nobody loses a unit, and whatever the game wrote
// does not count.
TEST(BattleRunner, RunsWhileTheCallerGoesOnAndAnAbortedBattleIsNotFought) {
  TempDir dir;
  Settings settings;
  settings.game_exe_path = test_program("never_ends");
  ScopedEnv pids("ZORVANE_PID_FILE", dir.file("pids.txt"));
  BattleRunner runner;
  std::optional<BattleRunResult> result;
  QObject::connect(&runner, &BattleRunner::finished, [&](const BattleRunResult& r) { result = r; });
  runner.start_battle(q(dir.path()), settings, "2", {"tank.ai"}, {"scout.ai"});
  EXPECT_TRUE(runner.is_running() && !result);
  ASSERT_TRUE(QTest::qWaitFor([&] { return read_pids(dir.file("pids.txt")).size() == 2; }));
  dir.write("zorvtmp.txt", "half a report\r\n");
  runner.abort();
  ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }));
  EXPECT_TRUE(!result->fought && result->aborted && !runner.is_running());
  EXPECT_EQ(battle_answer(*result).kind, BattleAnswer::Kind::aborted);
  EXPECT_EQ(read_bytes(dir.file("zorvtmp.txt")), "<empty>\r\n");
  for (const long pid : read_pids(dir.file("pids.txt"))) EXPECT_TRUE(becomes_gone(pid)) << "pid " << pid;

  // Ended at once for a program about to quit: told before abort_now returns.
  result.reset();
  runner.start_battle(q(dir.path()), settings, "2", {"tank.ai"}, {"scout.ai"});
  ASSERT_TRUE(runner.is_running());
  runner.abort_now();
  ASSERT_TRUE(result.has_value());
  EXPECT_TRUE(result->aborted && !runner.is_running());
}

// A game that fails (here: exit code 3) before it reports has fought no battle, and the error
// says what it printed. It was told the sides of the roster.
TEST(GameLauncher, ProgramInFolderWithSpacesGetsTwoWholeArgumentsAndAFailureIsNoBattle) {
  TempDir dir;
  const std::string program = dir.write("My Games/record args", read_bytes(test_program("record_args")));
  ASSERT_TRUE(QFile::setPermissions(q(program), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  ScopedEnv record_file("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  ScopedEnv record_env("ZORVANE_RECORD_ENV", "inherited value");
  const std::string shell = dir.file("My Shell");
  GameLauncher launcher;
  const LaunchResult result = launcher.launch_game(q(program), game_arguments(q(shell + "/zorvtmp.scn"), q(shell + "/zorvtmp.txt")));
  EXPECT_EQ(std::pair(result.status, result.exit_code), std::pair(LaunchStatus::finished, 0));
  EXPECT_TRUE(result.error.isEmpty());
  EXPECT_EQ(split_lines_any(read_bytes(dir.file("record.txt"))),
            (std::vector<std::string>{"cwd=" + QDir::currentPath().toStdString(), "env=inherited value", "sides=", "argc=2",
                                      "arg=/S:" + shell + "/zorvtmp.scn", "arg=/B:" + shell + "/zorvtmp.txt", "seed="}));
  // Its output is captured for messages, not sent to a terminal.
  EXPECT_EQ(result.output, "record_args ran\nrecord_args ran");
  EXPECT_FALSE(launcher.is_running());

  ScopedEnv exit_code("ZORVANE_RECORD_EXIT", "3");
  Settings settings;
  settings.game_exe_path = program;
  const BattleRunResult run = BattleRunner().run_battle(q(dir.path()), settings, "1", {"a.ai"}, {"c.ai", "d.ai"});
  EXPECT_FALSE(run.fought);
  EXPECT_TRUE(run.error.contains("record_args ran") && run.error.contains("exit code 3")) << run.error.toStdString();
  EXPECT_EQ(split_lines_any(read_bytes(dir.file("record.txt"))).at(2), "sides=122");

  // A battle's seed goes to the game alone, in place of any this program was started with.
  ScopedEnv inherited_seed("ZORVANE_BATTLE_SEED", "7");
  for (const auto& [seed, recorded] : {std::pair{std::optional(battle_seed(5, 2)), std::to_string(battle_seed(5, 2))},
                                       {std::nullopt, ""}}) {
    BattleRunner().run_battle(q(dir.path()), settings, "1", {"a.ai"}, {"c.ai"}, {}, seed);
    EXPECT_EQ(split_lines_any(read_bytes(dir.file("record.txt"))).back(), "seed=" + recorded);
  }
  // Neighbouring campaigns and battles get seeds of their own.
  EXPECT_EQ(std::set<std::uint64_t>({battle_seed(5, 2), battle_seed(5, 3), battle_seed(6, 2), battle_seed(6, 1)}).size(), 4u);
}

TEST(GameLauncher, ProgramThatCannotRunIsReportedAndNothingStarts) {
  TempDir dir;
  const std::string junk = dir.write("junk.exe", std::string("\x7f\x01\x02junk\n", 9));
  QFile::setPermissions(q(junk), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  dir.write("folder.exe/inside", "x");
  for (const auto& [path, status] : {std::pair{dir.file("missing/Vantor.exe"), LaunchStatus::not_found},
                                     {dir.file("folder.exe"), LaunchStatus::not_executable}, {junk, LaunchStatus::failed_to_start}}) {
    GameLauncher launcher;
    int started = 0;
    QObject::connect(&launcher, &GameLauncher::game_started, [&] { ++started; });
    const LaunchResult result = launcher.launch_game(q(path), game_arguments("a.scn", "a.txt"));
    EXPECT_EQ(result.status, status) << path;
    EXPECT_TRUE(result.error.contains(q(path))) << result.error.toStdString();
    EXPECT_FALSE(result.started() || launcher.is_running() || started) << path;
  }
}

// A game that never ends, stopped by abort() while its wait keeps events running: the game
// honouring SIGTERM, or ignoring it so that only the forced kill ends it. Nothing the game
// started may be left behind.
TEST(GameLauncher, AbortEndsTheGameAndEverythingItStartedWhileEventsRun) {
  for (const char* ignore_term : {"0", "1"}) {
    SCOPED_TRACE(ignore_term);
    TempDir dir;
    const std::string pid_file = dir.file("pids.txt");
    ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
    ScopedEnv term("ZORVANE_IGNORE_TERM", ignore_term);
    GameLauncher launcher;
    bool running_inside = false;
    LaunchResult second;
    when([&] { return read_pids(pid_file).size() == 2; },
         [&] {
           running_inside = launcher.is_running();
           second = launcher.launch_game(q(test_program("record_args")), {});
           launcher.abort();
         });
    const LaunchResult result = launcher.launch_game(q(test_program("never_ends")), game_arguments("a.scn", "a.txt"));
    EXPECT_EQ(result.status, LaunchStatus::aborted);
    EXPECT_TRUE(result.started() && running_inside && !launcher.is_running());
    EXPECT_EQ(second.status, LaunchStatus::busy) << "a second launch is refused while one waits";
    const auto started = read_pids(pid_file);
    ASSERT_EQ(started.size(), 2u);
    for (const long pid : started) EXPECT_TRUE(becomes_gone(pid)) << "pid " << pid;
  }
}

// Nothing the game started outlives the battle: not when Zorvane is killed during it (a
// crash, a kill, Ctrl-C in its terminal), instead of writing a report nobody reads, nor what
// a game that ends detached into a session of its own (which starts one more).
TEST(GameLauncher, WhatTheGameStartedEndsWithTheProgramWaitingForItOrWithTheBattle) {
  TempDir dir;
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  const auto expect_gone = [&] {
    const auto started = read_pids(pid_file);
    ASSERT_EQ(started.size(), 2u);
    for (const long pid : started) {
      EXPECT_TRUE(becomes_gone(pid)) << "pid " << pid;
      ::kill(static_cast<pid_t>(pid), SIGKILL);  // when the test failed
    }
    std::filesystem::remove(pid_file);
  };
  QProcess waiter;
  waiter.start(q(test_program("launch_and_wait")), {q(test_program("never_ends"))});
  ASSERT_TRUE(waiter.waitForStarted());
  for (int i = 0; i < 500 && read_pids(pid_file).size() != 2; ++i) QThread::msleep(10);
  ::kill(static_cast<pid_t>(waiter.processId()), SIGKILL);
  waiter.waitForFinished();
  expect_gone();

  ScopedEnv detach("ZORVANE_DETACH", "1");
  GameLauncher launcher;
  const LaunchResult result = launcher.launch_game(q(test_program("never_ends")), {});
  EXPECT_EQ(std::pair(result.status, result.exit_code), std::pair(LaunchStatus::finished, 0));
  expect_gone();
}

}  // namespace
}  // namespace zorvane::testing
