// A short campaign played through the real widgets: clicks on the map, the action panel,
// a battle fought by the stand-in game, the log, the turn indicator, the autosave, and a
// save loaded back; the computer teams' ticks.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include "campaign/save_file.h"
#include "common/linefile.h"
#include "display/map_painter.h"
#include "shell/panel.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

class Play : public ::testing::Test {
 protected:
  // A new campaign on a shipped map, the stand-in game fighting, these teams by the computer.
  void begin(const std::string& map, const std::array<int, 10>& computer) {
    h.start();
    h.window->settings().game_exe_path = ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe";
    h.window->settings().computer_controlled = computer;
    h.new_campaign(h.dir.write("maps/" + map, shipped_file("maps/" + map)));
    ASSERT_TRUE(h.shown("Picture1"));
  }
  CampaignState& state() { return h.window->state(); }
  SurfaceWidget* map() { return h.find<SurfaceWidget>("Picture1"); }
  void click_cell(int n) {
    const CampaignState& s = state();
    const QPoint at(static_cast<int>(s.field(n, x_px).to_whole()) + s.cell_w / 2,
                    static_cast<int>(s.field(n, y_px).to_whole()) + s.cell_h / 2);
    QTest::mouseClick(map(), Qt::LeftButton, {}, at);
  }
  // Two clicks, then `count` times the first available entry and ">", then "OK".
  void act(int from, int to, int count) {
    click_cell(from);
    click_cell(to);
    ASSERT_TRUE(h.shown("Picture2")) << from << " -> " << to;
    auto* list = h.find<QListWidget>("List1");
    for (int i = 0; i < count; ++i) {
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
      h.click("Command1");
    }
    h.click("Command3");
  }
  // The badge is on the map exactly when drawing it again changes no pixel.
  bool count_badge_shows(int n, int team, int units) {
    QImage redrawn = map()->surface().copy();
    {
      QPainter painter(&redrawn);
      draw_count_badge(painter, state(), n, team, Value::whole(units));
    }
    return redrawn == map()->surface();
  }
  std::vector<std::string> log_lines() { return split_lines_cr(h.bytes("blog.txt")); }
  std::string indicator() { return h.find<QLabel>("TurnIndicator")->text().toStdString(); }

  WindowHarness h;
};

TEST_F(Play, MoveCaptureAugmentAndAttackThroughTheWidgets) {
  begin("duel-8.aim", {});
  // Team B holds cell 19, diagonal to A's home 10, with a scout, and cell 3 without units.
  state().field(19, owner) = Value::text("B");
  state().field(19, unit_1) = Value::text("scout.ai");
  state().field(3, owner) = Value::text("B");
  EXPECT_EQ(indicator(), "Turn 0: team A to move");

  act(10, 10, 2);  // A augments its home with two brawlers from its roster
  EXPECT_EQ(state().field(10, unit_1).to_text() + state().field(10, unit_1 + 1).to_text(), "brawler.aibrawler.ai");
  EXPECT_TRUE(count_badge_shows(10, 1, 2));
  EXPECT_FALSE(h.shown("Picture2"));
  EXPECT_EQ(indicator(), "Turn 1: team B to move");

  act(55, 55, 1);  // B
  act(10, 11, 1);  // A moves one brawler east
  EXPECT_EQ(state().field(11, owner).to_text(), "A");
  EXPECT_TRUE(count_badge_shows(11, 1, 1));
  EXPECT_TRUE(count_badge_shows(10, 1, 1));
  act(55, 55, 1);  // B
  act(11, 3, 1);   // A captures B's empty cell
  EXPECT_EQ(state().field(3, owner).to_text(), "A");
  EXPECT_EQ(state().field(11, unit_1).to_text(), "");
  act(55, 55, 1);  // B
  act(10, 19, 1);  // A attacks B's scout: the stand-in game fights it
  EXPECT_NE(h.bytes("zorvtmp.txt").find("Place"), std::string::npos);
  EXPECT_NE(h.bytes("zorvtmp.scn").find("brawler.ai"), std::string::npos);
  const std::string winner = state().field(19, owner).to_text();
  EXPECT_EQ(state().field(19, unit_1).to_text(), winner == "A" ? "brawler.ai" : "scout.ai");
  EXPECT_EQ(state().field(10, unit_1).to_text(), "");

  const std::vector<std::string> log = log_lines();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ((std::vector<std::string>{log[1], log[3], log[5], log[7]}),
            (std::vector<std::string>{"10\tA\t2\tAugment\tAdd\t10\tA\t", "10\tA\t1\tAdvance\tMove\t11\t\t",
                                      "11\tA\t1\tAdvance\tCapture\t3\tB\t", "10\tA\t1\tAdvance\tAttack\t19\tB\t"}));
  EXPECT_EQ(indicator(), "Turn 4: team B to move");
  h.window->flush_autosave();
  EXPECT_EQ(h.bytes("autosave.sav"), campaign_save_bytes(state()));

  // Saved and loaded into the next run, the campaign comes back as it was.
  const std::string save = h.folder_file("played.sav");
  h.dialogs.answer(q(save));
  h.trigger("mnuSave");
  const CampaignState played = state();
  h.window = h.restart();
  h.window->show();
  h.dialogs.answer(q(save));
  h.trigger("mnuLoad");
  for (int n = 1; n <= 64; ++n) {
    for (int f : {static_cast<int>(owner), 21, 22, 23}) {
      EXPECT_EQ(state().field(n, f).to_text(), played.field(n, f).to_text()) << n << "/" << f;
    }
  }
  EXPECT_EQ(state().current_team, 2);
  EXPECT_EQ(indicator(), "Turn 0: team B to move (computer)");  // as the shipped settings say
  EXPECT_TRUE(count_badge_shows(3, 1, 1));  // the loaded map shows its badges
  EXPECT_TRUE(h.enabled("mnuSave") && !h.enabled("mnuLoad") && h.find<QTimer>("Timer1")->isActive());
}

