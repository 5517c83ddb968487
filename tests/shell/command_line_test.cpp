// A file named on the command line opens as if it had been chosen in File, New or File, Load.
#include <gtest/gtest.h>

#include "window_harness.h"

namespace zorvane::testing {
namespace {

TEST(CommandLine, AMapStartsACampaignAndASaveLoadsRelativeToTheStartFolder) {
  WindowHarness by_menu;
  by_menu.use_shipped_files();
  by_menu.start();
  by_menu.new_campaign(by_menu.dir.write("maps/DUEL-8.AIM", shipped_file("maps/duel-8.aim")));

  WindowHarness h;
  h.use_shipped_files();
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
  WindowHarness h;
  h.use_shipped_files();
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

}  // namespace
}  // namespace zorvane::testing
