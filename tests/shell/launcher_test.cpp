// The game launcher against small helper programs: arguments, failures to start, the
// wait that keeps events running, and an abort that leaves no process behind.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "shell/game_launcher.h"
#include "event_helpers.h"
#include "test_files.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#endif

namespace zorvane {
namespace {

using testing::read_bytes;
using testing::TempDir;
using testing::when;

QString helper(const char* name) {
  std::string folder = testing::test_bin_dir();
  if (folder.empty()) folder = QCoreApplication::applicationDirPath().toStdString();
  return QString::fromStdString(folder + "/" + name);
}

QString q(const std::string& text) { return QString::fromStdString(text); }

// Sets an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) { qputenv(name, QByteArray::fromStdString(value)); }
  ~ScopedEnv() { qunsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The pids the never-ending helper wrote: itself and its grandchild of ours.
std::vector<long> read_pids(const std::string& path) {
  std::ifstream in(path);
  std::vector<long> pids;
  for (long pid; in >> pid;) pids.push_back(pid);
  return pids;
}

#ifdef Q_OS_UNIX
// Gone: no such process, or a zombie that merely waits for its new parent to reap it.
bool process_gone(long pid) {
  if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

bool becomes_gone(long pid) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 5000) {
    if (process_gone(pid)) return true;
    QThread::msleep(10);
  }
  return false;
}
#endif

TEST(GameLauncher, PassesScenarioAndResultAsTwoWholeArguments) {
  TempDir dir;
  const std::string record = dir.file("record.txt");
  ScopedEnv record_file("ZORVANE_RECORD_FILE", record);
  ScopedEnv record_env("ZORVANE_RECORD_ENV", "inherited value");
  const QString shell = q(dir.file("My Shell"));
  GameLauncher launcher;
  const LaunchResult result =
      launcher.launch_game(helper("record_args"), game_arguments(shell + "/zorvtmp.scn", shell + "/zorvtmp.txt"));
  EXPECT_EQ(result.status, LaunchStatus::finished);
  EXPECT_TRUE(result.started());
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(result.error.isEmpty());
  EXPECT_EQ(lines_of(read_bytes(record)),
            (std::vector<std::string>{"cwd=" + QDir::currentPath().toStdString(), "env=inherited value", "argc=2",
                                      "arg=/S:" + dir.file("My Shell") + "/zorvtmp.scn",
                                      "arg=/B:" + dir.file("My Shell") + "/zorvtmp.txt"}));
  EXPECT_FALSE(launcher.is_running());
}

TEST(GameLauncher, ProgramInFolderWithSpacesStarts) {
  TempDir dir;
  const std::string copy = dir.file("My Games/record args");
  ASSERT_TRUE(QDir().mkpath(q(dir.file("My Games"))));
  ASSERT_TRUE(QFile::copy(helper("record_args"), q(copy)));
  ScopedEnv record_file("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  GameLauncher launcher;
  EXPECT_EQ(launcher.launch_game(q(copy), {"/S:a b", "/B:c d"}).status, LaunchStatus::finished);
  const auto lines = lines_of(read_bytes(dir.file("record.txt")));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "arg=/S:a b");
  EXPECT_EQ(lines[4], "arg=/B:c d");
}

TEST(GameLauncher, ProgramThatCannotRunIsReportedByName) {
  TempDir dir;
  const std::string plain = dir.write("plain.exe", "not a program");
  const std::string junk = dir.write("junk.exe", std::string("\x7f\x01\x02junk\n", 9));
  QFile::setPermissions(q(junk), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  dir.write("folder.exe/inside", "x");
  const std::vector<std::pair<std::string, LaunchStatus>> cases = {
      {dir.file("missing/Vantor.exe"), LaunchStatus::not_found},
      {dir.file("folder.exe"), LaunchStatus::not_executable},
      {plain, LaunchStatus::not_executable},
      {junk, LaunchStatus::failed_to_start},
  };
  for (const auto& [path, status] : cases) {
    GameLauncher launcher;
    int started = 0;
    QObject::connect(&launcher, &GameLauncher::game_started, [&] { ++started; });
    const LaunchResult result = launcher.launch_game(q(path), game_arguments("a.scn", "a.txt"));
    EXPECT_EQ(result.status, status) << path;
    EXPECT_FALSE(result.started()) << path;
    EXPECT_TRUE(result.error.contains(q(path))) << result.error.toStdString();
    EXPECT_EQ(started, 0) << path;
    EXPECT_FALSE(launcher.is_running());
  }
}

TEST(GameLauncher, BlankProgramIsNotFound) {
  GameLauncher launcher;
  const LaunchResult result = launcher.launch_game("  ", {});
  EXPECT_EQ(result.status, LaunchStatus::not_found);
  EXPECT_FALSE(result.error.isEmpty());
}

#ifdef Q_OS_UNIX
class GameLauncherAbort : public ::testing::TestWithParam<bool> {};

TEST_P(GameLauncherAbort, EndsGameAndEverythingItStarted) {
  const bool ignores_term = GetParam();
  TempDir dir;
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  ScopedEnv term("ZORVANE_IGNORE_TERM", ignores_term ? "1" : "0");
  GameLauncher launcher;
  bool running_inside = false;
  when([&] { return read_pids(pid_file).size() == 2; },
       [&] {
         running_inside = launcher.is_running();
         launcher.abort();
       });
  const LaunchResult result = launcher.launch_game(helper("never_ends"), game_arguments("a.scn", "a.txt"));
  EXPECT_EQ(result.status, LaunchStatus::aborted);
  EXPECT_TRUE(result.started());
  EXPECT_TRUE(running_inside);
  EXPECT_FALSE(launcher.is_running());
  const auto started = read_pids(pid_file);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_TRUE(becomes_gone(started[0])) << "the game, pid " << started[0];
  EXPECT_TRUE(becomes_gone(started[1])) << "the game's own child, pid " << started[1];
}

INSTANTIATE_TEST_SUITE_P(TermHonouredOrIgnored, GameLauncherAbort, ::testing::Values(false, true));

TEST(GameLauncher, EventsRunAndSecondLaunchIsRefusedWhileWaiting) {
  TempDir dir;
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  GameLauncher launcher;
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  ticker.start(1);
  LaunchResult second;
  when([&] { return ticks >= 20 && read_pids(pid_file).size() == 2; },
       [&] {
         second = launcher.launch_game(helper("record_args"), {});
         launcher.abort();
       });
  const LaunchResult result = launcher.launch_game(helper("never_ends"), {});
  EXPECT_EQ(result.status, LaunchStatus::aborted);
  EXPECT_GE(ticks, 20) << "the window's timers kept running during the battle";
  EXPECT_EQ(second.status, LaunchStatus::busy);
  EXPECT_FALSE(second.error.isEmpty());
  for (const long pid : read_pids(pid_file)) EXPECT_TRUE(becomes_gone(pid)) << pid;
}

TEST(GameLauncher, DestroyingLauncherMidBattleEndsTheGame) {
  TempDir dir;
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  auto* launcher = new GameLauncher;
  when([&] { return read_pids(pid_file).size() == 2; }, [&] { delete launcher; });
  const LaunchResult result = launcher->launch_game(helper("never_ends"), {});
  EXPECT_EQ(result.status, LaunchStatus::aborted);
  for (const long pid : read_pids(pid_file)) EXPECT_TRUE(becomes_gone(pid)) << pid;
}
#endif

TEST(GameLauncher, AbortWithoutGameDoesNothing) {
  GameLauncher launcher;
  launcher.abort();
  EXPECT_FALSE(launcher.is_running());
  EXPECT_EQ(launcher.process_id(), 0);
}

TEST(GameProgramPath, RelativeSettingIsTakenAgainstProgramFolder) {
  EXPECT_EQ(game_program_path("/opt/my shell", " vantor/Vantor.exe "), "/opt/my shell/vantor/Vantor.exe");
  EXPECT_EQ(game_program_path("/opt/my shell", " /games/Vantor.exe "), "/games/Vantor.exe");
  EXPECT_EQ(game_program_path("/opt/my shell", "   "), "");
}

TEST(ResetResultFile, WritesTheMarkerLine) {
  TempDir dir;
  const std::string path = dir.write("zorvtmp.txt", "    Place  old report\r\n");
  QString error;
  EXPECT_TRUE(reset_result_file(q(path), &error));
  EXPECT_EQ(read_bytes(path), "<empty>\r\n");
  EXPECT_FALSE(reset_result_file(q(dir.file("missing/zorvtmp.txt")), &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace zorvane
