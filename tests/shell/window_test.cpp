// The window a user meets, driven through its widgets: a short campaign played with the
// stand-in game fighting, the computer teams' ticks, and one test for each other thing it
// does: the start-up, the configuration, army and size panels, the viewer, the snapshot,
// files named on the command line, the real dialogs, a battle in progress, a second copy on
// the same folder, and generated files where links were planted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "bridge/battle_runner.h"
#include "campaign/battle_log.h"
#include "campaign/save_file.h"
#include "display/map_painter.h"
#include "display/snapshot.h"
#include "shell/autosave.h"
#include "shell/panel.h"
#include "shell/qt_dialogs.h"
#include "window_harness.h"

namespace zorvane::testing {
namespace {

int stacking(QWidget* w) { return static_cast<int>(w->parentWidget()->children().indexOf(w)); }

// Clicks the centre of cell n on the window's map.
void click_on(MainWindow& w, int n) {
  const CampaignState& s = w.state();
  QTest::mouseClick(w.findChild<SurfaceWidget*>("Picture1"), Qt::LeftButton, {},
                    QPoint(static_cast<int>(s.field(n, x_px).to_whole()) + s.cell_w / 2,
                           static_cast<int>(s.field(n, y_px).to_whole()) + s.cell_h / 2));
}

// Two clicks, then `count` times the first available entry and ">", then "OK".
void act_on(MainWindow& w, int from, int to, int count) {
  click_on(w, from);
  click_on(w, to);
  ASSERT_TRUE(w.findChild<QWidget*>("Picture2")->isVisibleTo(&w)) << from << " -> " << to;
  auto* list = w.findChild<QListWidget*>("List1");
  for (int i = 0; i < count; ++i) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    w.findChild<QPushButton*>("Command1")->click();
  }
  w.findChild<QPushButton*>("Command3")->click();
}

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
  void click_cell(int n) { click_on(*h.window, n); }
  // An attack's battle runs while the window goes on; unless told not to, this waits for its end.
  void act(int from, int to, int count, bool wait = true) {
    act_on(*h.window, from, to, count);
    if (wait) { ASSERT_TRUE(QTest::qWaitFor([&] { return !h.window->play().battle_running(); }, 20000)); }
  }
  // The badge is on the map exactly when drawing it again changes no pixel.
  bool count_badge_shows(int n, int team, int units) {
    QImage redrawn = map()->surface().copy();
    QPainter painter(&redrawn);
    draw_count_badge(painter, state(), n, team, Value::whole(units));
    painter.end();
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
  EXPECT_TRUE(count_badge_shows(11, 1, 1) && count_badge_shows(10, 1, 1));
  act(55, 55, 1);  // B
  act(11, 3, 1);   // A captures B's empty cell
  EXPECT_EQ(std::tuple(state().field(3, owner).to_text(), state().field(11, unit_1).to_text()), std::tuple("A", ""));
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
  h.window->play().flush_autosave();
  EXPECT_EQ(h.bytes("autosave.sav"), campaign_save_bytes(state()));

  // Saved and loaded into the next run, the campaign comes back as it was.
  const std::string save = h.dir.file("played.sav");
  h.dialogs.answer(q(save));
  h.trigger("mnuSave");
  const std::string played = campaign_save_bytes(state());
  h.window = h.restart();
  h.window->show();
  h.dialogs.answer(q(save));
  h.trigger("mnuLoad");
  EXPECT_EQ(campaign_save_bytes(state()), played);
  EXPECT_EQ(indicator(), "Turn 0: team B to move (computer: Classic)");  // as the shipped settings say
  EXPECT_TRUE(count_badge_shows(3, 1, 1));  // the loaded map shows its badges
  EXPECT_TRUE(h.enabled("mnuSave") && !h.enabled("mnuLoad") && h.find<QTimer>("Timer1")->isActive());
}

// Team A by the mouse, B and C by the computer on the three-team sample map; the test
// drives the clock's ticks. A panel opened on B's cell while B waits for its tick closes when
// B plays; its OK can no longer act for anyone.
TEST_F(Play, ComputerTeamsPlayInLetterOrderWithinATickAndWaitForTheHuman) {
  begin("triad-13.aim", {0, 1, 1});
  const int a_home = 15;
  ASSERT_EQ(state().field(a_home, owner).to_text(), "A");
  h.window->play().computer_tick();  // A is human: nothing happens until it clicks
  EXPECT_EQ(std::pair(log_lines().size(), state().current_team), std::pair(std::size_t{1}, 1));
  act(a_home, a_home, 0);  // an augment with nothing chosen; B and C then play in one tick
  ASSERT_EQ(state().current_team, 2);
  int b_cell = 0;
  for (int n = 1; n <= state().cell_count() && !b_cell; ++n) b_cell = state().field(n, owner).to_text() == "B" ? n : 0;
  click_cell(b_cell);
  click_cell(b_cell);
  ASSERT_TRUE(h.shown("Picture2"));
  h.window->play().computer_tick();
  EXPECT_FALSE(h.shown("Picture2"));
  EXPECT_EQ(std::pair(log_lines().size(), state().current_team), std::pair(std::size_t{4}, 1));
  EXPECT_TRUE(h.find<QTimer>("Timer1")->isActive());
  const CampaignState after_tick = state();
  h.window->play().confirm_action();
  EXPECT_TRUE(state().cells == after_tick.cells);
  EXPECT_EQ(std::tuple(state().current_team, state().turn, log_lines().size()), std::tuple(1, after_tick.turn, std::size_t{4}));

  // A folder in the way of the autosave: said once, and play goes on.
  h.window->play().flush_autosave();
  std::filesystem::remove(h.dir.file("autosave.sav"));
  h.dir.write("autosave.sav/in the way", "");
  act(a_home, a_home, 0);
  h.window->play().computer_tick();
  h.window->play().flush_autosave();
  QCoreApplication::processEvents();
  const std::vector<std::string>& said = h.said();
  EXPECT_EQ(std::count_if(said.begin(), said.end(), [](const std::string& m) { return m.find("autosave") != m.npos; }), 1);
  EXPECT_EQ(log_lines().size(), 7u);

  // B and C lose their land: they are passed over, and A's next action wins the campaign; the
  // clock stops.
  for (int n = 1; n <= state().cell_count(); ++n) {
    if (state().field(n, owner).to_text() != "A") state().field(n, owner) = Value();
  }
  act(a_home, a_home, 0);
  EXPECT_TRUE(h.window->play().campaign_over());
  EXPECT_EQ(said.back(), "Game Over: Team A WINS!");
  EXPECT_TRUE(h.shown("Picture6") && !h.shown("Picture1") && !h.find<QTimer>("Timer1")->isActive());
  EXPECT_EQ(indicator(), "Team A won");
  // Playing again needs no restart: the next campaign starts whole.
  EXPECT_TRUE(h.enabled("mnuNew") && h.enabled("mnuLoad"));
  h.new_campaign(h.dir.file("maps/triad-13.aim"));
  EXPECT_EQ(std::tuple(indicator(), state().action_count, h.shown("Picture1"), h.shown("Picture6"), h.enabled("mnuNew")),
            std::tuple(std::string("Turn 0: team A to move"), 0L, true, false, false));
}

// Saves that pile up while one is being written are not all written: only the newest.
TEST(Autosave, WritesOnlyTheNewestOfTheSavesWaiting) {
  std::mutex mutex;
  std::condition_variable changed;
  bool release = false;
  std::vector<std::string> written;
  Autosave autosave(nullptr, [&](const std::string&, const std::string& bytes) {
    std::unique_lock lock(mutex);
    written.push_back(bytes);
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
    return FileResult{true, {}, false};
  });
  autosave.save("autosave.sav", "1");
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return !written.empty(); });
  }
  for (const char* bytes : {"2", "3", "4"}) autosave.save("autosave.sav", bytes);
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  changed.notify_all();
  autosave.flush();
  EXPECT_EQ(written, (std::vector<std::string>{"1", "4"}));
}

