// The configuration, AI, size and army panels, driven through their controls.
#include <gtest/gtest.h>

#include <QListWidget>
#include <filesystem>
#include <functional>

#include "common/linefile.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

namespace fs = std::filesystem;

TEST(ConfigPanel, OkWritesFortyOneLinesFromTheControlsAndTheyReadBack) {
  WindowHarness h;
  h.start();
  for (const auto& [name, value] : {std::pair{"Text1", " C:\\Games\\Vantor.exe "}, {"Text2", "D:\\maps\\hill.map"},
                                    {"Text7", "75"}, {"Text23", "12"}, {"Text12", "2"}, {"Text21", "  5  "},
                                    {"Text24", "1024"}, {"Text25", "768"}}) {
    h.text(name)->setText(value);
  }
  for (const char* box : {"Check2", "Check15", "Check6"}) h.find<QCheckBox>(box)->setChecked(true);
  h.find<QRadioButton>("Option11")->setChecked(true);
  h.click("Command5");
  EXPECT_FALSE(h.shown("Picture3"));
  EXPECT_EQ(h.bytes("config.dat"),
            " C:\\Games\\Vantor.exe \r\nD:\\maps\\hill.map\r\n\r\n\r\n\r\n\r\n75\r\n\r\n\r\n\r\n"
            " 0 \r\n 1 \r\n 0 \r\n 0 \r\n"
            " 0 \r\n 1 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
            "2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n  5  \r\n\r\n12\r\n 1 \r\nTrue\r\nFalse\r\n1024\r\n768\r\n");
  auto second = h.restart();
  EXPECT_EQ(second->findChild<QLineEdit*>("Text21")->text(), "  5  ");
  EXPECT_TRUE(second->findChild<QCheckBox*>("Check6")->isChecked());
  EXPECT_TRUE(second->findChild<QRadioButton*>("Option11")->isChecked());
  EXPECT_EQ(second->settings().turn_limit, "12");
}

// A line break that reached a setting used to be written into config.dat, which then had
// 42 lines, and every later setting moved up by one on the next start.
TEST(ConfigPanel, TextsNeverTakeALineBreakHoweverItArrives) {
  WindowHarness h;
  h.start();
  const struct {
    const char* control;
    std::function<void(QLineEdit*)> enter;
    std::string shown;
    int line;
  } cases[] = {
      {"Text1", [](QLineEdit* e) { e->setText("C:\\Games\r\n\\Vantor.exe"); }, "C:\\Games\\Vantor.exe", 0},
      {"Text7", [](QLineEdit* e) { e->setText("7"); e->setCursorPosition(0); e->insert("\n\t5"); }, "57", 6},
      {"Text2", [&h](QLineEdit*) { h.dialogs.answer(QStringLiteral("/maps/hill\n.map")); h.click("Command8"); },
       "/maps/hill.map", 1},
      {"Text25", [](QLineEdit* e) { e->setText("6\x7f" "00\r"); }, "600", 40},
  };
  for (const auto& c : cases) {
    c.enter(h.text(c.control));
    EXPECT_EQ(h.text(c.control)->text().toStdString(), c.shown) << c.control;
  }
  EXPECT_EQ(h.text("Text7")->cursorPosition(), 1);  // after the inserted "5"
  h.click("Command5");
  const auto lines = split_lines_any(h.bytes("config.dat"));
  ASSERT_EQ(lines.size(), 41u);
  for (const auto& c : cases) EXPECT_EQ(lines[static_cast<std::size_t>(c.line)], c.shown);
}

TEST(ConfigPanel, EditsTakeEffectAtOnceAndCloseKeepsThemUnsaved) {
  WindowHarness h{with_shipped_files};
  MainWindow& w = h.start();
  h.text("Text12")->setText("4");
  h.find<QCheckBox>("Check5")->setChecked(true);
  h.click("Command6");
  EXPECT_EQ(w.settings().augment_below, "4");
  EXPECT_EQ(w.settings().computer_controlled[0], 1);
  EXPECT_EQ(h.bytes("config.dat"), shipped_file("config.dat"));
}

TEST(ConfigPanel, AiOkWritesTheFileAndReturnsToTheConfigurationPanel) {
  WindowHarness h{with_shipped_files};
  h.start();
  h.trigger("mnuConfig");
  h.click("Command15");
  EXPECT_TRUE(h.shown("Picture5") && !h.shown("Picture3"));
  h.text("Text13")->setText("4");
  h.click("Command14");
  EXPECT_TRUE(!h.shown("Picture5") && h.shown("Picture3"));
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[25] = "4";
  EXPECT_EQ(h.bytes("config.dat"), join_crlf(lines));
}