TEST_F(Play, AFailedGameStartUndoesTheAttack) {
  begin("duel-8.aim", {});
  h.window->settings().game_exe_path = "vantor/NoSuchGame.exe";
  state().field(11, owner) = Value::text("B");
  state().field(11, unit_1) = Value::text("scout.ai");
  state().field(10, unit_1) = Value::text("tank.ai");
  act(10, 11, 1);
  EXPECT_EQ(std::tuple(state().field(10, unit_1).to_text(), state().field(11, owner).to_text(), state().current_team),
            std::tuple("tank.ai", "B", 1));
  EXPECT_EQ(log_lines().size(), 1u);
  ASSERT_EQ(h.said().size(), 1u);
  EXPECT_NE(h.said()[0].find("NoSuchGame.exe"), std::string::npos);
}

// Team A by the mouse, B and C by the computer on the three-team sample map; the test
// drives the clock's ticks.
TEST_F(Play, ComputerTeamsPlayInLetterOrderWithinATickAndWaitForTheHuman) {
  begin("triad-13.aim", {0, 1, 1});
  const int a_home = 15;
  ASSERT_EQ(state().field(a_home, owner).to_text(), "A");
  h.window->Timer1_Timer();  // A is human: nothing happens until it clicks
  EXPECT_EQ(std::pair(log_lines().size(), state().current_team), std::pair(std::size_t{1}, 1));
  act(a_home, a_home, 0);  // an augment with nothing chosen; B and C then play in one tick
  EXPECT_EQ(state().current_team, 2);
  h.window->Timer1_Timer();
  EXPECT_EQ(std::pair(log_lines().size(), state().current_team), std::pair(std::size_t{4}, 1));
  EXPECT_TRUE(h.find<QTimer>("Timer1")->isActive());

  // B and C lose their land: they pass, and A's third action wins the campaign; the clock stops.
  for (int n = 1; n <= state().cell_count(); ++n) {
    if (state().field(n, owner).to_text() != "A") state().field(n, owner) = Value();
  }
  for (int i = 0; i < 2; ++i) {
    act(a_home, a_home, 0);
    h.window->Timer1_Timer();
  }
  EXPECT_TRUE(h.window->campaign_over());
  EXPECT_EQ(h.said().back(), "Game Over: Team A WINS!");
  EXPECT_FALSE(h.find<QTimer>("Timer1")->isActive());
}

}  // namespace
}  // namespace zorvane::testing