// After every battle the window tells it in words the player can select and copy; Info,
// Battles lists them all, newest first. A game that fails to start undoes the attack.
TEST_F(Play, EveryBattleIsToldAndListedNewestFirst) {
  begin("duel-8.aim", {});
  state().field(11, owner) = Value::text("B");
  state().field(11, unit_1) = Value::text("scout.ai");
  state().field(10, unit_1) = Value::text("tank.ai");
  h.window->settings().game_exe_path = "vantor/NoSuchGame.exe";
  act(10, 11, 1);  // not fought: the game is missing
  EXPECT_EQ(std::tuple(state().field(10, unit_1).to_text(), state().field(11, owner).to_text(), state().current_team),
            std::tuple("tank.ai", "B", 1));
  EXPECT_EQ(log_lines().size(), 1u);
  ASSERT_EQ(h.said().size(), 1u);
  EXPECT_NE(h.said()[0].find("NoSuchGame.exe"), std::string::npos);
  auto* report = h.find<QLabel>("BattleReport");
  EXPECT_EQ(report->text().toStdString(),
            "Turn 0, cell 11: team A attacked team B with 1 unit against 1; the battle was not fought (the game could not "
            "fight it), no unit was lost and team B still holds the cell.");
  EXPECT_TRUE(report->textInteractionFlags() & Qt::TextSelectableByMouse);
  h.window->settings().game_exe_path = ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe";
  act(10, 11, 1);
  const std::string first = report->text().toStdString();
  EXPECT_EQ(first.rfind("Turn 0, cell 11: team A attacked team B, 1 unit against 1; after the battle ", 0), 0u) << first;
  EXPECT_NE(first.find(state().field(11, owner).to_text() == "A" ? "team A takes the cell." : "team B holds the cell."),
            std::string::npos) << first;
  h.trigger("mnuBattles");
  const QString listed = h.find<QPlainTextEdit>("Text11")->toPlainText();
  EXPECT_EQ(listed.split('\n').size(), 2);
  EXPECT_TRUE(listed.startsWith(QString::fromStdString(first))) << listed.toStdString();
}

