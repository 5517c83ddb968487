// A file named on the command line opens as if it had been chosen in File, New or File, Load.
#include <gtest/gtest.h>

#include <QAction>

#include "common/linefile.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

TEST(CommandLine, AMapStartsACampaignAndASaveLoadsRelativeToTheStartFolder) {
  WindowHarness by_menu;
  by_menu.use_shipped_files();
  const std::string map = by_menu.dir.write("maps/DUEL-8.AIM", shipped_file("maps/duel-8.aim"));
  by_menu.start();
  by_menu.dialogs.answer(QString::fromStdString(map));
  by_menu.find<QAction>("mnuNew")->trigger();

  WindowHarness h;
  h.use_shipped_files();
  h.dir.write("blog.txt", "an old log\r\n");
  h.start();
  // The map lives in the other folder: the path is taken against where the program started,
  // and the extension in any case.
  h.window->open_command_line({QStringLiteral("maps/DUEL-8.AIM")}, QString::fromStdString(by_menu.dir.path()));
  ASSERT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text.toStdString();
  EXPECT_EQ(h.window->state().cells, by_menu.window->state().cells);
  EXPECT_EQ(read_bytes(h.folder_file("blog.txt")), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n");
  for (const char* item : {"mnuNew", "mnuLoad", "mnuSave", "mnusnapshot"}) {
    EXPECT_EQ(h.find<QAction>(item)->isEnabled(), by_menu.find<QAction>(item)->isEnabled()) << item;
  }

  const std::string save = h.folder_file("game.SAV");
  h.dialogs.answer(QString::fromStdString(save));
  h.find<QAction>("mnuSave")->trigger();
  h.window = h.restart();
  h.window->open_command_line({QString::fromStdString(save)}, QStringLiteral("/"));
  EXPECT_TRUE(h.dialogs.messages.empty());
  EXPECT_FALSE(h.find<QAction>("mnuLoad")->isEnabled());
  EXPECT_EQ(h.window->state().field(10, owner).to_text(), "A");
}

TEST(CommandLine, MissingDamagedOrOtherFilesAreExplainedAndLeaveTheProgramReady) {
  WindowHarness h;
  h.use_shipped_files();
  h.dir.write("bad.aim", "12\r\n3\r\n");
  h.dir.write("notes.txt", "hello");
  h.start();
  const QString folder = QString::fromStdString(h.dir.path());
  const struct {
    QStringList files;
    const char* says;
  } cases[] = {
      {{"missing.aim"}, "missing.aim"},
      {{"bad.aim"}, "bad.aim"},
      {{"notes.txt"}, "Usage: zorvane [FILE]"},
      {{"bad.aim", "missing.sav"}, "Usage: zorvane [FILE]"},
  };
  for (const auto& c : cases) {
    h.dialogs.messages.clear();
    h.window->open_command_line(c.files, folder);
    ASSERT_EQ(h.dialogs.messages.size(), 1u) << c.says;
    EXPECT_TRUE(h.dialogs.messages[0].text.contains(QString::fromLatin1(c.says))) << h.dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(h.find<QAction>("mnuNew")->isEnabled());
    EXPECT_TRUE(h.find<QAction>("mnuLoad")->isEnabled());
  }
  EXPECT_FALSE(h.window->windowIcon().isNull());
}

}  // namespace
}  // namespace zorvane::testing