TEST(ConfigPanel, GreyedCheckFromTheFileIsKeptUntilTheUserClicksIt) {
  WindowHarness h;
  h.config({{10, "2"}});
  h.start();
  auto* box = h.find<QCheckBox>("Check1");
  EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  h.click("Command5");
  EXPECT_EQ(split_lines_any(h.bytes("config.dat"))[10], " 2 ");
  box->click();
  EXPECT_EQ(box->checkState(), Qt::Checked);
  box->click();
  EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

// OK on the configuration panel or the army panel: the file could not be replaced, so the
// old one stays whole, the user is told which file, and the panel closes all the same.
TEST(ConfigPanel, FailedSaveNamesTheFileKeepsTheOldOneAndStillCloses) {
  for (const auto& [file, open, ok, open_after] : {std::tuple{"config.dat", "mnuConfig", "Command5", ""},
                                                   {"c_data.dat", "Command16", "Command18", "Picture3"}}) {
    WindowHarness h{with_shipped_files};
    h.start();
    fs::create_directory(h.folder_file(std::string(file) + ".saving"));
    h.trigger("mnuConfig");
    if (open != std::string("mnuConfig")) h.click(open);
    h.text("Text7")->setText("999");
    h.click(ok);
    ASSERT_EQ(h.said().size(), 1u);
    EXPECT_NE(h.said()[0].find(file), std::string::npos);
    EXPECT_EQ(h.bytes(file), shipped_file(file));
    EXPECT_FALSE(h.shown("Picture11"));
    EXPECT_EQ(h.shown("Picture3"), *open_after != 0) << file;
  }
}

TEST(Browse, EachButtonOffersItsFilterAndPutsTheChosenPathIntoItsSetting) {
  WindowHarness h{with_shipped_files};
  MainWindow& w = h.start();
  const char* map_filter = "VANTOR MAP (*.map)|*.map";
  for (const auto& [button, filter, line] :
       {std::tuple{"Command7", "VANTOR EXE|VANTOR.EXE|VANTOR EXE", 1}, {"Command8", map_filter, 2},
        {"Command9", map_filter, 3}, {"Command10", map_filter, 4}, {"Command11", map_filter, 5},
        {"Command12", map_filter, 6}, {"Command19", "Image Files (*.BMP)|*.bmp", 35}}) {
    const std::string before = *text_setting(w.settings(), line);
    h.dialogs.answer(std::nullopt);  // Cancel changes nothing
    h.click(button);
    EXPECT_EQ(*text_setting(w.settings(), line), before) << button;
    const std::string path = std::string("/chosen/") + button;
    h.dialogs.answer(q(path));
    h.click(button);
    const FileDialogRequest& request = h.dialogs.open_requests.back();
    EXPECT_EQ(request.filter, filter) << button;
    EXPECT_EQ(request.filter_index, 1);
    EXPECT_TRUE(request.file_name.isEmpty());
    EXPECT_EQ(*text_setting(w.settings(), line), path) << button;
  }
  // Only the background's choice asks for a restart.
  EXPECT_EQ(h.said(), std::vector<std::string>{"Notice: You must restart this program to see this background"});
}

TEST(SizePanel, CorrectsTooSmallValuesAndAlwaysGivesTheNotice) {
  const std::string width_msg = "Notice: Width too small to properly run program, adjusting to 590";
  const std::string height_msg = "Notice: Height too small to properly run program, adjusting to 450";
  const std::string notice = "Notice: These settings will be used the next time you run this program.";
  const struct {
    const char *width, *height, *width_after, *height_after;
    bool maximized;
    std::vector<std::string> messages;
  } cases[] = {
      {"589", "449", "590", "450", false, {width_msg, height_msg, notice}},
      {"590", "450", "590", "450", false, {notice}},
      {"", "600", "590", "600", false, {width_msg, notice}},
      {"600abc", "500", "600abc", "500", false, {notice}},
      {"1024", "x", "1024", "450", false, {height_msg, notice}},
      {"1024", "", "1024", "450", true, {height_msg, notice}},  // also while Run Maximized is chosen
  };
  for (const auto& c : cases) {
    WindowHarness h{with_shipped_files};
    h.start();
    h.trigger("mnuConfig");
    h.click("Command21");
    EXPECT_TRUE(h.shown("Picture12") && !h.shown("Picture3"));
    h.find<QRadioButton>(c.maximized ? "Option11" : "Option12")->setChecked(true);
    h.text("Text24")->setText(c.width);
    h.text("Text25")->setText(c.height);
    h.click("Command20");
    EXPECT_EQ(h.text("Text24")->text(), c.width_after);
    EXPECT_EQ(h.text("Text25")->text(), c.height_after);
    EXPECT_EQ(h.said(), c.messages) << c.width << "x" << c.height;
    EXPECT_TRUE(!h.shown("Picture12") && h.shown("Picture3"));
    EXPECT_EQ(h.bytes("config.dat"), shipped_file("config.dat"));  // confirming does not write the file
  }
}

class ArmyPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Vantor.exe", "Tank.AI", "scout.ai", "readme.txt"}) h.dir.write(std::string("game/") + name, "");
    h.config({{0, "game/Vantor.exe"}});
    h.start();
    h.click("Command16");
  }
  QListWidget* storage() { return h.find<QListWidget>("List4"); }
  QListWidget* army() { return h.find<QListWidget>("List5"); }
  QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  void remove(int row) {
    army()->setCurrentRow(row);
    h.click("Command17");
  }
  WindowHarness h{with_shipped_files};
};