// Owned cells are outlined on screen in their team's colour; the map picture itself, and so
// the snapshot (the whole picture as a bitmap), stays as drawn. The option can be turned off.
TEST_F(Play, OwnerColoursOutlineOwnedCellsOnScreenOnlyAndTheSnapshotIsThePicture) {
  begin("duel-8.aim", {});
  const CampaignState& s = state();
  const QPoint band(static_cast<int>(s.field(10, x_px).to_whole()) + 3, static_cast<int>(s.field(10, y_px).to_whole()) + s.cell_h / 2);
  const QImage drawn = map()->surface().copy();
  EXPECT_EQ(map()->grab().toImage().pixelColor(band), QColor(0, 0, 128));  // team A, palette colour 1
  EXPECT_EQ(map()->surface(), drawn);
  EXPECT_NE(drawn.pixelColor(band), QColor(0, 0, 128));
  h.trigger("mnusnapshot");
  EXPECT_EQ(h.said(), std::vector<std::string>{"Saved: Image Saved to 'ZIDizizi.bmp'."});
  // The bitmap format itself is the snapshot writer's test.
  EXPECT_EQ(QImageReader(q(h.dir.file("ZIDizizi.bmp"))).read().convertToFormat(QImage::Format_RGB32),
            drawn.convertToFormat(QImage::Format_RGB32));
  h.trigger("mnuOwnerColours");
  EXPECT_EQ(map()->grab().toImage().pixelColor(band), drawn.pixelColor(band));
}

// Panels come to the front when they open; Escape closes the front-most one (the action
// panel cancels) or drops the selection; Enter is the action panel's OK.
TEST_F(Play, PanelsOpenInFrontAndEscapeAndEnterWork) {
  begin("duel-8.aim", {});
  QApplication::setActiveWindow(h.window.get());
  const auto key = [&](Qt::Key k) { QTest::keyClick(h.window.get(), k); };
  h.trigger("mnuScore");
  click_cell(10);
  click_cell(10);
  EXPECT_GT(stacking(h.find<QWidget>("Picture2")), stacking(h.find<QWidget>("Picture6")));
  key(Qt::Key_Escape);  // cancels the action panel
  EXPECT_TRUE(!h.shown("Picture2") && h.shown("Picture6"));
  key(Qt::Key_Escape);  // closes the statistics
  EXPECT_FALSE(h.shown("Picture6"));
  key(Qt::Key_Escape);  // nothing in front: the target's frame goes
  const QImage before = map()->surface().copy();
  click_cell(10);
  EXPECT_NE(map()->surface(), before);  // the source's frame
  key(Qt::Key_Escape);
  EXPECT_EQ(map()->surface(), before);
  click_cell(10);  // a new selection starts with the next click
  click_cell(11);
  EXPECT_EQ(h.find<QLabel>("Label6")->text(), "Advance");
  key(Qt::Key_Escape);
  click_cell(10);
  click_cell(10);
  key(Qt::Key_Return);
  EXPECT_EQ(std::pair(log_lines().size(), state().current_team), std::pair(std::size_t{2}, 2));
}

// A window smaller than the map scrolls it to its last cell, and panels stay within reach.
TEST_F(Play, ASmallWindowScrollsTheMapAndKeepsPanelsInside) {
  h.config({{37, "False"}, {38, "True"}, {39, "1024"}, {40, "768"}});
  begin("duel-8.aim", {});
  h.trigger("mnuScore");
  h.window->resize(700, 500);
  QWidget* inner = h.window->centralWidget();
  ASSERT_TRUE(QTest::qWaitFor([&] { return inner->width() <= 700 && inner->height() < 500; }));
  auto* scroll = h.find<QScrollArea>("MapScroll");
  scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
  scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
  const CampaignState& s = state();
  const int last = s.cell_count();
  const QPoint corner(static_cast<int>(s.field(last, x_px).to_whole()) + s.cell_w - 1,
                      static_cast<int>(s.field(last, y_px).to_whole()) + s.cell_h - 1);
  EXPECT_TRUE(scroll->viewport()->rect().contains(map()->mapTo(scroll->viewport(), corner)));
  QWidget* stats = h.find<QWidget>("Picture6");
  EXPECT_TRUE(QRect(QPoint(0, 0), inner->size()).contains(stats->geometry())) << stats->x() << "," << stats->y();
}

