// Start-up, activation, menus and panels of the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "common/linefile.h"
#include "shell/panel.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

TEST(StartUp, WithoutConfigFileTheNoticeShowsAndTheConfigurationPanelIsOpen) {
  WindowHarness h;
  h.start();
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].title, "Configuration Missing");
  EXPECT_EQ(h.dialogs.messages[0].text, "Please update your configuration");
  EXPECT_TRUE(h.shown("Picture3"));
  EXPECT_EQ(h.text("Text1")->text(), "");
  EXPECT_EQ(h.text("Text24")->text(), "");
  EXPECT_FALSE(h.find<QCheckBox>("Check1")->isChecked());
  EXPECT_TRUE(h.find<QRadioButton>("Option12")->isChecked());
  // An empty stored size opens the window at 640 by 480.
  EXPECT_EQ(h.window->size(), QSize(640, 480));
}

TEST(StartUp, WithShippedConfigTheSplashShowsAndNoNotice) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text.toStdString();
  EXPECT_EQ(w.windowTitle(), "Zorvane");
  EXPECT_FALSE(h.shown("Picture3"));
  EXPECT_FALSE(h.shown("Picture1"));
  ASSERT_TRUE(h.shown("Picture8"));
  auto* splash = h.find<QWidget>("Picture8");
  EXPECT_EQ(splash->size(), QSize(311, 123));
  const QWidget* inner = w.centralWidget();
  EXPECT_EQ(splash->pos(), QPoint((inner->width() - 311) / 2, (inner->height() - 123) / 2));
  EXPECT_EQ(h.text("Text1")->text(), "vantor/Vantor.exe");
  EXPECT_EQ(w.settings().game_exe_path, "vantor/Vantor.exe");
  EXPECT_EQ(w.cdata()[0][0], "brawler.ai");
}

TEST(StartUp, VersionLabelSitsInTheBottomRightCorner) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  auto* label = h.find<QLabel>("Label35");
  EXPECT_EQ(label->text(), "v1.0.0");
  const QWidget* inner = w.centralWidget();
  EXPECT_EQ(label->y(), inner->height() - label->height());
  EXPECT_EQ(label->x(), inner->width() - label->width() - 5);
}

TEST(StartUp, MapPictureFillsTheInnerAreaAndPanelsAreCentred) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  const QWidget* inner = w.centralWidget();
  auto* map = h.find<SurfaceWidget>("Picture1");
  EXPECT_EQ(map->surface().size(), inner->size());
  for (const char* name : {"Picture3", "Picture4", "Picture5", "Picture6", "Picture11", "Picture12"}) {
    auto* panel = h.find<QWidget>(name);
    ASSERT_NE(panel, nullptr) << name;
    EXPECT_EQ(panel->pos(), QPoint((inner->width() - panel->width()) / 2, (inner->height() - panel->height()) / 2))
        << name;
    EXPECT_FALSE(panel->isVisibleTo(&w)) << name;
  }
}

TEST(StartUp, MenusOfferOnlyNewLoadConfigureExitAndHelpBeforeACampaign) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  const auto enabled = [&](const char* name) { return h.find<QAction>(name)->isEnabled(); };
  EXPECT_TRUE(enabled("mnuNew"));
  EXPECT_TRUE(enabled("mnuLoad"));
  EXPECT_TRUE(enabled("mnuConfig"));
  EXPECT_TRUE(enabled("mnuExit"));
  EXPECT_TRUE(enabled("mnuHelp"));
  EXPECT_FALSE(enabled("mnuSave"));
  EXPECT_FALSE(enabled("mnusnapshot"));
  EXPECT_FALSE(h.find<QMenu>("mnuStats")->menuAction()->isEnabled());
  EXPECT_EQ(h.find<QMenu>("mnuFile")->title(), "&File");
  EXPECT_EQ(h.find<QMenu>("mnuStats")->title(), "&Info");
  EXPECT_EQ(h.find<QAction>("mnusnapshot")->text(), "Sna&pshot");
  EXPECT_EQ(h.find<QAction>("mnuExit")->text(), "E&xit");
  EXPECT_EQ(h.find<QAction>("mnuLog")->text(), "Lo&g");
  EXPECT_EQ(h.find<QAction>("mnulastbattle")->text(), "&Last Battle");
}

