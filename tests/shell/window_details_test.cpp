// Details of the window a user meets: panels come to the front, the viewer fits a small
// window, and the real dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "shell/qt_dialogs.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

int stacking(QWidget* w) { return static_cast<int>(w->parentWidget()->children().indexOf(w)); }

TEST(WindowDetails, ConfigureComesToTheFrontOfOtherPanels) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  for (const char* other : {"Picture5", "Picture12", "Picture11", "Picture4"}) {
    h.find<QWidget>(other)->show();
    h.find<QWidget>(other)->raise();
    h.trigger("mnuConfig");
    EXPECT_GT(stacking(h.find<QWidget>("Picture3")), stacking(h.find<QWidget>(other))) << other;
  }
}

TEST(WindowDetails, HelpViewerFitsASmallWindowWithItsCloseLabel) {
  WindowHarness h;
  h.use_shipped_files();
  h.start().resize(590, 450);
  QTest::qWait(400);  // the refit after a resize
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

}  // namespace
}  // namespace zorvane::testing
