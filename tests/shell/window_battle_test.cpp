// A battle fought from the main window: the game runs while the window shows a battle in
// progress with a way to end it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "child_programs.h"
#include "event_helpers.h"
#include "bridge/battle_runner.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

class WindowBattle : public ::testing::Test {
 protected:
  void SetUp() override {
    h.use_shipped_files();
    h.dir.write("maps/small.aim", "12A\r\n3B4\r\n555\r\n");
    h.start();
    h.dialogs.answer(QString::fromStdString(h.folder_file("maps/small.aim")));
    h.find<QAction>("mnuNew")->trigger();
    ASSERT_TRUE(h.find<QAction>("mnuSave")->isEnabled());
  }
  WindowHarness h;
};

TEST_F(WindowBattle, GameIsFoundRelativeToTheProgramFolderAndReportsBack) {
  const QString game_folder = QString::fromStdString(h.folder_file("vantor"));
  ASSERT_TRUE(QDir().mkpath(game_folder));
  ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe"), game_folder + "/Vantor.exe"));
  for (const char* unit : {"tank.ai", "scout.ai"}) {
    h.dir.write(std::string("vantor/") + unit, read_bytes(std::string(ZORVANE_SOURCE_DIR "/data/vantor/") + unit));
  }
  const BattleRunResult result = h.window->fight_battle("3", {"tank.ai"}, {"scout.ai"});
  ASSERT_TRUE(result.fought) << result.error.toStdString();
  EXPECT_FALSE(result.aborted);
  const std::string report = read_bytes(h.folder_file("zorvtmp.txt"));
  EXPECT_NE(report.find("Place"), std::string::npos);
  EXPECT_NE(read_bytes(h.folder_file("zorvtmp.scn")).find("unit=" + h.folder_file("vantor/tank.ai")),
            std::string::npos);
  EXPECT_GT(result.report.best_score, 0.0);
}

#ifndef _WIN32
TEST_F(WindowBattle, BattleInProgressShowsAnAbortThatLeavesTheDefendersHolding) {
  h.window->settings().game_exe_path = test_program("never_ends");
  bool seen_progress = false;
  bool save_held_off = false;
  when(
      [&] {
        auto* label = h.window->findChild<QLabel*>("BattleProgress");
        return label && label->isVisible();
      },
      [&] {
        seen_progress = true;
        save_held_off = !h.find<QAction>("mnuSave")->isEnabled();
        h.window->findChild<QPushButton*>("AbortBattle")->click();
      });
  const BattleRunResult result = h.window->fight_battle("2", {"tank.ai"}, {"scout.ai"});
  EXPECT_TRUE(seen_progress);
  EXPECT_TRUE(save_held_off);
  EXPECT_TRUE(result.fought);
  EXPECT_TRUE(result.aborted);
  EXPECT_EQ(read_bytes(h.folder_file("zorvtmp.txt")), "<empty>\r\n");
  EXPECT_FALSE(h.window->battle_running());
  EXPECT_TRUE(h.find<QAction>("mnuSave")->isEnabled());
  EXPECT_EQ(h.window->findChild<QLabel*>("BattleProgress"), nullptr);
}

TEST_F(WindowBattle, ExitDuringABattleEndsTheGame) {
  h.window->settings().game_exe_path = test_program("never_ends");
  when([&] { return h.window->battle_running(); }, [&] { h.find<QAction>("mnuExit")->trigger(); });
  const BattleRunResult result = h.window->fight_battle("2", {"tank.ai"}, {"scout.ai"});
  EXPECT_TRUE(result.aborted);
  EXPECT_FALSE(h.window->isVisible());
}
#endif

TEST_F(WindowBattle, MissingGameMeansNoBattleWithTheReason) {
  h.window->settings().game_exe_path = "vantor/NoSuchGame.exe";
  const BattleRunResult result = h.window->fight_battle("1", {"tank.ai"}, {"scout.ai"});
  EXPECT_FALSE(result.fought);
  EXPECT_TRUE(result.error.contains("NoSuchGame.exe"));
  EXPECT_TRUE(h.find<QAction>("mnuSave")->isEnabled());
}

}  // namespace
}  // namespace zorvane::testing