namespace fs = std::filesystem;

// What is not a plain file counts as missing: a named pipe used to block the start for ever.
TEST(StartUp, MissingConfigShowsTheNoticeAndTheConfigurationPanel) {
  for (const bool pipe : {false, true}) {
    WindowHarness h{false};
    if (pipe) h.dir.fifo("config.dat");
    h.start();
    EXPECT_EQ(h.said(), std::vector<std::string>{"Configuration Missing: Please update your configuration"}) << pipe;
    EXPECT_TRUE(h.shown("Picture3")) << pipe;
    EXPECT_EQ(h.find<QLabel>("TurnIndicator")->text(), "No campaign: File, New or File, Load");
  }
}

// A maximized window keeps the stored size for when it is restored. The notice about an
// unusable background waits until the window has painted.
TEST(StartUp, MaximizedWindowKeepsTheStoredSizeAndAnUnusableBackgroundIsToldAfterThePaint) {
  WindowHarness h;
  h.config({{34, "nowhere.bmp"}, {37, "True"}, {38, "False"}, {39, "800"}, {40, "600"}});
  MainWindow& w = h.start(false);
  EXPECT_EQ(w.size(), QSize(800, 600));
  EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
  w.show();
  EXPECT_TRUE(h.said().empty());
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  ASSERT_EQ(h.said().size(), 1u);
  EXPECT_TRUE(h.said()[0].rfind("Notice: ", 0) == 0 && h.said()[0].find("nowhere.bmp") != std::string::npos) << h.said()[0];
}


TEST(ConfigPanels, OkWritesFortyOneLinesFromTheControlsThatReadBackAndTheSizePanelCorrectsSmallSizes) {
  WindowHarness h{false};
  h.start();
  // Line breaks and other control characters never enter a text, however they arrive: one
  // used to reach config.dat, which then had 42 lines.
  for (const auto& [name, value] : {std::pair{"Text1", " C:\\Games\r\n\\Vantor.exe "}, {"Text23", "12"}, {"Text12", "2"},
                                    {"Text21", "  5  "}, {"Text24", "1024"}, {"Text25", "7\x7f" "68\r"}, {"Text7", "5"}}) {
    h.text(name)->setText(value);
  }
  h.text("Text7")->setCursorPosition(0);
  h.text("Text7")->insert("\n\t7");
  EXPECT_EQ(std::pair(h.text("Text7")->text(), h.text("Text7")->cursorPosition()), std::pair(QString("75"), 1));
  h.dialogs.answer(QStringLiteral("D:\\maps\\hill\n.map"));
  h.click("Command8");
  for (const char* box : {"Check2", "Check15", "Check6"}) h.find<QCheckBox>(box)->setChecked(true);
  h.find<QRadioButton>("Option11")->setChecked(true);
  h.click("Command5");
  EXPECT_FALSE(h.shown("Picture3"));
  EXPECT_EQ(h.bytes("config.dat"),
            " C:\\Games\\Vantor.exe \r\nD:\\maps\\hill.map\r\n\r\n\r\n\r\n\r\n75\r\n\r\n\r\n\r\n"
            " 0 \r\n 1 \r\n 0 \r\n 0 \r\n"
            " 0 \r\n 1 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
            "2\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n  5  \r\n\r\n12\r\n 1 \r\nTrue\r\nFalse\r\n1024\r\n768\r\n");
  // The short captions say what they do.
  for (const char* name : {"Check1", "Check2", "Check3", "Check4", "Check15", "Command16", "Text14", "Text21"}) {
    EXPECT_GT(h.find<QWidget>(name)->toolTip().size(), 20) << name;
  }
  h.window = h.restart();
  EXPECT_EQ(std::tuple(h.text("Text21")->text(), h.find<QCheckBox>("Check6")->isChecked(),
                       h.find<QRadioButton>("Option11")->isChecked(), h.window->settings().turn_limit),
            std::tuple(QString("  5  "), true, true, "12"));

  // The size panel's OK corrects a size that is too small and always says when it takes
  // effect; it does not write the file. The configuration comes back in front of any other panel.
  const std::string written = h.bytes("config.dat");
  h.dialogs.messages.clear();
  h.trigger("mnuConfig");
  h.click("Command21");
  EXPECT_TRUE(h.shown("Picture12") && !h.shown("Picture3"));
  h.text("Text24")->setText("589");
  h.text("Text25")->setText("449");
  h.click("Command20");
  EXPECT_EQ(h.text("Text24")->text() + "x" + h.text("Text25")->text(), "590x450");
  EXPECT_EQ(h.said(), (std::vector<std::string>{"Notice: Width too small to properly run program, adjusting to 590",
                                                "Notice: Height too small to properly run program, adjusting to 450",
                                                "Notice: These settings will be used the next time you run this program."}));
  EXPECT_TRUE(!h.shown("Picture12") && h.shown("Picture3"));
  EXPECT_EQ(h.bytes("config.dat"), written);
  h.window->settings_panels().army_panel();  // made when it is first needed
  for (const char* other : {"Picture5", "Picture12", "Picture11", "Picture4"}) {
    h.find<QWidget>(other)->show();
    h.find<QWidget>(other)->raise();
    h.trigger("mnuConfig");
    EXPECT_GT(stacking(h.find<QWidget>("Picture3")), stacking(h.find<QWidget>(other))) << other;
  }
}

