// A battle fought from the main window: the game runs while the window shows a battle in
// progress with a way to end it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>

#include "bridge/battle_runner.h"
#include "event_helpers.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

class WindowBattle : public ::testing::Test {
 protected:
  void SetUp() override {
    h.use_shipped_files();
    h.start();
    h.new_campaign(h.dir.write("maps/small.aim", "12A\r\n3B4\r\n555\r\n"));
    ASSERT_TRUE(h.enabled("mnuSave"));
  }
  WindowHarness h;
};

TEST_F(WindowBattle, GameIsFoundRelativeToTheProgramFolderAndReportsBack) {
  ASSERT_TRUE(QDir().mkpath(q(h.folder_file("vantor"))));
  ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe"), q(h.folder_file("vantor/Vantor.exe"))));
  for (const char* unit : {"tank.ai", "scout.ai"}) {
    h.dir.write(std::string("vantor/") + unit, read_bytes(std::string(ZORVANE_SOURCE_DIR "/data/vantor/") + unit));
  }
  const BattleRunResult result = h.window->fight_battle("3", {"tank.ai"}, {"scout.ai"});
  ASSERT_TRUE(result.fought && !result.aborted) << result.error.toStdString();
  EXPECT_NE(h.bytes("zorvtmp.txt").find("Place"), std::string::npos);
  EXPECT_NE(h.bytes("zorvtmp.scn").find("unit=" + h.folder_file("vantor/tank.ai")), std::string::npos);
  EXPECT_GT(result.report.best_score, 0.0);
}

// While the game runs the window shows the battle and holds off saving; its abort button, or
// File, Exit, ends the game and the defenders hold.
TEST_F(WindowBattle, BattleInProgressCanBeAbortedOrEndedWithTheProgram) {
  h.window->settings().game_exe_path = test_program("never_ends");
  for (const bool by_exit : {false, true}) {
    bool save_held_off = false;
    when([&] { return h.find<QLabel>("BattleProgress") && h.find<QLabel>("BattleProgress")->isVisible(); },
         [&] {
           save_held_off = !h.enabled("mnuSave");
           if (by_exit) h.trigger("mnuExit");
           else h.click("AbortBattle");
         });
    const BattleRunResult result = h.window->fight_battle("2", {"tank.ai"}, {"scout.ai"});
    EXPECT_TRUE(save_held_off && result.fought && result.aborted) << by_exit;
    EXPECT_EQ(h.bytes("zorvtmp.txt"), "<empty>\r\n");
    EXPECT_FALSE(h.window->battle_running());
    EXPECT_EQ(h.find<QLabel>("BattleProgress"), nullptr);
    EXPECT_EQ(h.window->isVisible(), !by_exit);
  }
}

TEST_F(WindowBattle, MissingGameMeansNoBattleWithTheReason) {
  h.window->settings().game_exe_path = "vantor/NoSuchGame.exe";
  const BattleRunResult result = h.window->fight_battle("1", {"tank.ai"}, {"scout.ai"});
  EXPECT_FALSE(result.fought);
  EXPECT_TRUE(result.error.contains("NoSuchGame.exe"));
  EXPECT_TRUE(h.enabled("mnuSave"));
}

}  // namespace
}  // namespace zorvane::testing
