// Details of the window a user meets: panels come to the front, the real dialogs, the
// window's size, rosters kept in force after a failed save.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "common/linefile.h"
#include "shell/qt_dialogs.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

int stacking(QWidget* w) { return static_cast<int>(w->parentWidget()->children().indexOf(w)); }

TEST(WindowDetails, ConfigureComesToTheFrontOfOtherPanels) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  QWidget* config = h.find<QWidget>("Picture3");
  for (const char* other : {"Picture5", "Picture12", "Picture11", "Picture4"}) {
    h.find<QWidget>(other)->show();
    h.find<QWidget>(other)->raise();
    h.find<QAction>("mnuConfig")->trigger();
    EXPECT_GT(stacking(config), stacking(h.find<QWidget>(other))) << other;
  }
}

TEST(WindowDetails, StoredSizeIsKeptForAMaximizedWindowAndHasAMinimum) {
  WindowHarness h;
  h.use_shipped_files();
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[37] = "True";
  lines[38] = "False";
  lines[39] = "800";
  lines[40] = "600";
  h.dir.write("config.dat", join_crlf(lines));
  MainWindow& w = h.start(false);
  EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(w.size(), QSize(800, 600));  // what the window manager restores it to
  EXPECT_EQ(w.minimumSize(), QSize(590, 450));
}

TEST(WindowDetails, HelpViewerFitsASmallWindowWithItsCloseLabel) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  w.resize(590, 450);
  QTest::qWait(400);  // the refit after a resize
  h.find<QAction>("mnuHelp")->trigger();
  QWidget* viewer = h.find<QWidget>("Picture4");
  QWidget* close = h.find<QWidget>("Label34");
  const QRect area(QPoint(0, 0), viewer->parentWidget()->size());
  EXPECT_TRUE(area.contains(viewer->geometry())) << viewer->width() << "x" << viewer->height();
  EXPECT_TRUE(area.contains(QRect(close->mapTo(viewer->parentWidget(), QPoint(0, 0)), close->size())));
}

TEST(WindowDetails, ArmiesThatCouldNotBeSavedStayInForceForTheNextCampaign) {
  WindowHarness h;
  h.use_shipped_files();
  const std::string map = h.dir.write("maps/duel-8.aim", shipped_file("maps/duel-8.aim"));
  h.start();
  h.click("Command16");  // Kribbles
  h.find<QListWidget>("List5")->setCurrentRow(0);
  h.click("Command17");  // remove team A's first unit
  const std::string kept = h.window->cdata()[0][0];
  std::filesystem::create_directory(h.folder_file("c_data.dat.saving"));
  std::filesystem::permissions(h.folder_file(""), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  h.click("Command18");
  std::filesystem::permissions(h.folder_file(""), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  if (h.dialogs.messages.empty()) GTEST_SKIP() << "the roster file could still be written here";
  EXPECT_TRUE(h.dialogs.messages.back().text.contains("c_data.dat"));
  h.dialogs.answer(QString::fromStdString(map));
  h.find<QAction>("mnuNew")->trigger();
  EXPECT_EQ(h.window->cdata()[0][0], kept);
  EXPECT_NE(kept, "brawler.ai");
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
  dialogs.save_file({"Save campaign", "Save Files (*.sav)|*.sav", 1, QString::fromStdString(dir.path()), "SaveGame.sav"});
  EXPECT_FALSE(asks);
}

}  // namespace
}  // namespace zorvane::testing