QStringList items(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

// The game folder's unit programs are offered; a sixth unit is refused; OK saves the rosters.
TEST(ArmyPanel, AddsAndRemovesUnitsAndOkSavesTheRostersOrKeepsThemInForce) {
  WindowHarness h;
  for (const char* name : {"Vantor.exe", "Tank.AI", "scout.ai", "readme.txt"}) h.dir.write(std::string("game/") + name, "");
  h.config({{0, "game/Vantor.exe"}});
  h.start();
  h.click("Command16");
  auto* storage = h.find<QListWidget>("List4");
  auto* army = h.find<QListWidget>("List5");
  EXPECT_TRUE(h.shown("Picture11") && !h.shown("Picture3"));
  EXPECT_EQ(items(storage), (QStringList{"scout.ai", "tank.ai"}));
  EXPECT_EQ(items(army), (QStringList{"brawler.ai", "scout.ai", "tank.ai", "sniper.ai", "medic.ai"}));
  storage->setCurrentRow(1);
  h.click("Command13");
  EXPECT_EQ(army->count(), 5);
  army->setCurrentRow(0);
  h.click("Command17");
  h.click("Command13");
  EXPECT_EQ(items(army), (QStringList{"scout.ai", "tank.ai", "sniper.ai", "medic.ai", "tank.ai"}));
  h.click("Command18");
  EXPECT_TRUE(!h.shown("Picture11") && h.shown("Picture3"));
  auto lines = split_lines_any(shipped_file("c_data.dat"));
  lines.resize(50);
  std::copy_n(std::begin({"scout.ai", "tank.ai", "sniper.ai", "medic.ai", "tank.ai"}), 5, lines.begin());
  EXPECT_EQ(h.bytes("c_data.dat"), join_crlf(lines));

  // Rosters that could not be saved stay in force for the next campaign.
  h.click("Command16");
  army->setCurrentRow(0);
  h.click("Command17");
  {
    FileSizeLimit full(16);
    h.click("Command18");
  }
  EXPECT_EQ(h.said().size(), 1u);
  h.new_campaign(h.dir.write("maps/duel-8.aim", shipped_file("maps/duel-8.aim")));
  EXPECT_EQ(h.window->cdata()[0][0], "tank.ai");

  // A huge roster entry is read cut to 4096 bytes and listed cut to 200, without measuring it.
  h.dir.write("c_data.dat", std::string(1 << 20, 'x') + "\r\nscout.ai\r\n");
  h.window->settings_panels().load_rosters();
  h.window->settings_panels().show_army();
  EXPECT_EQ(items(army), (QStringList{QString(200, 'x') + QChar(0x2026), "scout.ai"}));
  EXPECT_TRUE(army->uniformItemSizes() && storage->uniformItemSizes());
  EXPECT_EQ(h.window->cdata()[0][0], std::string(4096, 'x'));
}

// The viewer names a log that cannot be shown, and shows a bounded part of a huge file.
TEST(Viewer, SaysBufferExceededOrCutsAHugeFileOrLongLines) {
  std::string many;  // 14 bytes a line: 1,120,000 bytes after the first 20,000
  for (int i = 0; i < 100000; ++i) many += QStringLiteral("line %1\r\n").arg(i, 7, 10, QChar('0')).toStdString();
  for (const auto& [file, shows] : {std::pair{"blog.txt", QStringList{"Battle Log", "Buffer exceeded..."}},
                                    {"Help.txt", QStringList{"Help", "line 0019999\n",
                                                             "[Only the first 20000 lines are shown; the remaining 1.1 MiB of the file are cut.]"}},
                                    {"zorvtmp.txt", QStringList{"Summary from last battle", QString(4096, 'w') + QChar(0x2026) + "\nnext\n",
                                                                "[1 lines longer than 4096 characters are cut short"}}}) {
    WindowHarness h;
    const std::string name = file;
    if (name == "blog.txt") fs::create_directory(h.dir.file(file));
    else h.dir.write(file, name == "Help.txt" ? many : std::string(100000, 'w') + "\r\nnext\r\n");
    h.start();
    if (name == "blog.txt") h.window->show_log();
    else if (name == "Help.txt") h.trigger("mnuHelp");
    else h.window->show_last_battle();
    ASSERT_TRUE(h.shown("Picture4")) << file;
    EXPECT_EQ(h.find<QLabel>("Label18")->text(), shows[0]);
    const QString shown = h.find<QPlainTextEdit>("Text11")->toPlainText();
    EXPECT_FALSE(shown.contains("line 0020000"));
    for (qsizetype i = 1; i < shows.size(); ++i) EXPECT_TRUE(shown.contains(shows[i])) << shown.right(300).toStdString();
  }
}

// The log opens at its newest line; the viewer and its "X" fit inside the smallest window.
TEST(Viewer, OpensTheLogAtItsNewestLineAndFitsTheSmallestWindowWithItsCloseLabel) {
  WindowHarness h;
  std::string log = std::string(kBattleLogHeader);
  for (int i = 0; i < 300; ++i) log += std::to_string(i) + "\tA\t1\tAugment\tAdd\t1\tA\t\r\n";
  h.dir.write("blog.txt", log);
  h.start().resize(590, 450);
  ASSERT_TRUE(QTest::qWaitFor([&] { return h.find<SurfaceWidget>("Picture1")->surface().size() == h.window->centralWidget()->size(); }));
  h.window->show_log();
  auto* text = h.find<QPlainTextEdit>("Text11");
  EXPECT_TRUE(text->textCursor().atEnd());
  EXPECT_EQ(text->verticalScrollBar()->value(), text->verticalScrollBar()->maximum());
  EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
  h.trigger("mnuHelp");
  QWidget* viewer = h.find<QWidget>("Picture4");
  QWidget* close = h.find<QWidget>("Label34");
  const QRect area(QPoint(0, 0), viewer->parentWidget()->size());
  EXPECT_TRUE(area.contains(viewer->geometry())) << viewer->width() << "x" << viewer->height();
  EXPECT_TRUE(area.contains(QRect(close->mapTo(viewer->parentWidget(), QPoint(0, 0)), close->size())));
}

// A map is found against the folder the program started in; a save starts where it was left.
TEST(CommandLine, OpensAMapOrASaveAndExplainsEveryMistake) {
  // The map lies in the folder the program was started from, which File, New uses here; the
  // extension in any case.
  WindowHarness by_menu;
  by_menu.start();
  by_menu.new_campaign(by_menu.dir.write("maps/DUEL-8.AIM", shipped_file("maps/duel-8.aim")));
  const TempDir& start = by_menu.dir;
  WindowHarness h;
  h.dir.write("blog.txt", "an old log\r\n");
  h.start();
  h.window->open_command_line({QStringLiteral("maps/DUEL-8.AIM")}, q(start.path()));
  EXPECT_TRUE(h.said().empty());
  EXPECT_EQ(h.window->state().cells, by_menu.window->state().cells);
  EXPECT_EQ(h.bytes("blog.txt"), by_menu.bytes("blog.txt"));
  for (const char* item : {"mnuNew", "mnuLoad", "mnuSave", "mnusnapshot"}) EXPECT_EQ(h.enabled(item), by_menu.enabled(item)) << item;
  const std::string save = h.dir.file("game.SAV");
  h.dialogs.answer(q(save));
  h.trigger("mnuSave");
  h.window = h.restart();
  h.window->open_command_line({q(save)}, QStringLiteral("/"));
  EXPECT_TRUE(h.said().empty());
  EXPECT_TRUE(h.enabled("mnuSave") && !h.enabled("mnuLoad"));
  EXPECT_EQ(h.window->state().field(10, owner).to_text(), "A");

  // Each mistake gives one message and leaves the program ready for File, New and Load.
  h.window = h.restart();
  start.write("bad.aim", "12\r\n3\r\n");
  start.write("notes.txt", "hello");
  for (const auto& [files, says] : {std::pair{QStringList{"missing.aim"}, "missing.aim"}, {{"bad.aim"}, "bad.aim"},
                                    {{"notes.txt"}, "Usage: zorvane [FILE]"}, {{"bad.aim", "x.sav"}, "Usage: zorvane [FILE]"}}) {
    h.dialogs.messages.clear();
    h.window->open_command_line(files, q(start.path()));
    ASSERT_EQ(h.said().size(), 1u) << says;
    EXPECT_NE(h.said()[0].find(says), std::string::npos) << h.said()[0];
    EXPECT_TRUE(h.enabled("mnuNew") && h.enabled("mnuLoad"));
  }
  EXPECT_FALSE(h.window->windowIcon().isNull());
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

// While the game runs the window goes on: the battle is shown with its abort button, saving
// is held off, and Info, Statistics counts the campaign as it was before the attack. An
// aborted battle was not fought: the attackers are back, nothing is logged, the same team
// is to move, and it is said. Closing the window during a battle asks first.
TEST_F(Play, ABattleRunsWhileTheWindowGoesOnAndAnAbortOrQuitUndoesIt) {
  begin("duel-8.aim", {});
  h.window->settings().game_exe_path = test_program("never_ends");
  state().field(11, owner) = Value::text("B");
  state().field(11, unit_1) = Value::text("scout.ai");
  state().field(10, unit_1) = Value::text("tank.ai");
  h.window->play().flush_autosave();
  const CampaignState before = state();
  const std::string autosave = h.bytes("autosave.sav");
  const auto battle_shown = [&] { return h.find<QLabel>("BattleProgress") && h.find<QLabel>("BattleProgress")->isVisible(); };
  act(10, 11, 1, false);
  ASSERT_TRUE(QTest::qWaitFor(battle_shown));
  EXPECT_FALSE(h.enabled("mnuSave"));
  h.trigger("mnuScore");
  EXPECT_TRUE(h.shown("Picture6"));
  // The panel opened above the map does not hide the abort button.
  QWidget* abort = h.find<QWidget>("AbortBattle");
  EXPECT_EQ(h.window->childAt(abort->mapTo(h.window.get(), abort->rect().center())), abort);
  EXPECT_EQ(std::tuple(state().team_units[0], state().action_count, state().field(10, unit_1).to_text()),
            std::tuple(1, before.action_count, "tank.ai"));
  h.click("AbortBattle");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !h.window->play().battle_running(); }));
  EXPECT_TRUE(state().cells == before.cells);
  EXPECT_EQ(std::pair(state().current_team, state().action_count), std::pair(1, before.action_count));
  EXPECT_EQ(log_lines().size(), 1u);
  ASSERT_FALSE(h.said().empty());
  EXPECT_NE(h.said().back().find("The battle was aborted."), std::string::npos) << h.said().back();
  EXPECT_TRUE(h.enabled("mnuSave") && !battle_shown());
  h.window->play().flush_autosave();
  EXPECT_EQ(h.bytes("autosave.sav"), autosave);

  // Closing: "No" keeps the battle going; "Yes" aborts it and undoes the attack, then quits.
  act(10, 11, 1, false);
  ASSERT_TRUE(QTest::qWaitFor(battle_shown));
  h.dialogs.replies = {false, true};
  EXPECT_FALSE(h.window->close());
  EXPECT_TRUE(h.window->play().battle_running() && h.window->isVisible());
  h.trigger("mnuExit");
  EXPECT_FALSE(h.window->isVisible());
  EXPECT_FALSE(h.window->play().battle_running());
  EXPECT_TRUE(state().cells == before.cells);
  EXPECT_EQ(std::count_if(h.said().begin(), h.said().end(), [](const std::string& m) { return m.rfind("Quit? ", 0) == 0; }), 2);
}

