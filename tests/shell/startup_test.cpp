// Start-up, activation, menus, panels and the viewer of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "event_helpers.h"
#include "shell/panel.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

namespace fs = std::filesystem;

QPoint centred(const QWidget* inner, const QWidget* w) {
  return {(inner->width() - w->width()) / 2, (inner->height() - w->height()) / 2};
}

// What is not a plain file counts as missing: a named pipe used to block the start for ever.
TEST(StartUp, MissingOrUnreadableConfigShowsTheNoticeAndTheConfigurationPanel) {
  std::string junk;
  for (int i = 0; i < 3000; ++i) junk += static_cast<char>((i * 131 + 7) % 256);
  junk += std::string(200000, 'x');
  for (const char* kind : {"none", "junk", "folder", "pipe"}) {
    WindowHarness h;
    if (kind == std::string("junk")) h.dir.write("config.dat", junk);
    if (kind == std::string("folder")) fs::create_directory(h.folder_file("config.dat"));
    if (kind == std::string("pipe")) h.dir.fifo("config.dat");
    if (kind == std::string("pipe")) h.dir.fifo("c_data.dat");
    if (kind == std::string("folder")) fs::create_directory(h.folder_file("c_data.dat"));
    h.start();
    EXPECT_EQ(h.said(), std::vector<std::string>{"Configuration Missing: Please update your configuration"}) << kind;
    EXPECT_TRUE(h.shown("Picture3")) << kind;
    EXPECT_EQ(h.window->cdata()[0][0], "") << kind;
  }
}

TEST(StartUp, ShippedConfigShowsTheCentredSplashAndOnlyTheMenusBeforeACampaign) {
  WindowHarness h{with_shipped_files};
  MainWindow& w = h.start();
  EXPECT_TRUE(h.said().empty());
  EXPECT_EQ(w.windowTitle(), "Zorvane");
  EXPECT_EQ(h.text("Text1")->text(), "vantor/Vantor.exe");
  EXPECT_EQ(w.cdata()[0][0], "brawler.ai");
  const QWidget* inner = w.centralWidget();
  auto* splash = h.find<QWidget>("Picture8");
  ASSERT_TRUE(h.shown("Picture8"));
  EXPECT_EQ(splash->geometry(), QRect(centred(inner, splash), QSize(311, 123)));
  EXPECT_EQ(h.find<SurfaceWidget>("Picture1")->surface().size(), inner->size());
  for (const char* name : {"Picture1", "Picture3", "Picture4", "Picture5", "Picture6", "Picture11", "Picture12"}) {
    EXPECT_FALSE(h.shown(name)) << name;
    if (name != std::string("Picture1")) { EXPECT_EQ(h.find<QWidget>(name)->pos(), centred(inner, h.find<QWidget>(name))) << name; }
  }
  auto* label = h.find<QLabel>("Label35");
  EXPECT_EQ(label->text(), "v1.0.0");
  EXPECT_EQ(label->pos(), QPoint(inner->width() - label->width() - 5, inner->height() - label->height()));
  for (const auto& [item, on] : {std::pair{"mnuNew", true}, {"mnuLoad", true}, {"mnuConfig", true}, {"mnuExit", true},
                                 {"mnuHelp", true}, {"mnuSave", false}, {"mnusnapshot", false}, {"mnuStats", false}}) {
    EXPECT_EQ(h.enabled(item), on) << item;
  }
}

// The stored size sets the window, too small or missing falls back to 640 by 480; a
// maximized window keeps the stored size for when it is restored.
TEST(StartUp, StoredSizeSetsTheWindowWithAMinimum) {
  const struct {
    const char *maximized, *width, *height;
    QSize expected;
  } cases[] = {{"False", "800", "600", {800, 600}}, {"False", "589", "600", {640, 480}},
               {"False", "800", "", {640, 480}},    {"False", "590", "450", {590, 450}},
               {"False", "700px", "500", {700, 500}}, {"True", "800", "600", {800, 600}}};
  for (const auto& c : cases) {
    WindowHarness h{with_shipped_files};
    h.config({{37, c.maximized}, {38, "False"}, {39, c.width}, {40, c.height}});
    MainWindow& w = h.start(false);
    EXPECT_EQ(w.size(), c.expected) << c.width << " x " << c.height;
    EXPECT_EQ(bool(w.windowState() & Qt::WindowMaximized), c.maximized == std::string("True"));
    EXPECT_EQ(w.minimumSize(), QSize(590, 450));
  }
}

