// One battle end to end: scenario and result files in the program folder, the game
// started with them, the progress panel and its abort, and the report handed back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "shell/battle_panel.h"
#include "shell/battle_runner.h"
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

std::string bin_dir() {
  std::string folder = testing::test_bin_dir();
  if (folder.empty()) folder = QCoreApplication::applicationDirPath().toStdString();
  return folder;
}

std::string vantor_path() {
#ifdef ZORVANE_PROGRAM_DIR
  return std::string(ZORVANE_PROGRAM_DIR) + "/vantor/Vantor.exe";
#else
  return bin_dir() + "/../zorvane/vantor/Vantor.exe";
#endif
}

QString q(const std::string& text) { return QString::fromStdString(text); }

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
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<long> read_pids(const std::string& path) {
  std::ifstream in(path);
  std::vector<long> pids;
  for (long pid; in >> pid;) pids.push_back(pid);
  return pids;
}

#ifdef Q_OS_UNIX
bool becomes_gone(long pid) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 5000) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z') return true;
    QThread::msleep(10);
  }
  return false;
}
#endif

Settings settings_for(const std::string& game) {
  Settings s;
  s.game_exe_path = game;
  s.terrain_maps = {"vantor/maps/meadow.map", "vantor/maps/forest.map", "vantor/maps/badlands.map",
                    "vantor/maps/lava.map", "vantor/maps/snow.map"};
  s.battle_damage = "100";
  s.battle_fuel = "100";
  s.battle_ammo = "100";
  s.battle_click_limit = "500";
  return s;
}

// A program folder with spaces in its name holding a copy of the stand-in game and units,
// laid out as the build lays out the real one.
class BattleRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(folder()));
  }
  QString folder() const { return q(dir.file("My Shell")); }
  std::string path_in(const std::string& name) const { return dir.file("My Shell/" + name); }
  void install_vantor() {
    ASSERT_TRUE(QDir().mkpath(folder() + "/vantor"));
    ASSERT_TRUE(QFile::copy(q(vantor_path()), folder() + "/vantor/Vantor.exe")) << vantor_path();
    dir.write("My Shell/vantor/brawler.ai", "name=Brawler\r\nhull=140\r\nattack=22\r\nrange=1\r\n");
    dir.write("My Shell/vantor/tank.ai", "name=Tank\r\nhull=220\r\narmor=9\r\nattack=26\r\n");
    dir.write("My Shell/vantor/scout.ai", "name=Scout\r\nhull=70\r\nrange=4\r\nspeed=5\r\n");
  }
  TempDir dir;
  QWidget window;
};

TEST_F(BattleRunnerTest, StandInGameFightsAndReportIsReadBack) {
  install_vantor();
  window.resize(640, 480);
  BattleRunner runner;
  int started = 0, finished = 0;
  QObject::connect(&runner, &BattleRunner::battle_started, [&] { ++started; });
  QObject::connect(&runner, &BattleRunner::battle_finished, [&] { ++finished; });
  const BattleRunResult result =
      runner.run_battle(folder(), settings_for("vantor/Vantor.exe"), "1", {"brawler.ai", "tank.ai"}, {"scout.ai"}, &window);
  ASSERT_TRUE(result.fought) << result.error.toStdString();
  EXPECT_FALSE(result.aborted);
  EXPECT_FALSE(result.busy);
  EXPECT_TRUE(result.error.isEmpty());
  EXPECT_EQ(started, 1);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(result.scenario_path, folder() + "/zorvtmp.scn");
  EXPECT_EQ(result.result_path, folder() + "/zorvtmp.txt");

  const auto scenario = lines_of(read_bytes(path_in("zorvtmp.scn")));
  std::vector<std::string> units;
  for (const auto& line : scenario) {
    if (line.rfind("unit=", 0) == 0) units.push_back(line);
  }
  EXPECT_EQ(units, (std::vector<std::string>{"unit=" + path_in("vantor/brawler.ai"), "unit=" + path_in("vantor/tank.ai"),
                                             "unit=" + path_in("vantor/scout.ai")}));
  EXPECT_EQ(scenario[1], "map=meadow.map");

  EXPECT_TRUE(result.report.reported);
  EXPECT_EQ(result.report.placings, 3);
  EXPECT_EQ(result.report.roster[0].unit, "brawler.ai");
  EXPECT_EQ(result.report.roster[2].side, "2");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(result.report.roster[static_cast<std::size_t>(i)].score.empty());
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_GE(outcome.attackers + outcome.defenders, 1);
  EXPECT_EQ(window.findChild<BattlePanel*>(), nullptr) << "the progress panel is gone afterwards";
  EXPECT_FALSE(runner.is_running());
}

