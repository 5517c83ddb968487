// The configuration, AI, size and army panels, driven through their controls.
#include <gtest/gtest.h>

#include <QListWidget>
#include <filesystem>
#include <functional>

#include "common/linefile.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

TEST(ConfigPanel, OkWritesFortyOneLinesFromTheControlsAndTheyReadBack) {
  WindowHarness h;
  h.start();
  h.text("Text1")->setText(" C:\\Games\\Vantor.exe ");
  h.text("Text2")->setText("D:\\maps\\hill.map");
  h.text("Text7")->setText("75");
  h.text("Text23")->setText("12");
  h.find<QCheckBox>("Check2")->setChecked(true);
  h.find<QCheckBox>("Check15")->setChecked(true);
  h.find<QCheckBox>("Check6")->setChecked(true);  // team B computer-controlled
  h.text("Text12")->setText("2");
  h.text("Text21")->setText("  5  ");
  h.find<QRadioButton>("Option11")->setChecked(true);
  h.text("Text24")->setText("1024");
  h.text("Text25")->setText("768");
  h.click("Command5");
  EXPECT_FALSE(h.shown("Picture3"));

  const std::string bytes = read_bytes(h.folder_file("config.dat"));
  const std::string expected =
      " C:\\Games\\Vantor.exe \r\nD:\\maps\\hill.map\r\n\r\n\r\n\r\n\r\n75\r\n\r\n\r\n\r\n"
      " 0 \r\n 1 \r\n 0 \r\n 0 \r\n"
      " 0 \r\n 1 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
      "2\r\n\r\n"
      "\r\n\r\n\r\n\r\n\r\n\r\n\r\n  5  \r\n"
      "\r\n12\r\n 1 \r\nTrue\r\nFalse\r\n1024\r\n768\r\n";
  EXPECT_EQ(bytes, expected);

  auto second = h.restart();
  EXPECT_EQ(second->findChild<QLineEdit*>("Text1")->text(), " C:\\Games\\Vantor.exe ");
  EXPECT_EQ(second->findChild<QLineEdit*>("Text21")->text(), "  5  ");
  EXPECT_TRUE(second->findChild<QCheckBox*>("Check2")->isChecked());
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
    QString shown;
  } cases[] = {
      {"Text1", [](QLineEdit* e) { e->setText("C:\\Games\r\n\\Vantor.exe"); }, "C:\\Games\\Vantor.exe"},
      {"Text7", [](QLineEdit* e) { e->setText("7"); e->setCursorPosition(0); e->insert("\n\t5"); }, "57"},
      {"Text2",
       [&h](QLineEdit*) {
         h.dialogs.answer(QStringLiteral("/maps/hill\n.map"));
         h.click("Command8");
       },
       "/maps/hill.map"},
      {"Text25", [](QLineEdit* e) { e->setText("6\x7f" "00\r"); }, "600"},
  };
  for (const auto& c : cases) {
    c.enter(h.text(c.control));
    EXPECT_EQ(h.text(c.control)->text(), c.shown) << c.control;
  }
  EXPECT_EQ(h.text("Text7")->cursorPosition(), 1);  // after the inserted "5"
  h.click("Command5");
  const auto lines = split_lines_any(read_bytes(h.folder_file("config.dat")));
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[0], "C:\\Games\\Vantor.exe");
  EXPECT_EQ(lines[1], "/maps/hill.map");
  EXPECT_EQ(lines[6], "57");
  EXPECT_EQ(lines[40], "600");
}

TEST(ConfigPanel, AiOkWritesTheSameFileAndReturnsToTheConfigurationPanel) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  h.find<QAction>("mnuConfig")->trigger();
  h.click("Command15");
  EXPECT_TRUE(h.shown("Picture5"));
  EXPECT_FALSE(h.shown("Picture3"));
  h.text("Text13")->setText("4");
  h.click("Command14");
  EXPECT_FALSE(h.shown("Picture5"));
  EXPECT_TRUE(h.shown("Picture3"));
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[25] = "4";
  EXPECT_EQ(read_bytes(h.folder_file("config.dat")), join_crlf(lines));
}

TEST(ConfigPanel, EditsTakeEffectAtOnceAndCloseKeepsThemUnsaved) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  h.text("Text12")->setText("4");
  EXPECT_EQ(w.settings().augment_below, "4");
  h.find<QCheckBox>("Check5")->setChecked(true);
  EXPECT_EQ(w.settings().computer_controlled[0], 1);
  h.click("Command6");
  EXPECT_EQ(w.settings().augment_below, "4");
  EXPECT_EQ(read_bytes(h.folder_file("config.dat")), shipped_file("config.dat"));
}