TEST(Background, IsStretchedOverTheMapWithItsProgressInLabel1) {
  WindowHarness h{with_shipped_files};
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(QColor(200, 10, 10));
  ASSERT_TRUE(image.save(q(h.folder_file("back.bmp")), "BMP"));
  h.config({{34, "back.bmp"}});  // relative: taken against the program folder
  h.start();
  EXPECT_TRUE(h.said().empty());
  const QImage& map = h.find<SurfaceWidget>("Picture1")->surface();
  EXPECT_EQ(map.pixelColor(0, 0), QColor(200, 10, 10));
  EXPECT_EQ(map.pixelColor(map.width() - 1, map.height() - 1), QColor(200, 10, 10));
  EXPECT_EQ(h.find<QLabel>("Label1")->text(), "2");  // the last source row
}

// The notice waits until the window has painted, and a resize refits the map without
// repeating it.
TEST(Background, UnusableImageLeavesThePlainMapAndSaysWhichFileOnce) {
  const struct {
    const char* setting;
    const char* contents;  // nullptr: no such file; "": a folder
    bool notice;
  } cases[] = {{"nowhere.bmp", nullptr, true}, {"broken.bmp", "BM this is not a bitmap", true},
               {"  ", nullptr, false}, {"folder.bmp", "", true}};
  for (const auto& c : cases) {
    WindowHarness h{with_shipped_files};
    if (c.contents) h.dir.write(std::string(c.setting) + (*c.contents ? "" : "/inside"), c.contents);
    h.config({{34, c.setting}});
    h.start(false).show();
    EXPECT_TRUE(h.said().empty());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    h.window->resize(900, 700);
    const QImage& map = h.find<SurfaceWidget>("Picture1")->surface();
    EXPECT_TRUE(wait_until([&] { return map.size() == h.window->centralWidget()->size(); })) << "the map is refitted";
    const auto said = h.said();
    ASSERT_EQ(said.size(), c.notice ? 1u : 0u) << c.setting;
    if (c.notice) { EXPECT_TRUE(said[0].rfind("Notice: ", 0) == 0 && said[0].find(c.setting) != std::string::npos) << said[0]; }
    EXPECT_EQ(map.pixel(0, 0), map.pixel(map.width() / 2, map.height() / 2)) << c.setting;
  }
}

