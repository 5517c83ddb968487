// Play in the window: a thin driver over the turn engine. It turns map clicks, the action
// panel's buttons, the computer player's clock and battle results into engine calls, and
// draws, logs, autosaves and announces what the engine reports changed. A battle runs
// without blocking: the window's own event loop goes on while the game fights it.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>
#include <memory>

#include "config/roster.h"
#include "config/settings.h"
#include "places/file_places.h"
#include "shell/dialogs.h"
#include "turn/action_panel.h"
#include "turn/engine.h"

class QAction;
class QPainter;
class QLabel;
class QTimer;
class QWidget;

namespace zorvane {

class ActionPanel;
class AiRandom;
class Autosave;
class BattlePanel;
class BattleRunner;
struct BattleRunResult;
class StatsPanel;
class SurfaceWidget;

// The widgets play draws on and reads; the window owns them.
struct PlayViews {
  SurfaceWidget* map_view = nullptr;   // Picture1
  QWidget* map_frame = nullptr;        // what shows and scrolls the map picture
  ActionPanel* action_panel = nullptr; // Picture2
  StatsPanel* stats_panel = nullptr;   // Picture6
  QLabel* turn_indicator = nullptr;
  // Where "Battle in progress..." shows: above every floating panel, so that its abort
  // button can always be reached.
  QWidget* battle_parent = nullptr;
  QAction* save_action = nullptr;      // File, Save: held off during a battle
  QLabel* battle_report = nullptr;     // the last battle, as text the player can select
};

class PlayController : public QObject {
  Q_OBJECT
 public:
  PlayController(const FilePlaces& places, Dialogs& dialogs, const Settings& settings, const Roster& rosters,
                 PlayViews views, QObject* parent = nullptr);
  ~PlayController() override;

  TurnEngine& engine() { return engine_; }
  const TurnEngine& engine() const { return engine_; }

  // File, New and File, Load once the file is chosen: the campaign starts whole, or the
  // reason is said and nothing changes. `starting` is emitted once the file was accepted,
  // before the map is drawn.
  bool start_new(const QString& map_path);
  bool start_saved(const QString& save_path);

  // The map's click (Picture1) and the action panel's controls.
  void map_click(int x, int y);
  void select_available();  // List1
  void select_chosen();     // List2
  void choose_unit();       // Command1 ">"
  void unchoose_unit();     // Command2 "<"
  void confirm_action();    // Command3 "OK"
  void cancel_action();     // Command4 "Cancel"
  const ActionPanelModel& action_panel() const { return panel_; }

  // The computer player's clock (Timer1): the computer teams whose turn it is, in letter
  // order, each play one action (several in a row, no wrap from "J" to "A" in one tick).
  void computer_tick();
  QTimer* clock() const { return clock_; }
  // After a computer team's battle could not be fought the computer players wait; looking
  // at the configuration lets them go on.
  void resume_computer_players();

  // Info, Statistics: counted again (a winner is announced again), then shown.
  void show_statistics();
  // Info, Battles: every battle of this campaign, newest first.
  QStringList battle_list() const;
  // View, Owner colours: each owned cell outlined in its team's colour on screen.
  void set_owner_colours(bool on);
  bool owner_colours() const { return owner_colours_; }
  // Escape on the map: the selection's frame goes, the next click chooses a source.
  void drop_selection();
  // File, Save once the file is chosen: the campaign as it stands (before the action while a
  // battle is pending), or a message saying why it could not be saved.
  void save_campaign(const QString& path);
  // File, Snapshot, or the automatic one after an action (which says a failure only once).
  void take_snapshot(bool automatic);

  bool battle_running() const;
  bool campaign_over() const { return engine_.ended(); }
  // Asks before a running battle is given up for the program's end; when the user agrees,
  // ends the battle (the attack is undone) and returns true.
  bool end_battle_for_quitting();
  // Waits until the autosave of the last action is on disk.
  void flush_autosave();

 signals:
  // A campaign was accepted and is about to be drawn.
  void starting();
  // A campaign is now in play.
  void started();
  // The campaign ended (a winner or the turn limit).
  void ended();

 private:
  void begin();
  void handle(const TurnEvents& events);
  void draw_badges(const std::vector<Badge>& badges);
  void append_log(const BattleLogEntry& entry);
  void announce_end(const CampaignEnd& end);
  void end_steps();
  void start_battle(const BattleRequest& request);
  void battle_finished(const BattleRunResult& result);
  // Plays the computer teams from `first` (letter order) whose turn it is; false when the
  // clock must stay stopped (a battle runs, the campaign ended, or the computer waits).
  bool play_computer_teams(int first);
  void after_action();
  void close_panel();
  void show_panel();
  void take_list_selection();
  void update_turn_indicator();
  void tell_battle(const BattleSummary& summary);
  void draw_owner_outlines(QPainter& painter) const;
  void draw_frames(const std::vector<Frame>& frames);
  void notice(const QString& text);
  QString program_file(const QString& name) const;

  const FilePlaces& places_;
  Dialogs& dialogs_;
  const Settings& settings_;
  const Roster& rosters_;
  PlayViews views_;
  TurnEngine engine_;
  ActionPanelModel panel_;
  int panel_team_ = 0;  // the team the open panel was opened for
  std::unique_ptr<AiRandom> random_;
  BattleRunner* battles_ = nullptr;
  std::unique_ptr<BattlePanel> battle_panel_;
  bool computer_battle_ = false;  // the running battle is a computer team's
  bool quitting_ = false;
  Autosave* autosave_ = nullptr;
  QTimer* clock_ = nullptr;
  // A computer team's battle could not be fought: the computer players wait for the user
  // to look at the configuration instead of retrying every tick.
  bool computer_waits_ = false;
  // What runs after every action says a failure once, not after every action.
  bool autosave_failed_ = false;
  bool log_failed_ = false;
  bool snapshot_failed_ = false;
  bool owner_colours_ = true;
  std::vector<QString> battles_told_;  // this campaign's battles, oldest first
};

}  // namespace zorvane