// A computer team's attack is fought while the window goes on; once it is answered the
// clock goes again.
TEST_F(Play, AComputerTeamsBattleIsFoughtWithoutStoppingTheWindow) {
  h.start();
  h.window->settings().game_exe_path = ZORVANE_PROGRAM_DIR "/vantor/Vantor.exe";
  h.window->settings().computer_controlled = {0, 1};
  h.window->settings().augment_below = "0";
  h.window->settings().movement_patterns.fill("12345678");
  h.new_campaign(h.dir.write("maps/small.aim", "A1\r\n1B\r\n"));
  // B's home (4) can only advance into A's cells 2 and 3; homes are never targets.
  for (int n : {2, 3}) {
    state().field(n, owner) = Value::text("A");
    state().field(n, unit_1) = Value::text("tank.ai");
  }
  state().field(4, unit_1) = Value::text("tank.ai");
  state().field(4, unit_1 + 1) = Value::text("scout.ai");
  act(1, 1, 0);
  h.window->play().computer_tick();
  EXPECT_TRUE(h.window->play().battle_running());
  EXPECT_FALSE(h.find<QTimer>("Timer1")->isActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !h.window->play().battle_running(); }, 20000));
  ASSERT_EQ(log_lines().size(), 3u);
  EXPECT_NE(log_lines()[2].find("4\tB\t1\tAdvance\tAttack\t"), std::string::npos) << log_lines()[2];
  const std::string told = h.find<QLabel>("BattleReport")->text().toStdString();
  EXPECT_EQ(told.rfind("Turn 1, cell ", 0), 0u) << told;
  EXPECT_NE(told.find(": team B attacked team A, 1 unit against 1; after the battle "), std::string::npos) << told;
  EXPECT_EQ(state().current_team, 1);
  EXPECT_TRUE(h.find<QTimer>("Timer1")->isActive());
}