// Qt keeps one point per device: each event is made only once the one before it was sent.
void drag(QWidget* label, QPoint by) {
  const QPoint start = label->rect().center(), global = label->mapToGlobal(start);
  QMouseEvent press(QEvent::MouseButtonPress, start, global, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(label, &press);
  QMouseEvent move(QEvent::MouseMove, start + by, global + by, Qt::NoButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(label, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, start + by, global + by, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(label, &release);
}

// A panel dragged by its title strip stays where it was left when closed and opened again.
TEST(Panels, TitleStripDragsThePanelWhichStaysWhereLeft) {
  WindowHarness h{with_shipped_files};
  h.start().resize(1000, 800);
  const struct {
    const char *panel, *strip;
    std::function<void()> close, open;
  } cases[] = {
      {"Picture6", "Label32",
       [&] {
         EXPECT_EQ(h.find<QLabel>("Label33")->text(), "X");
         QTest::mouseClick(h.find<QWidget>("Label33"), Qt::LeftButton);
       },
       [&] { h.find<QWidget>("Picture6")->show(); }},
      {"Picture3", "Label7", [&] { h.click("Command6"); }, [&] { h.trigger("mnuConfig"); }},
  };
  for (const auto& c : cases) {
    auto* panel = h.find<QWidget>(c.panel);
    c.open();
    const QPoint before = panel->pos();
    drag(h.find<QWidget>(c.strip), QPoint(-30, 25));
    EXPECT_EQ(panel->pos(), before + QPoint(-30, 25)) << c.panel;
    c.close();
    EXPECT_FALSE(h.shown(c.panel)) << c.panel;
    c.open();
    EXPECT_EQ(panel->pos(), before + QPoint(-30, 25)) << c.panel;
  }
}

// The viewer names what keeps a file from being shown, and shows at most a bounded part of
// a huge one, saying how much is cut; a log that exists but cannot be shown overflows.
TEST(Viewer, ShowsTheFileUnderItsTitleBoundedOrSaysWhyNot) {
  std::string many;
  for (int i = 0; i < 100000; ++i) {  // 14 bytes a line: 1,120,000 bytes after the first 20,000
    char line[16];
    std::snprintf(line, sizeof line, "line %07d\r\n", i);
    many += line;
  }
  enum Put { none, bytes, folder, pipe };
  const struct {
    const char* file;
    Put put;
    std::string bytes;
    std::vector<QString> expect;  // the title first
  } cases[] = {
      {"Help.txt", bytes, "line one\r\nline two\r\n", {"Help", "line one\nline two\n"}},
      {"zorvtmp.txt", bytes, "<empty>\r\n", {"Summary from last battle", "<empty>\n"}},
      {"Help.txt", none, "", {"Help", "Help.txt", "does not exist"}},
      {"blog.txt", none, "", {"Battle Log", "blog.txt", "does not exist"}},
      {"Help.txt", pipe, "", {"Help", "Help.txt", "it is a named pipe, not a file"}},
      {"blog.txt", folder, "", {"Battle Log", "Buffer exceeded..."}},
      {"blog.txt", pipe, "", {"Battle Log", "Buffer exceeded..."}},
      {"Help.txt", bytes, many, {"Help", "line 0000000\nline 0000001\n", "line 0019999\n",
        "[Only the first 20000 lines are shown; the remaining 1.1 MiB of the file are cut.]"}},
      {"blog.txt", bytes, std::string(100000, 'w') + "\r\nnext\r\n",
       {"Battle Log", QString(4096, 'w') + QChar(0x2026) + "\nnext\n", "[1 lines longer than 4096 characters are cut short"}},
  };
  for (const auto& c : cases) {
    WindowHarness h{with_shipped_files};
    fs::remove(h.folder_file(c.file));
    if (c.put == bytes) h.dir.write(c.file, c.bytes);
    if (c.put == folder) fs::create_directory(h.folder_file(c.file));
    if (c.put == pipe) h.dir.fifo(c.file);
    h.start();
    const std::string file = c.file;
    if (file == "Help.txt") h.trigger("mnuHelp");
    if (file == "blog.txt") h.window->mnuLog_Click();
    if (file == "zorvtmp.txt") h.window->mnulastbattle_Click();
    ASSERT_TRUE(h.shown("Picture4")) << c.file;
    EXPECT_EQ(h.find<QLabel>("Label18")->text(), c.expect[0]);
    const QString shown = h.find<QPlainTextEdit>("Text11")->toPlainText();
    EXPECT_LT(shown.size(), 1200000) << c.file;
    EXPECT_FALSE(shown.contains("line 0020000"));
    for (std::size_t i = 1; i < c.expect.size(); ++i) EXPECT_TRUE(shown.contains(c.expect[i])) << shown.right(300).toStdString();
    if (c.put == bytes && c.bytes.size() < 100) { EXPECT_EQ(shown, c.expect[1]); }
    QTest::mouseClick(h.find<QWidget>("Label34"), Qt::LeftButton);
    EXPECT_FALSE(h.shown("Picture4"));
  }
}

TEST(Exit, EndsAtOnceWithoutWritingAnything) {
  WindowHarness h{with_shipped_files};
  h.start();
  h.text("Text1")->setText("changed");
  h.trigger("mnuExit");
  EXPECT_FALSE(h.window->isVisible());
  EXPECT_EQ(h.bytes("config.dat"), shipped_file("config.dat"));
  EXPECT_TRUE(h.said().empty());
}

}  // namespace
}  // namespace zorvane::testing