TEST_F(ArmyPanel, OffersTheGamesUnitProgramsAndRefusesASixthUnit) {
  EXPECT_TRUE(h.shown("Picture11") && !h.shown("Picture3"));
  EXPECT_EQ(items(storage()), (QStringList{"scout.ai", "tank.ai"}));
  EXPECT_EQ(items(army()), (QStringList{"brawler.ai", "scout.ai", "tank.ai", "sniper.ai", "medic.ai"}));
  storage()->setCurrentRow(1);
  h.click("Command13");
  EXPECT_EQ(army()->count(), 5);
  remove(-1);  // nothing selected: nothing removed
  EXPECT_EQ(army()->count(), 5);
  remove(0);
  EXPECT_EQ(h.window->cdata()[0][4], "");
  h.click("Command13");
  EXPECT_EQ(items(army()), (QStringList{"scout.ai", "tank.ai", "sniper.ai", "medic.ai", "tank.ai"}));
  EXPECT_EQ(h.window->cdata()[0][4], "tank.ai");
}

TEST_F(ArmyPanel, SwitchingTeamRefreshesTheListsAndOkSavesAllRosters) {
  h.click("Option10");
  EXPECT_EQ(items(army()), (QStringList{"sniper.ai", "brawler.ai", "scout.ai", "medic.ai", "tank.ai"}));
  remove(1);
  remove(1);
  EXPECT_EQ(h.window->cdata()[9], (std::array<std::string, 5>{"sniper.ai", "medic.ai", "tank.ai", "", ""}));
  h.click("Command18");
  EXPECT_TRUE(!h.shown("Picture11") && h.shown("Picture3"));
  auto lines = split_lines_any(shipped_file("c_data.dat"));
  lines.resize(50);
  std::copy_n(std::begin({"sniper.ai", "medic.ai", "tank.ai", "", ""}), 5, lines.begin() + 45);
  EXPECT_EQ(h.bytes("c_data.dat"), join_crlf(lines));
}

// A QListWidget measures every entry: a megabyte-long roster line froze the panel, so
// lists show long entries cut, while the roster keeps what was read.
TEST_F(ArmyPanel, LongRosterEntriesAreShownCut) {
  h.dir.write("c_data.dat", std::string(1 << 20, 'x') + "\r\nscout.ai\r\n");
  h.window->getCdata();
  h.window->assignments();
  EXPECT_EQ(items(army()), (QStringList{QString(200, 'x') + QChar(0x2026), "scout.ai"}));
  EXPECT_TRUE(army()->uniformItemSizes() && storage()->uniformItemSizes());
  EXPECT_EQ(h.window->cdata()[0][0], std::string(4096, 'x'));
}

// Rosters that could not be saved stay in force for the next campaign.
TEST_F(ArmyPanel, RostersThatCouldNotBeSavedStayInForce) {
  const std::string map = h.dir.write("maps/duel-8.aim", shipped_file("maps/duel-8.aim"));
  remove(0);
  fs::create_directory(h.folder_file("c_data.dat.saving"));
  h.click("Command18");
  EXPECT_EQ(h.said().size(), 1u);
  h.new_campaign(map);
  EXPECT_EQ(h.window->cdata()[0][0], "scout.ai");
}

}  // namespace
}  // namespace zorvane::testing