// A second window on a folder in use says so at once, naming the other copy, and keeps its
// battle files and its autosave in a folder of its own; the first copy's stay untouched.
TEST(StartUp, ASecondCopyOnAFolderInUseSaysSoAndKeepsItsBattleFilesApart) {
  WindowHarness h;
  h.start(false);
  EXPECT_TRUE(h.said().empty());
  FakeDialogs dialogs;
  MainWindow second(q(h.dir.path()), dialogs);
  const QString own = QFileInfo(second.program_file("zorvtmp.scn")).path();
  ASSERT_NE(own, q(h.dir.path()));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], "Notice: The folder " + h.dir.path() + " is in use by another copy of Zorvane (process " +
                                     std::to_string(::getpid()) + ").\nThis copy keeps its battle files and its autosave "
                                     "apart, in " + own.toStdString() + ".");
  EXPECT_EQ(std::tuple(second.program_file("zorvtmp.txt"), second.program_file("autosave.sav"), second.program_file("config.dat")),
            std::tuple(own + "/zorvtmp.txt", own + "/autosave.sav", q(h.dir.file("config.dat"))));
  EXPECT_EQ(fs::status(own.toStdString()).permissions(), fs::perms::owner_all);
  // An attack in the second window: its game is told the second copy's files.
  ScopedEnv record("ZORVANE_RECORD_FILE", h.dir.file("record.txt"));
  second.show();
  second.settings().game_exe_path = test_program("record_args");
  second.settings().computer_controlled = {};
  dialogs.answer(q(h.dir.write("maps/small.aim", "A1\r\n1B\r\n")));
  second.findChild<QAction*>("mnuNew")->trigger();
  CampaignState& s = second.state();
  std::tie(s.field(2, owner), s.field(2, unit_1), s.field(1, unit_1)) = std::tuple(Value::text("B"), Value::text("b.ai"), Value::text("a.ai"));
  act_on(second, 1, 2, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !second.play().battle_running(); }));
  EXPECT_EQ(split_lines_any(h.bytes("record.txt")).at(4), "arg=/S:" + own.toStdString() + "/zorvtmp.scn");
  EXPECT_TRUE(fs::exists((own + "/zorvtmp.txt").toStdString()));
  EXPECT_FALSE(fs::exists(h.dir.file("zorvtmp.scn")) || fs::exists(h.dir.file("zorvtmp.txt")));
  second.play().flush_autosave();
  EXPECT_TRUE(fs::exists((own + "/autosave.sav").toStdString()) && !fs::exists(h.dir.file("autosave.sav")));
  fs::remove_all(own.toStdString());
}

