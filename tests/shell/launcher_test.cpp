// The game launcher against small helper programs: arguments, failures to start, the
// wait that keeps events running, and an abort that leaves no process behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <array>
#include <string>
#include <vector>

#include "child_programs.h"
#include "common/linefile.h"
#include "event_helpers.h"
#include "bridge/game_launcher.h"
#include "test_files.h"

namespace zorvane {
namespace {

using namespace testing;

TEST(GameLauncher, ProgramInFolderWithSpacesGetsScenarioAndResultAsTwoWholeArguments) {
  TempDir dir;
  const std::string program = dir.file("My Games/record args");
  ASSERT_TRUE(QDir().mkpath(q(dir.file("My Games"))));
  ASSERT_TRUE(QFile::copy(q(test_program("record_args")), q(program)));
  ScopedEnv record_file("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  ScopedEnv record_env("ZORVANE_RECORD_ENV", "inherited value");
  const std::string shell = dir.file("My Shell");
  GameLauncher launcher;
  const LaunchResult result =
      launcher.launch_game(q(program), game_arguments(q(shell + "/zorvtmp.scn"), q(shell + "/zorvtmp.txt")));
  EXPECT_EQ(result.status, LaunchStatus::finished);
  EXPECT_EQ(result.exit_code, 0);
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
  struct Case {
    std::string path;
    LaunchStatus status;
    QString in_error;
  };
  const std::vector<Case> cases = {
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
    EXPECT_FALSE(result.started()) << c.path;
    EXPECT_TRUE(result.error.contains(c.in_error)) << result.error.toStdString();
    EXPECT_EQ(started, 0) << c.path;
    EXPECT_FALSE(launcher.is_running()) << c.path;
  }
}

#ifdef Q_OS_UNIX
enum class Stop { abort, abort_ignoring_term, destroy };

// A game that never ends, stopped while its wait keeps events running: abort() (the game
// honouring SIGTERM, or ignoring it so that only the forced kill ends it), or the launcher
// destroyed mid-battle. Nothing the game started may be left behind.
class GameLauncherStop : public ::testing::TestWithParam<Stop> {};

TEST_P(GameLauncherStop, EndsGameAndEverythingItStartedWhileEventsRun) {
  TempDir dir;
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  ScopedEnv term("ZORVANE_IGNORE_TERM", GetParam() == Stop::abort_ignoring_term ? "1" : "0");
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
         if (GetParam() == Stop::destroy) {
           delete launcher;
           launcher = nullptr;
         } else {
           launcher->abort();
         }
       });
  const LaunchResult result = launcher->launch_game(q(test_program("never_ends")), game_arguments("a.scn", "a.txt"));
  EXPECT_EQ(result.status, LaunchStatus::aborted);
  EXPECT_TRUE(result.started());
  EXPECT_TRUE(running_inside);
  EXPECT_GE(ticks, 20) << "the window's timers kept running during the battle";
  EXPECT_EQ(second.status, LaunchStatus::busy) << "a second launch is refused while one waits";
  EXPECT_FALSE(second.error.isEmpty());
  if (launcher) {
    EXPECT_FALSE(launcher->is_running());
    delete launcher;
  }
  const auto started = read_pids(pid_file);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_TRUE(becomes_gone(started[0])) << "the game, pid " << started[0];
  EXPECT_TRUE(becomes_gone(started[1])) << "the game's own child, pid " << started[1];
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
  QElapsedTimer clock;
  clock.start();
  while (read_pids(pid_file).size() != 2 && clock.elapsed() < 5000) QThread::msleep(10);
  const auto started = read_pids(pid_file);
  ASSERT_EQ(started.size(), 2u);
  ::kill(static_cast<pid_t>(waiter.processId()), SIGKILL);
  waiter.waitForFinished();
  EXPECT_TRUE(becomes_gone(started[0])) << "the game, pid " << started[0];
  EXPECT_TRUE(becomes_gone(started[1])) << "the game's own child, pid " << started[1];
}

INSTANTIATE_TEST_SUITE_P(AbortOrDestroy, GameLauncherStop,
                         ::testing::Values(Stop::abort, Stop::abort_ignoring_term, Stop::destroy),
                         [](const auto& info) {
                           return std::string(std::array{"Abort", "AbortIgnoringTerm", "Destroy"}[int(info.param)]);
                         });
#endif

TEST(GameProgramPath, RelativeSettingIsTakenAgainstProgramFolder) {
  EXPECT_EQ(game_program_path("/opt/my shell", " vantor/Vantor.exe "), "/opt/my shell/vantor/Vantor.exe");
  EXPECT_EQ(game_program_path("/opt/my shell", " /games/Vantor.exe "), "/games/Vantor.exe");
  EXPECT_EQ(game_program_path("/opt/my shell", "   "), "");
}

}  // namespace
}  // namespace zorvane
