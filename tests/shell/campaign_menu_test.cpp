// File New, Save, Load and Snapshot as the user reaches them through the menus.
#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>

#include "campaign/save_file.h"
#include "common/linefile.h"
#include "shell/panel.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

const char* const kHeader = "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n";

class CampaignMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    map_path = h.dir.write("maps/small.aim", "12A\r\n3B4\r\n555\r\n");
    h.start().resize(700, 500);
  }
  // The menus and the clock as they are before a campaign (false) or during one (true).
  void expect_campaign_running(bool running) {
    for (const char* item : {"mnuNew", "mnuLoad"}) EXPECT_EQ(h.enabled(item), !running) << item;
    for (const char* item : {"mnuSave", "mnusnapshot", "mnuStats"}) EXPECT_EQ(h.enabled(item), running) << item;
    EXPECT_EQ(h.find<QTimer>("Timer1")->isActive(), running);
    EXPECT_EQ(h.shown("Picture1"), running);
  }
  const QImage& map() { return h.find<SurfaceWidget>("Picture1")->surface(); }

  WindowHarness h{with_shipped_files};
  std::string map_path;
};

TEST_F(CampaignMenus, NewWithASampleMapShowsTheMapAndStartsTheLog) {
  h.dir.write("blog.txt", "an old log\r\n");
  h.new_campaign(h.dir.write("maps/duel-8.aim", shipped_file("maps/duel-8.aim")));
  const FileDialogRequest& request = h.dialogs.open_requests.at(0);
  EXPECT_EQ(request.filter, "AIM Files (*.AIM)|*.aim|AIM Files");
  EXPECT_EQ(request.filter_index, 1);
  EXPECT_EQ(QDir(request.folder), QDir(q(h.dir.path())));
  EXPECT_TRUE(h.said().empty());
  expect_campaign_running(true);
  const CampaignState& s = h.window->state();
  EXPECT_EQ(std::tuple(s.team_count, s.grid_rows, s.field(10, owner).to_text()), std::tuple(2, 8, "A"));
  EXPECT_EQ(h.bytes("blog.txt"), kHeader);
  h.trigger("mnuLog");
  EXPECT_EQ(h.find<QPlainTextEdit>("Text11")->toPlainText(), "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\n");
  // Cell 1's light green tile is drawn at its place on the map.
  EXPECT_EQ(map().pixelColor(s.field(1, x_px).to_whole() + s.cell_w / 2, s.field(1, y_px).to_whole() + s.cell_h - 2),
            QColor(15, 165, 0));
}

// A cancelled or rejected map, or a rejected save, leaves everything so that another can be
// picked; a rejection says which file.
TEST_F(CampaignMenus, CancelledOrRejectedFilesChangeNothing) {
  h.dir.write("blog.txt", "old log\r\n");
  const std::string bad_map = h.dir.write("maps/bad.aim", "12A\r\n3B\r\n555\r\n");
  const std::string bad_save = h.dir.write("bad.sav", map_path + "\r\n 1\r\n 2\r\n");
  for (const auto& [item, file] : {std::pair{"mnuNew", std::string()}, {"mnuNew", bad_map}, {"mnuLoad", std::string()},
                                   {"mnuLoad", bad_save}}) {
    h.dialogs.messages.clear();
    h.dialogs.answer(file.empty() ? std::nullopt : std::optional(q(file)));
    h.trigger(item);
    ASSERT_EQ(h.said().size(), file.empty() ? 0u : 1u) << item << file;
    if (!file.empty()) { EXPECT_NE(h.said()[0].find(std::filesystem::path(file).filename().string()), std::string::npos) << h.said()[0]; }
    expect_campaign_running(false);
    EXPECT_EQ(h.window->state().team_count, 0);
    EXPECT_EQ(h.bytes("blog.txt"), "old log\r\n");
  }
  EXPECT_EQ(h.dialogs.open_requests.at(2).filter, "Save Files (*.sav)|*.sav");
  EXPECT_TRUE(h.dialogs.open_requests.at(2).file_name.isEmpty());
  h.new_campaign(map_path);
  expect_campaign_running(true);
  EXPECT_EQ(h.window->state().team_count, 2);
}

// The save proposes SaveGame.sav; a save that cannot be written keeps the earlier file.
TEST_F(CampaignMenus, SaveWritesTheCampaignOrKeepsTheEarlierFileAndSaysWhy) {
  h.new_campaign(map_path);
  const std::string blocked = h.dir.write("blocked.sav", "earlier save\r\n");
  std::filesystem::create_directory(blocked + ".saving");
  for (const std::string& save : {h.dir.file("camp.sav"), blocked}) {
    h.dialogs.answer(q(save));
    h.trigger("mnuSave");
  }
  EXPECT_EQ(h.dialogs.save_requests.at(0).file_name, "SaveGame.sav");
  EXPECT_EQ(h.dialogs.save_requests.at(0).filter, "Save Files (*.sav)|*.sav");
  EXPECT_EQ(h.bytes("camp.sav"), campaign_save_bytes(h.window->state()));
  EXPECT_EQ(split_lines_cr(h.bytes("camp.sav")).at(0), map_path);
  ASSERT_EQ(h.said().size(), 1u);
  EXPECT_NE(h.said()[0].find("blocked.sav"), std::string::npos);
  EXPECT_EQ(h.bytes("blocked.sav"), "earlier save\r\n");
}

// The snapshot says so only while automatic snapshots are off; a failure says why.
TEST_F(CampaignMenus, SnapshotSavesTheWholeMapAsABitmapOrSaysWhy) {
  h.new_campaign(map_path);
  h.trigger("mnusnapshot");
  EXPECT_EQ(h.said(), std::vector<std::string>{"Saved: Image Saved to 'ZIDizizi.bmp'."});
  QImageReader reader(q(h.folder_file("ZIDizizi.bmp")));
  EXPECT_EQ(reader.format(), "bmp");
  EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), map().convertToFormat(QImage::Format_RGB32));
  h.find<QCheckBox>("Check15")->setChecked(true);
  h.trigger("mnusnapshot");
  EXPECT_EQ(h.said().size(), 1u);
  h.find<QCheckBox>("Check15")->setChecked(false);
  std::filesystem::remove(h.folder_file("ZIDizizi.bmp"));
  std::filesystem::create_directory(h.folder_file("ZIDizizi.bmp"));
  h.trigger("mnusnapshot");
  ASSERT_EQ(h.said().size(), 2u);
  EXPECT_TRUE(h.said()[1].rfind("Saved", 0) != 0 && h.said()[1].find("ZIDizizi.bmp") != std::string::npos) << h.said()[1];
}

}  // namespace
}  // namespace zorvane::testing
