// File New, Save, Load and Snapshot as the user reaches them through the menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QImageReader>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>

#include "campaign/state.h"
#include "common/linefile.h"
#include "common/palette.h"
#include "shell/panel.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

constexpr const char* kSmallMap = "12A\r\n3B4\r\n555\r\n";

class CampaignMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    h.use_shipped_files();
    map_path = QString::fromStdString(h.dir.write("maps/small.aim", kSmallMap));
    h.start();
    h.window->resize(700, 500);
  }
  void new_campaign(const QString& path) {
    h.dialogs.answer(path);
    h.find<QAction>("mnuNew")->trigger();
  }
  bool enabled(const char* name) { return h.find<QAction>(name)->isEnabled(); }
  bool info_enabled() { return h.find<QMenu>("mnuStats")->menuAction()->isEnabled(); }
  const QImage& map() { return h.find<SurfaceWidget>("Picture1")->surface(); }

  WindowHarness h;
  QString map_path;
};

TEST_F(CampaignMenus, NewWithASampleMapShowsTheMapAndSwitchesTheMenus) {
  new_campaign(QString::fromStdString(h.dir.write("maps/duel-8.aim", shipped_file("maps/duel-8.aim"))));
  ASSERT_EQ(h.dialogs.open_requests.size(), 1u);
  EXPECT_EQ(h.dialogs.open_requests[0].filter, "AIM Files (*.AIM)|*.aim|AIM Files");
  EXPECT_EQ(h.dialogs.open_requests[0].filter_index, 1);
  EXPECT_EQ(QDir(h.dialogs.open_requests[0].folder), QDir(QString::fromStdString(h.dir.path())));
  EXPECT_TRUE(h.dialogs.messages.empty());
  EXPECT_TRUE(h.shown("Picture1"));
  EXPECT_FALSE(enabled("mnuNew"));
  EXPECT_FALSE(enabled("mnuLoad"));
  EXPECT_TRUE(enabled("mnuSave"));
  EXPECT_TRUE(enabled("mnusnapshot"));
  EXPECT_TRUE(info_enabled());
  EXPECT_TRUE(h.find<QTimer>("Timer1")->isActive());
  const CampaignState& s = h.window->state();
  EXPECT_EQ(s.team_count, 2);
  EXPECT_EQ(s.grid_rows, 8);
  EXPECT_EQ(s.field(10, owner).to_text(), "A");
  EXPECT_EQ(read_bytes(h.folder_file("blog.txt")), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n");
  // Cell 1's light green tile is drawn at its place on the map.
  const int x = s.field(1, x_px).to_whole() + s.cell_w / 2;
  const int y = s.field(1, y_px).to_whole() + s.cell_h - 2;
  EXPECT_EQ(map().pixelColor(x, y), QColor(15, 165, 0));
}

TEST_F(CampaignMenus, CancellingNewChangesNothing) {
  h.dir.write("blog.txt", "old log\r\n");
  h.dialogs.answer(std::nullopt);
  h.find<QAction>("mnuNew")->trigger();
  EXPECT_TRUE(enabled("mnuNew"));
  EXPECT_TRUE(enabled("mnuLoad"));
  EXPECT_FALSE(enabled("mnuSave"));
  EXPECT_FALSE(info_enabled());
  EXPECT_FALSE(h.find<QTimer>("Timer1")->isActive());
  EXPECT_FALSE(h.shown("Picture1"));
  EXPECT_EQ(read_bytes(h.folder_file("blog.txt")), "old log\r\n");
}

TEST_F(CampaignMenus, RejectedMapSaysWhyAndLeavesEverythingSoAnotherCanBePicked) {
  h.dir.write("blog.txt", "old log\r\n");
  const QString bad = QString::fromStdString(h.dir.write("maps/bad.aim", "12A\r\n3B\r\n555\r\n"));
  new_campaign(bad);
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_TRUE(h.dialogs.messages[0].text.contains("bad.aim"));
  EXPECT_TRUE(enabled("mnuNew"));
  EXPECT_FALSE(h.find<QTimer>("Timer1")->isActive());
  EXPECT_EQ(read_bytes(h.folder_file("blog.txt")), "old log\r\n");
  EXPECT_EQ(h.window->state().team_count, 0);
  new_campaign(map_path);
  EXPECT_FALSE(enabled("mnuNew"));
  EXPECT_EQ(h.window->state().team_count, 2);
}

TEST_F(CampaignMenus, LogRightAfterNewShowsOnlyTheHeader) {
  new_campaign(map_path);
  h.find<QAction>("mnuLog")->trigger();
  EXPECT_EQ(h.find<QPlainTextEdit>("Text11")->toPlainText(), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\n");
}

TEST_F(CampaignMenus, SaveProposesSaveGameAndWritesTheCampaign) {
  new_campaign(map_path);
  const std::string save = h.dir.file("camp.sav");
  h.dialogs.answer(QString::fromStdString(save));
  h.find<QAction>("mnuSave")->trigger();
  ASSERT_EQ(h.dialogs.save_requests.size(), 1u);
  EXPECT_EQ(h.dialogs.save_requests[0].file_name, "SaveGame.sav");
  EXPECT_EQ(h.dialogs.save_requests[0].filter, "Save Files (*.sav)|*.sav");
  const auto lines = split_lines_cr(read_bytes(save));
  ASSERT_EQ(lines.size(), 273u);
  EXPECT_EQ(lines[0], map_path.toStdString());
  EXPECT_EQ(lines[1], " 1");
  EXPECT_EQ(lines[2], " 2");
  EXPECT_EQ(lines[12], "1");
}

TEST_F(CampaignMenus, FailedSaveKeepsTheEarlierFileAndSaysWhy) {
  new_campaign(map_path);
  const std::string save = h.dir.write("camp.sav", "earlier save\r\n");
  std::filesystem::create_directory(save + ".saving");
  h.dialogs.answer(QString::fromStdString(save));
  h.find<QAction>("mnuSave")->trigger();
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_TRUE(h.dialogs.messages[0].text.contains("camp.sav"));
  EXPECT_EQ(read_bytes(save), "earlier save\r\n");
}

TEST_F(CampaignMenus, LoadRestoresTheCampaignInANewRun) {
  new_campaign(map_path);
  h.window->state().field(9, unit_1) = Value::text("tank.ai ");
  h.window->state().field(9, owner) = Value::text("B");
  h.window->state().current_team = 2;
  const std::string save = h.dir.file("camp.sav");
  h.dialogs.answer(QString::fromStdString(save));
  h.find<QAction>("mnuSave")->trigger();

  auto second = h.restart();
  second->show();
  h.dialogs.answer(QString::fromStdString(save));
  second->findChild<QAction*>("mnuLoad")->trigger();
  EXPECT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text.toStdString();
  const CampaignState& s = second->state();
  EXPECT_EQ(s.current_team, 2);
  EXPECT_EQ(s.team_count, 2);
  EXPECT_EQ(s.turn, 0);
  EXPECT_EQ(s.field(9, unit_1).to_text(), "tank.ai ");
  EXPECT_FALSE(second->findChild<QAction*>("mnuLoad")->isEnabled());
  EXPECT_TRUE(second->findChild<QAction*>("mnuSave")->isEnabled());
  EXPECT_TRUE(second->findChild<QTimer*>("Timer1")->isActive());
  EXPECT_TRUE(second->findChild<QWidget*>("Picture1")->isVisible());
  // Cell 9 now shows team B's badge (palette green) inside its tile.
  const QImage& surface = second->findChild<SurfaceWidget*>("Picture1")->surface();
  const int x = s.field(9, x_px).to_whole();
  const int y = s.field(9, y_px).to_whole();
  EXPECT_EQ(surface.pixelColor(x + 16, y + 16), QColor(0, 128, 0));
}

TEST_F(CampaignMenus, RejectedSaveLeavesNewAndLoadEnabled) {
  const std::string save = h.dir.write("bad.sav", std::string(map_path.toStdString()) + "\r\n 1\r\n 2\r\n");
  h.dialogs.answer(QString::fromStdString(save));
  h.find<QAction>("mnuLoad")->trigger();
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_TRUE(h.dialogs.messages[0].text.contains("bad.sav"));
  EXPECT_TRUE(enabled("mnuNew"));
  EXPECT_TRUE(enabled("mnuLoad"));
  EXPECT_FALSE(enabled("mnuSave"));
  EXPECT_FALSE(h.shown("Picture1"));
  EXPECT_FALSE(h.find<QTimer>("Timer1")->isActive());
}

TEST_F(CampaignMenus, CancellingLoadChangesNothing) {
  h.dialogs.answer(std::nullopt);
  h.find<QAction>("mnuLoad")->trigger();
  EXPECT_EQ(h.dialogs.open_requests.at(0).filter, "Save Files (*.sav)|*.sav");
  EXPECT_TRUE(h.dialogs.open_requests.at(0).file_name.isEmpty());
  EXPECT_TRUE(enabled("mnuNew"));
  EXPECT_TRUE(enabled("mnuLoad"));
}

TEST_F(CampaignMenus, SnapshotSavesTheWholeMapAndSaysSoOnlyWhileSnapIsOff) {
  new_campaign(map_path);
  h.find<QAction>("mnusnapshot")->trigger();
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].title, "Saved");
  EXPECT_EQ(h.dialogs.messages[0].text, "Image Saved to 'ZIDizizi.bmp'.");
  const QString path = QString::fromStdString(h.folder_file("ZIDizizi.bmp"));
  QImageReader reader(path);
  EXPECT_EQ(reader.format(), "bmp");
  const QImage picture = reader.read();
  EXPECT_EQ(picture.size(), map().size());
  EXPECT_EQ(picture.pixel(5, 5), map().pixel(5, 5));

  h.find<QCheckBox>("Check15")->setChecked(true);
  h.find<QAction>("mnusnapshot")->trigger();
  EXPECT_EQ(h.dialogs.messages.size(), 1u);
}

TEST_F(CampaignMenus, FailedSnapshotSaysWhy) {
  new_campaign(map_path);
  std::filesystem::create_directory(h.folder_file("ZIDizizi.bmp"));
  h.find<QAction>("mnusnapshot")->trigger();
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_NE(h.dialogs.messages[0].title, "Saved");
  EXPECT_TRUE(h.dialogs.messages[0].text.contains("ZIDizizi.bmp"));
}

}  // namespace
}  // namespace zorvane::testing