// Links planted where the program's generated files go (by the game, or by another user of a
// shared folder) are replaced by the files; what they point to is left alone.
TEST(GeneratedFiles, LinksWhereTheBattleFilesAutosaveAndSnapshotGoAreReplaced) {
  TempDir dir;
  const std::string victim = dir.write("victim.txt", "private");
  const std::vector<std::string> names = {"zorvtmp.scn", "zorvtmp.txt", "autosave.sav", "ZIDizizi.bmp"};
  for (const std::string& name : names) fs::create_symlink(victim, dir.file(name));
  ScopedEnv record("ZORVANE_RECORD_FILE", dir.file("record.txt"));
  Settings settings;
  settings.game_exe_path = test_program("record_args");
  const BattleRunResult battle = BattleRunner().run_battle(q(dir.path()), settings, "1", {"a.ai"}, {"b.ai"});
  Autosave autosave;
  autosave.save(dir.file("autosave.sav"), "saved");
  autosave.flush();
  QImage map(4, 3, QImage::Format_RGB32);
  map.fill(Qt::red);
  EXPECT_EQ(save_snapshot(map, dir.file("ZIDizizi.bmp")), "");
  EXPECT_TRUE(battle.fought);
  EXPECT_EQ(std::tuple(read_bytes(victim), read_bytes(dir.file("zorvtmp.txt")), read_bytes(dir.file("autosave.sav")),
                       QImage(q(dir.file("ZIDizizi.bmp"))) == map),
            std::tuple("private", "<empty>\r\n", "saved", true));
  for (const std::string& name : names) EXPECT_FALSE(fs::is_symlink(dir.file(name))) << name;
}

}  // namespace
}  // namespace zorvane::testing