TEST_F(BattleRunnerTest, PathsWithSpacesArriveAsWholeArguments) {
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  BattleRunner runner;
  const BattleRunResult result =
      runner.run_battle(folder(), settings_for(bin_dir() + "/record_args"), "3", {"a.ai"}, {"c.ai"}, &window);
  EXPECT_TRUE(result.fought);
  const auto recorded = lines_of(read_bytes(dir.file("record.txt")));
  ASSERT_EQ(recorded.size(), 5u);
  EXPECT_EQ(recorded[2], "argc=2");
  EXPECT_EQ(recorded[3], "arg=/S:" + path_in("zorvtmp.scn"));
  EXPECT_EQ(recorded[4], "arg=/B:" + path_in("zorvtmp.txt"));
  // The helper wrote no report: the result file still holds the marker, the defenders hold.
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_FALSE(result.report.reported);
  EXPECT_EQ(result.report.roster[1].score, "1000");
  EXPECT_EQ(battle_outcome(result.report).units[0], "c.ai");
}

TEST_F(BattleRunnerTest, GameReportReplacesThePreviousOne) {
  dir.write("My Shell/zorvtmp.txt", "stale report from an earlier battle\r\n");
  std::string placing = "    Place";
  placing.resize(16, ' ');
  placing += " 1";
  placing.resize(78, ' ');
  placing += "     250";
  const std::string report = dir.write("report.txt", "Test report\n" + placing + "\n");
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  ScopedEnv copy("ZORVANE_RECORD_REPORT", report);
  BattleRunner runner;
  const BattleRunResult result =
      runner.run_battle(folder(), settings_for(bin_dir() + "/record_args"), "2", {"a.ai"}, {"c.ai"}, nullptr);
  ASSERT_TRUE(result.fought);
  EXPECT_TRUE(result.report.reported);
  EXPECT_EQ(result.report.best_score, 250);
  EXPECT_EQ(result.report.roster[0].score, "     250");
  EXPECT_EQ(result.report.roster[1].score, "");
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_EQ(outcome.units[0], "a.ai");
  EXPECT_TRUE(outcome.captured());
}

TEST_F(BattleRunnerTest, MissingGameMeansNoBattleAndSaysWhy) {
  BattleRunner runner;
  const std::string game = dir.file("nowhere/Vantor.exe");
  const BattleRunResult result = runner.run_battle(folder(), settings_for(game), "1", {"a.ai"}, {"c.ai"}, &window);
  EXPECT_FALSE(result.fought);
  EXPECT_FALSE(result.aborted);
  EXPECT_TRUE(result.error.contains(q(game))) << result.error.toStdString();
  EXPECT_TRUE(result.error.contains("not found")) << result.error.toStdString();
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_EQ(window.findChild<BattlePanel*>(), nullptr);
}

TEST_F(BattleRunnerTest, UnwritableProgramFolderMeansNoBattleNamingTheFile) {
  BattleRunner runner;
  const QString missing = q(dir.file("no such folder"));
  BattleRunResult result =
      runner.run_battle(missing, settings_for(bin_dir() + "/record_args"), "1", {"a.ai"}, {"c.ai"}, &window);
  EXPECT_FALSE(result.fought);
  EXPECT_TRUE(result.error.contains(missing + "/zorvtmp.scn")) << result.error.toStdString();

  // A folder in the way of the result file: the scenario is written, the battle is not fought.
  dir.write("My Shell/zorvtmp.txt/inside", "x");
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  result = runner.run_battle(folder(), settings_for(bin_dir() + "/record_args"), "1", {"a.ai"}, {"c.ai"}, &window);
  EXPECT_FALSE(result.fought);
  EXPECT_TRUE(result.error.contains(folder() + "/zorvtmp.txt")) << result.error.toStdString();
  EXPECT_FALSE(testing::file_exists(dir.file("record.txt"))) << "the game was not started";
}