TEST(StartUp, ClockExistsDisabledAtTwoSeconds) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  auto* timer = h.find<QTimer>("Timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 2000);
  EXPECT_FALSE(timer->isActive());
}

TEST(StartUp, StoredSizeSetsTheWindowAndTooSmallFallsBackTo640By480) {
  struct Case {
    const char* width;
    const char* height;
    QSize expected;
  };
  const Case cases[] = {{"800", "600", {800, 600}}, {"589", "600", {640, 480}}, {"800", "", {640, 480}},
                        {"590", "450", {590, 450}}, {"700px", "500", {700, 500}}};
  for (const Case& c : cases) {
    WindowHarness h;
    h.use_shipped_files();
    auto lines = split_lines_any(shipped_file("config.dat"));
    lines[39] = c.width;
    lines[40] = c.height;
    h.dir.write("config.dat", join_crlf(lines));
    h.start(false);
    EXPECT_EQ(h.window->size(), c.expected) << c.width << " x " << c.height;
  }
}

TEST(StartUp, RunMaximizedMaximizesTheWindow) {
  WindowHarness h;
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[37] = "True";
  lines[38] = "False";
  h.dir.write("config.dat", join_crlf(lines));
  h.start(false);
  EXPECT_TRUE(h.window->windowState() & Qt::WindowMaximized);
  EXPECT_TRUE(h.find<QRadioButton>("Option11")->isChecked());
}

// What is not a plain file counts as missing: a named pipe used to block the start for ever.
TEST(StartUp, DamagedConfigAndRosterFilesLoadWhatTheyCan) {
  std::string junk;
  for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 131 + 7) % 256);
  junk += std::string(200000, 'x');
  enum class Kind { junk, folder, pipe };
  for (const Kind kind : {Kind::junk, Kind::folder, Kind::pipe}) {
    WindowHarness h;
    if (kind == Kind::junk) h.dir.write("config.dat", junk);
    if (kind == Kind::folder) std::filesystem::create_directory(h.folder_file("config.dat"));
    if (kind == Kind::pipe) h.dir.fifo("config.dat");
    if (kind == Kind::pipe) {
      h.dir.fifo("c_data.dat");
    } else {
      std::filesystem::create_directory(h.folder_file("c_data.dat"));
    }
    h.start();
    ASSERT_FALSE(h.dialogs.messages.empty());
    EXPECT_EQ(h.dialogs.messages[0].title, "Configuration Missing");
    EXPECT_EQ(h.dialogs.messages[0].text, "Please update your configuration");
    EXPECT_TRUE(h.shown("Picture3"));
    EXPECT_EQ(h.window->cdata()[0][0], "");
  }
}

TEST(Background, StretchedOverTheMapAndProgressShownInLabel1) {
  WindowHarness h;
  h.use_shipped_files();
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(QColor(200, 10, 10));
  ASSERT_TRUE(image.save(QString::fromStdString(h.folder_file("back.bmp")), "BMP"));
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[34] = "back.bmp";  // relative: taken against the program folder
  h.dir.write("config.dat", join_crlf(lines));
  h.start();
  EXPECT_TRUE(h.dialogs.messages.empty());
  const QImage& map = h.find<SurfaceWidget>("Picture1")->surface();
  EXPECT_EQ(map.pixelColor(0, 0), QColor(200, 10, 10));
  EXPECT_EQ(map.pixelColor(map.width() - 1, map.height() - 1), QColor(200, 10, 10));
  EXPECT_EQ(h.find<QLabel>("Label1")->text(), "2");  // the last source row
}

