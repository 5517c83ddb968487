// Details of the window a user meets: panels come to the front, the viewer fits a small
// window, the real dialogs, files named on the command line, and a battle fought from the
// window while it shows the battle in progress with a way to end it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "bridge/battle_runner.h"
#include "event_helpers.h"
#include "shell/qt_dialogs.h"
#include "shell/panel.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

int stacking(QWidget* w) { return static_cast<int>(w->parentWidget()->children().indexOf(w)); }

TEST(WindowDetails, ConfigureComesToTheFrontOfOtherPanels) {
  WindowHarness h{with_shipped_files};
  h.start();
  for (const char* other : {"Picture5", "Picture12", "Picture11", "Picture4"}) {
    h.find<QWidget>(other)->show();
    h.find<QWidget>(other)->raise();
    h.trigger("mnuConfig");
    EXPECT_GT(stacking(h.find<QWidget>("Picture3")), stacking(h.find<QWidget>(other))) << other;
  }
}

TEST(WindowDetails, HelpViewerFitsASmallWindowWithItsCloseLabel) {
  WindowHarness h{with_shipped_files};
  h.start().resize(590, 450);
  ASSERT_TRUE(wait_until([&] { return h.find<SurfaceWidget>("Picture1")->surface().size() == h.window->centralWidget()->size(); }));
  h.trigger("mnuHelp");
  QWidget* viewer = h.find<QWidget>("Picture4");
  QWidget* close = h.find<QWidget>("Label34");
  const QRect area(QPoint(0, 0), viewer->parentWidget()->size());
  EXPECT_TRUE(area.contains(viewer->geometry())) << viewer->width() << "x" << viewer->height();
  EXPECT_TRUE(area.contains(QRect(close->mapTo(viewer->parentWidget(), QPoint(0, 0)), close->size())));
}

// The real dialogs, answered by a timer: a message box shows the arrow, not a wait cursor
// left on by the work before it; the save dialog replaces a file without asking.
TEST(RealDialogs, MessageShowsTheArrowAndSaveDoesNotAskBeforeReplacing) {
  QtDialogs dialogs;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool arrow_during = false;
  QTimer::singleShot(50, [&] {
    arrow_during = QApplication::overrideCursor() == nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
  });
  dialogs.message("Done", "Notice");
  EXPECT_TRUE(arrow_during);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QApplication::restoreOverrideCursor();

  TempDir dir;
  dir.write("SaveGame.sav", "old");
  bool asks = true;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    asks = !box->testOption(QFileDialog::DontConfirmOverwrite);
    box->reject();
  });
  dialogs.save_file({"Save campaign", "Save Files (*.sav)|*.sav", 1, q(dir.path()), "SaveGame.sav"});
  EXPECT_FALSE(asks);
}

TEST(CommandLine, AMapStartsACampaignAndASaveLoadsRelativeToTheStartFolder) {
  WindowHarness by_menu{with_shipped_files};
  by_menu.start();
  by_menu.new_campaign(by_menu.dir.write("maps/DUEL-8.AIM", shipped_file("maps/duel-8.aim")));

  WindowHarness h{with_shipped_files};
  h.dir.write("blog.txt", "an old log\r\n");
  h.start();
  // The map lives in the other folder: the path is taken against where the program started,
  // and the extension in any case.
  h.window->open_command_line({QStringLiteral("maps/DUEL-8.AIM")}, q(by_menu.dir.path()));
  EXPECT_TRUE(h.said().empty());
  EXPECT_EQ(h.window->state().cells, by_menu.window->state().cells);
  EXPECT_EQ(h.bytes("blog.txt"), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n");
  for (const char* item : {"mnuNew", "mnuLoad", "mnuSave", "mnusnapshot"}) EXPECT_EQ(h.enabled(item), by_menu.enabled(item)) << item;

  const std::string save = h.folder_file("game.SAV");
  h.dialogs.answer(q(save));
  h.trigger("mnuSave");
  h.window = h.restart();
  h.window->open_command_line({q(save)}, QStringLiteral("/"));
  EXPECT_TRUE(h.said().empty());
  EXPECT_FALSE(h.enabled("mnuLoad"));
  EXPECT_EQ(h.window->state().field(10, owner).to_text(), "A");
}

TEST(CommandLine, MissingDamagedOrOtherFilesAreExplainedAndLeaveTheProgramReady) {
  WindowHarness h{with_shipped_files};
  h.dir.write("bad.aim", "12\r\n3\r\n");
  h.dir.write("notes.txt", "hello");
  h.start();
  const struct {
    QStringList files;
    const char* says;
  } cases[] = {{{"missing.aim"}, "missing.aim"}, {{"bad.aim"}, "bad.aim"}, {{"notes.txt"}, "Usage: zorvane [FILE]"},
               {{"bad.aim", "missing.sav"}, "Usage: zorvane [FILE]"}};
  for (const auto& c : cases) {
    h.dialogs.messages.clear();
    h.window->open_command_line(c.files, q(h.dir.path()));
    ASSERT_EQ(h.said().size(), 1u) << c.says;
    EXPECT_NE(h.said()[0].find(c.says), std::string::npos) << h.said()[0];
    EXPECT_TRUE(h.enabled("mnuNew") && h.enabled("mnuLoad"));
  }
  EXPECT_FALSE(h.window->windowIcon().isNull());
}

class WindowBattle : public ::testing::Test {
 protected:
  void SetUp() override {
    h.start();
    h.new_campaign(h.dir.write("maps/small.aim", "12A\r\n3B4\r\n555\r\n"));
    ASSERT_TRUE(h.enabled("mnuSave"));
  }
  WindowHarness h{with_shipped_files};
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


}  // namespace
}  // namespace zorvane::testing