TEST(ConfigPanel, GreyedCheckFromTheFileIsKeptUntilTheUserClicksIt) {
  WindowHarness h;
  auto lines = split_lines_any(shipped_file("config.dat"));
  lines[10] = "2";
  h.dir.write("config.dat", join_crlf(lines));
  h.start();
  auto* box = h.find<QCheckBox>("Check1");
  EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  h.click("Command5");
  EXPECT_EQ(split_lines_any(read_bytes(h.folder_file("config.dat")))[10], " 2 ");
  box->click();
  EXPECT_EQ(box->checkState(), Qt::Checked);
  box->click();
  EXPECT_EQ(box->checkState(), Qt::Unchecked);
}

TEST(ConfigPanel, FailedSaveNamesTheFileKeepsTheOldOneAndStillClosesThePanel) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  std::filesystem::create_directory(h.folder_file("config.dat.saving"));
  h.find<QAction>("mnuConfig")->trigger();
  h.text("Text7")->setText("999");
  h.click("Command5");
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_TRUE(h.dialogs.messages[0].text.contains("config.dat"));
  EXPECT_EQ(read_bytes(h.folder_file("config.dat")), shipped_file("config.dat"));
  EXPECT_FALSE(h.shown("Picture3"));
}

TEST(Browse, EachButtonOffersItsFilterAndPutsTheChosenPathIntoItsSetting) {
  struct Case {
    const char* button;
    const char* filter;
    int line;
  } cases[] = {{"Command7", "VANTOR EXE|VANTOR.EXE|VANTOR EXE", 1}, {"Command8", "VANTOR MAP (*.map)|*.map", 2},
               {"Command9", "VANTOR MAP (*.map)|*.map", 3},          {"Command10", "VANTOR MAP (*.map)|*.map", 4},
               {"Command11", "VANTOR MAP (*.map)|*.map", 5},         {"Command12", "VANTOR MAP (*.map)|*.map", 6}};
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  for (const Case& c : cases) {
    const std::string path = std::string("/chosen/") + c.button;
    h.dialogs.answer(QString::fromStdString(path));
    h.click(c.button);
    const FileDialogRequest& request = h.dialogs.open_requests.back();
    EXPECT_EQ(request.filter, c.filter) << c.button;
    EXPECT_EQ(request.filter_index, 1);
    EXPECT_TRUE(request.file_name.isEmpty());
    EXPECT_EQ(*text_setting(w.settings(), c.line), path) << c.button;
  }
  EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST(Browse, CancelChangesNothing) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  h.dialogs.answer(std::nullopt);
  h.click("Command10");
  EXPECT_EQ(w.settings().terrain_maps[2], "vantor/maps/badlands.map");
  h.dialogs.answer(std::nullopt);
  h.click("Command19");
  EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST(Browse, BackgroundChoiceTellsTheUserToRestartOnce) {
  WindowHarness h;
  h.use_shipped_files();
  MainWindow& w = h.start();
  h.dialogs.answer(QStringLiteral("/pictures/sky.bmp"));
  h.click("Command19");
  EXPECT_EQ(h.dialogs.open_requests.at(0).filter, "Image Files (*.BMP)|*.bmp");
  EXPECT_EQ(w.settings().background_image, "/pictures/sky.bmp");
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].title, "Notice");
  EXPECT_EQ(h.dialogs.messages[0].text, "You must restart this program to see this background");
}

struct SizeCase {
  const char* width;
  const char* height;
  const char* width_after;
  const char* height_after;
  std::vector<QString> messages;
};

TEST(SizePanel, CorrectsTooSmallValuesAndAlwaysGivesTheNotice) {
  const QString width_msg = "Width too small to properly run program, adjusting to 590";
  const QString height_msg = "Height too small to properly run program, adjusting to 450";
  const QString notice = "These settings will be used the next time you run this program.";
  const SizeCase cases[] = {
      {"589", "449", "590", "450", {width_msg, height_msg, notice}},
      {"590", "450", "590", "450", {notice}},
      {"", "600", "590", "600", {width_msg, notice}},
      {"600abc", "500", "600abc", "500", {notice}},
      {"1024", "x", "1024", "450", {height_msg, notice}},
  };
  for (const SizeCase& c : cases) {
    WindowHarness h;
    h.use_shipped_files();
    h.start();
    h.find<QAction>("mnuConfig")->trigger();
    h.click("Command21");
    EXPECT_TRUE(h.shown("Picture12"));
    EXPECT_FALSE(h.shown("Picture3"));
    h.text("Text24")->setText(c.width);
    h.text("Text25")->setText(c.height);
    h.click("Command20");
    EXPECT_EQ(h.text("Text24")->text(), c.width_after);
    EXPECT_EQ(h.text("Text25")->text(), c.height_after);
    ASSERT_EQ(h.dialogs.messages.size(), c.messages.size()) << c.width << "x" << c.height;
    for (std::size_t i = 0; i < c.messages.size(); ++i) {
      EXPECT_EQ(h.dialogs.messages[i].text, c.messages[i]);
      EXPECT_EQ(h.dialogs.messages[i].title, "Notice");
    }
    EXPECT_FALSE(h.shown("Picture12"));
    EXPECT_TRUE(h.shown("Picture3"));
    // Confirming does not write the file.
    EXPECT_EQ(read_bytes(h.folder_file("config.dat")), shipped_file("config.dat"));
  }
}