TEST(Background, UnusableImageLeavesThePlainMapAndSaysWhichFile) {
  struct Case {
    const char* setting;
    const char* contents;  // nullptr: no such file
    bool notice;
  } cases[] = {{"nowhere.bmp", nullptr, true}, {"broken.bmp", "BM this is not a bitmap", true}, {"  ", nullptr, false},
               {"folder.bmp", "", true}};
  for (const Case& c : cases) {
    WindowHarness h;
    h.use_shipped_files();
    if (c.contents) h.dir.write(std::string(c.setting) + (*c.contents ? "" : "/inside"), c.contents);
    auto lines = split_lines_any(shipped_file("config.dat"));
    lines[34] = c.setting;
    h.dir.write("config.dat", join_crlf(lines));
    h.start(false);
    h.window->show();
    // The notice waits until the window has painted.
    EXPECT_TRUE(h.dialogs.messages.empty());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(h.dialogs.messages.size(), c.notice ? 1u : 0u) << c.setting;
    if (c.notice) {
      EXPECT_EQ(h.dialogs.messages[0].title, "Notice");
      EXPECT_TRUE(h.dialogs.messages[0].text.contains(c.setting));
    }
    const QImage& map = h.find<SurfaceWidget>("Picture1")->surface();
    EXPECT_EQ(map.pixel(0, 0), map.pixel(map.width() / 2, map.height() / 2)) << c.setting;
  }
}

TEST(Background, ResizeBeforeACampaignRefitsTheMapOnceWithoutRepeatingNotices) {
  WindowHarness h;
  h.use_shipped_files();
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[34] = "nowhere.bmp";
  h.dir.write("config.dat", join_crlf(lines));
  MainWindow& w = h.start();
  w.resize(900, 700);
  QTest::qWait(400);
  EXPECT_EQ(h.find<SurfaceWidget>("Picture1")->surface().size(), w.centralWidget()->size());
  EXPECT_EQ(h.dialogs.messages.size(), 1u);
}