#ifdef Q_OS_UNIX
TEST_F(BattleRunnerTest, AbortButtonEndsBattleAndDefendersHold) {
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  window.resize(800, 600);
  BattleRunner runner;
  QString label_text;
  bool panel_visible = false;
  bool busy_refused = false;
  std::string scenario_during;
  when([&] { return read_pids(pid_file).size() == 2; },
       [&] {
         auto* label = window.findChild<QLabel*>("BattleProgress");
         auto* button = window.findChild<QPushButton*>("AbortBattle");
         ASSERT_NE(label, nullptr);
         ASSERT_NE(button, nullptr);
         label_text = label->text();
         panel_visible = button->isVisibleTo(&window) && button->isEnabled();
         // A second attack while this battle runs is refused and changes nothing.
         scenario_during = read_bytes(path_in("zorvtmp.scn"));
         const BattleRunResult second =
             runner.run_battle(folder(), settings_for(bin_dir() + "/record_args"), "5", {"x.ai"}, {"y.ai"}, &window);
         busy_refused = second.busy && !second.fought && !second.error.isEmpty();
         button->click();
       });
  const BattleRunResult result = runner.run_battle(folder(), settings_for(bin_dir() + "/never_ends"), "3",
                                                   {"a.ai", "b.ai"}, {"c.ai"}, &window);
  EXPECT_TRUE(result.fought);
  EXPECT_TRUE(result.aborted);
  EXPECT_EQ(label_text, "Battle in progress...");
  EXPECT_TRUE(panel_visible);
  EXPECT_TRUE(busy_refused);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.scn")), scenario_during);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_FALSE(result.report.reported);
  EXPECT_EQ(result.report.best_score, 1000);
  const BattleOutcome outcome = battle_outcome(result.report);
  EXPECT_EQ(outcome.units[0], "c.ai");
  EXPECT_EQ(outcome.attackers, 0);
  EXPECT_EQ(window.findChild<BattlePanel*>(), nullptr);
  for (const long pid : read_pids(pid_file)) EXPECT_TRUE(becomes_gone(pid)) << pid;
}

TEST_F(BattleRunnerTest, ReportWrittenBeforeAbortDoesNotCount) {
  const std::string pid_file = dir.file("pids.txt");
  ScopedEnv pids("ZORVANE_PID_FILE", pid_file);
  BattleRunner runner;
  when([&] { return read_pids(pid_file).size() == 2; },
       [&] {
         std::string placing = "    Place";
         placing.resize(16, ' ');
         placing += " 1";
         placing.resize(78, ' ');
         placing += "     999";
         dir.write("My Shell/zorvtmp.txt", placing + "\r\n");
         runner.abort();
       });
  const BattleRunResult result =
      runner.run_battle(folder(), settings_for(bin_dir() + "/never_ends"), "3", {"a.ai"}, {"c.ai"}, nullptr);
  EXPECT_TRUE(result.aborted);
  EXPECT_EQ(read_bytes(path_in("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_EQ(result.report.roster[0].score, "");
  EXPECT_EQ(result.report.roster[1].score, "1000");
}
#endif

TEST(BattlePanel, ShowsProgressAndOffersAbort) {
  QWidget window;
  window.resize(400, 300);
  BattlePanel panel(&window);
  EXPECT_EQ(panel.label()->objectName(), "BattleProgress");
  EXPECT_EQ(panel.label()->text(), "Battle in progress...");
  EXPECT_EQ(panel.abort_button()->objectName(), "AbortBattle");
  EXPECT_EQ(panel.abort_button()->text(), "Abort battle");
  int requests = 0;
  QObject::connect(&panel, &BattlePanel::abort_requested, [&] { ++requests; });
  panel.abort_button()->click();
  panel.abort_button()->click();
  EXPECT_EQ(requests, 1) << "the button is disabled after the first press";
  EXPECT_FALSE(panel.abort_button()->isEnabled());
}

}  // namespace
}  // namespace zorvane