TEST(SizePanel, HeightIsCorrectedEvenWhileRunMaximizedIsChosen) {
  WindowHarness h;
  h.use_shipped_files();
  h.start();
  h.find<QRadioButton>("Option11")->setChecked(true);
  h.text("Text25")->setText("");
  h.click("Command20");
  EXPECT_EQ(h.text("Text25")->text(), "450");
}

class ArmyPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.use_shipped_files();
    h.dir.write("game/Vantor.exe", "");
    h.dir.write("game/Tank.AI", "");
    h.dir.write("game/scout.ai", "");
    h.dir.write("game/readme.txt", "");
    auto lines = split_lines_any(shipped_file("config.dat"));
    lines[0] = "game/Vantor.exe";
    h.dir.write("config.dat", join_crlf(lines));
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
  WindowHarness h;
};

TEST_F(ArmyPanelTest, KribblesOpensThePanelWithTheGamesUnitProgramsAndTeamAsArmy) {
  EXPECT_TRUE(h.shown("Picture11"));
  EXPECT_FALSE(h.shown("Picture3"));
  EXPECT_EQ(items(storage()), (QStringList{"scout.ai", "tank.ai"}));
  EXPECT_EQ(items(army()), (QStringList{"brawler.ai", "scout.ai", "tank.ai", "sniper.ai", "medic.ai"}));
}

// A QListWidget measures every entry: a megabyte-long roster line froze the panel, so
// lists show long entries cut, while the roster keeps what was read.
TEST_F(ArmyPanelTest, LongRosterEntriesAreShownCut) {
  h.dir.write("c_data.dat", std::string(1 << 20, 'x') + "\r\nscout.ai\r\n");
  h.window->getCdata();
  h.window->assignments();
  ASSERT_EQ(army()->count(), 2);
  EXPECT_EQ(army()->item(0)->text(), QString(200, 'x') + QChar(0x2026));
  EXPECT_EQ(army()->item(1)->text(), "scout.ai");
  EXPECT_TRUE(army()->uniformItemSizes());
  EXPECT_TRUE(storage()->uniformItemSizes());
  EXPECT_EQ(h.window->cdata()[0][0], std::string(4096, 'x'));
}

TEST_F(ArmyPanelTest, FullArmyRefusesAddUntilOneIsRemoved) {
  storage()->setCurrentRow(1);
  h.click("Command13");
  EXPECT_EQ(army()->count(), 5);
  army()->setCurrentRow(0);
  h.click("Command17");
  EXPECT_EQ(items(army()), (QStringList{"scout.ai", "tank.ai", "sniper.ai", "medic.ai"}));
  EXPECT_EQ(h.window->cdata()[0][4], "");
  h.click("Command13");
  EXPECT_EQ(items(army()), (QStringList{"scout.ai", "tank.ai", "sniper.ai", "medic.ai", "tank.ai"}));
  EXPECT_EQ(h.window->cdata()[0][4], "tank.ai");
}

TEST_F(ArmyPanelTest, SwitchingTeamRefreshesTheListsAndOkSavesAllRosters) {
  h.click("Option10");
  EXPECT_EQ(items(army()), (QStringList{"sniper.ai", "brawler.ai", "scout.ai", "medic.ai", "tank.ai"}));
  army()->setCurrentRow(1);
  h.click("Command17");
  army()->setCurrentRow(1);
  h.click("Command17");
  EXPECT_EQ(h.window->cdata()[9], (std::array<std::string, 5>{"sniper.ai", "medic.ai", "tank.ai", "", ""}));
  h.click("Command18");
  EXPECT_FALSE(h.shown("Picture11"));
  EXPECT_TRUE(h.shown("Picture3"));
  const auto lines = split_lines_any(read_bytes(h.folder_file("c_data.dat")));
  ASSERT_EQ(lines.size(), 50u);
  EXPECT_EQ(lines[45], "sniper.ai");
  EXPECT_EQ(lines[46], "medic.ai");
  EXPECT_EQ(lines[47], "tank.ai");
  EXPECT_EQ(lines[48], "");
  EXPECT_EQ(lines[0], "brawler.ai");
}

TEST_F(ArmyPanelTest, NothingSelectedDoesNothing) {
  storage()->clearSelection();
  army()->clearSelection();
  army()->setCurrentRow(-1);
  h.click("Command17");
  EXPECT_EQ(army()->count(), 5);
}

TEST_F(ArmyPanelTest, FailedRosterSaveNamesTheFileAndStillReturns) {
  std::filesystem::create_directory(h.folder_file("c_data.dat.saving"));
  h.click("Command18");
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_TRUE(h.dialogs.messages[0].text.contains("c_data.dat"));
  EXPECT_EQ(read_bytes(h.folder_file("c_data.dat")), shipped_file("c_data.dat"));
  EXPECT_TRUE(h.shown("Picture3"));
}

}  // namespace
}  // namespace zorvane::testing