void drag(QWidget* label, QPoint by) {
  const QPoint start = label->rect().center();
  const QPoint global = label->mapToGlobal(start);
  QMouseEvent press(QEvent::MouseButtonPress, start, global, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(label, &press);
  QMouseEvent move(QEvent::MouseMove, start + by, global + by, Qt::NoButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(label, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, start + by, global + by, Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(label, &release);
}

TEST(Panels, TitleStripDragsThePanelWhichStaysWhereLeft) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  w.resize(1000, 800);
  auto* stats = h.find<QWidget>("Picture6");
  stats->show();
  const QPoint before = stats->pos();
  drag(h.find<QWidget>("Label32"), QPoint(-30, 25));
  EXPECT_EQ(stats->pos(), before + QPoint(-30, 25));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  auto* close = h.find<QWidget>("Label33");
  EXPECT_EQ(qobject_cast<QLabel*>(close)->text(), "X");
  QApplication::sendEvent(close, &press);
  QApplication::sendEvent(close, &release);
  EXPECT_FALSE(stats->isVisibleTo(&w));
  stats->show();
  EXPECT_EQ(stats->pos(), before + QPoint(-30, 25));
}

TEST(Panels, ConfigurePanelIsDraggedByItsTitleAndNotRecentredWhenReopened) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  h.find<QAction>("mnuConfig")->trigger();
  auto* panel = h.find<QWidget>("Picture3");
  const QPoint before = panel->pos();
  drag(h.find<QWidget>("Label7"), QPoint(12, 9));
  h.click("Command6");
  EXPECT_FALSE(h.shown("Picture3"));
  h.find<QAction>("mnuConfig")->trigger();
  EXPECT_TRUE(h.shown("Picture3"));
  EXPECT_EQ(panel->pos(), before + QPoint(12, 9));
}

TEST(Viewer, HelpShowsTheHelpFileUnderItsTitle) {
  WindowHarness h;
  h.use_shipped_files();
  h.dir.write("Help.txt", "line one\r\nline two\r\n");
  h.start();
  h.find<QAction>("mnuHelp")->trigger();
  EXPECT_TRUE(h.shown("Picture4"));
  EXPECT_EQ(h.find<QLabel>("Label18")->text(), "Help");
  EXPECT_EQ(h.find<QPlainTextEdit>("Text11")->toPlainText(), "line one\nline two\n");
  EXPECT_EQ(h.find<QLabel>("Label34")->text(), "X");
}

// The viewer names what keeps a file from being shown, and shows at most a bounded part of
// a huge one, saying how much is cut; a log that exists but cannot be shown overflows.
TEST(Viewer, ShowsABoundedPartOfAFileOrSaysWhyNot) {
  std::string many;
  for (int i = 0; i < 100000; ++i) {  // 14 bytes a line: 1,120,000 bytes after the first 20,000
    char line[16];
    std::snprintf(line, sizeof line, "line %07d\r\n", i);
    many += line;
  }
  const std::string one_long = std::string(100000, 'w') + "\r\nnext\r\n";
  enum class Put { none, bytes, folder, pipe };
  const struct {
    const char* name;
    Put put;
    std::string bytes;
    bool log;
    std::vector<QString> expect;
  } cases[] = {
      {"missing help", Put::none, "", false, {"Help.txt", "does not exist"}},
      {"missing log", Put::none, "", true, {"blog.txt", "does not exist"}},
      {"help is a pipe", Put::pipe, "", false, {"Help.txt", "it is a named pipe, not a file"}},
      {"log is a folder", Put::folder, "", true, {"Buffer exceeded..."}},
      {"log is a pipe", Put::pipe, "", true, {"Buffer exceeded..."}},
      {"many lines", Put::bytes, many, false,
       {"line 0000000\nline 0000001\n", "line 0019999\n",
        "[Only the first 20000 lines are shown; the remaining 1.1 MiB of the file are cut.]"}},
      {"a long line", Put::bytes, one_long, true,
       {QString(4096, 'w') + QChar(0x2026) + "\nnext\n", "[1 lines longer than 4096 characters are cut short"}},
  };
  for (const auto& c : cases) {
    WindowHarness h;
    h.use_shipped_files();
    const std::string name = c.log ? "blog.txt" : "Help.txt";
    std::filesystem::remove(h.folder_file(name));
    if (c.put == Put::bytes) h.dir.write(name, c.bytes);
    if (c.put == Put::folder) std::filesystem::create_directory(h.folder_file(name));
    if (c.put == Put::pipe) h.dir.fifo(name);
    h.start();
    if (c.log) {
      h.window->mnuLog_Click();
    } else {
      h.find<QAction>("mnuHelp")->trigger();
    }
    EXPECT_TRUE(h.shown("Picture4")) << c.name;
    const QString shown = h.find<QPlainTextEdit>("Text11")->toPlainText();
    EXPECT_LT(shown.size(), 1200000) << c.name;
    for (const QString& part : c.expect) EXPECT_TRUE(shown.contains(part)) << c.name << ": " << shown.right(300).toStdString();
    EXPECT_FALSE(shown.contains("line 0020000")) << c.name;
  }
}

TEST(Viewer, LastBattleShowsTheResultFileLeftFromAnEarlierRun) {
  WindowHarness h;
  h.use_shipped_files();
  h.dir.write("zorvtmp.txt", "<empty>\r\n");
  h.start();
  h.window->mnulastbattle_Click();
  EXPECT_EQ(h.find<QLabel>("Label18")->text(), "Summary from last battle");
  EXPECT_EQ(h.find<QPlainTextEdit>("Text11")->toPlainText(), "<empty>\n");
  h.window->Label34_Click();
  EXPECT_FALSE(h.shown("Picture4"));
}

TEST(Exit, EndsAtOnceWithoutWritingAnything) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  h.text("Text1")->setText("changed");
  h.find<QAction>("mnuExit")->trigger();
  EXPECT_FALSE(h.window->isVisible());
  EXPECT_EQ(read_bytes(h.folder_file("config.dat")), shipped_file("config.dat"));
  EXPECT_TRUE(h.dialogs.messages.empty());
}

}  // namespace
}  // namespace zorvane::testing
