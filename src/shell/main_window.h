// The main window "Zorvane": the map picture, the floating panels, the menus and their
// handlers. It owns the settings, the rosters and the campaign state; the rules and file
// formats it calls are plain functions over them.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>

#include "battle/battle_report.h"
#include "campaign/state.h"
#include "config/army.h"
#include "config/roster.h"
#include "config/settings.h"
#include "shell/dialogs.h"
#include "turn/action_panel.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace zorvane {

// The least window size the program runs well in.
inline constexpr int kMinWindowWidth = 590;
inline constexpr int kMinWindowHeight = 450;

class ActionPanel;
class BattleRunner;
struct BattleRunResult;
class AiPanel;
class ArmyPanel;
class ConfigPanel;
class SizePanel;
class StatsPanel;
class SurfaceWidget;
class ViewerPanel;
class WindowWorld;
class AiRandom;
class Autosave;
class FolderClaim;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Creating the window runs the start-up: settings, rosters, window size, menus.
  MainWindow(const QString& program_folder, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  Settings& settings() { return settings_; }
  Roster& cdata() { return cdata_; }
  CampaignState& state() { return state_; }
  const ArmySelection& army_selection() const { return army_; }
  const QString& program_folder() const { return program_folder_; }
  // A file in the program folder; a second copy's battle files and autosave in its own.
  QString program_file(const QString& name) const;
  // True once the window has been shown and laid out its surfaces.
  bool activated() const { return activated_; }

  // Fights a battle for an attack on a cell of this terrain: attackers are the units
  // chosen to move ("New"), defenders those standing on the target ("Current"). Returns
  // when the game has ended or was aborted; the window stays live meanwhile and shows a
  // "battle in progress" panel with an abort button. Saving is held off during a battle.
  BattleRunResult fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                               const std::vector<std::string>& defenders);
  bool battle_running() const;

  // Start-up and activation steps.
  void loadconfig();
  void getCdata();
  void putCdata();
  void Form_Activate();

  // Files named on the command line, after start-up and activation: a map (".aim") starts
  // a campaign as File, New does, a save (".sav") loads as File, Load does; anything else,
  // or more than one file, is answered with how the program is used. Relative paths are
  // taken against start_folder.
  void open_command_line(const QStringList& files, const QString& start_folder);

  // Menus.
  void mnuNew_Click();
  void mnuSave_Click();
  void mnuLoad_Click();
  void mnusnapshot_Click();
  void mnuConfig_Click();
  void mnuExit_Click();
  void mnuHelp_Click();
  void mnulastbattle_Click();
  void mnuLog_Click();

  // Configuration panel.
  void Command5_Click();   // OK: save the settings, hide the panel
  void Command6_Click();   // Close
  void Command15_Click();  // AI
  void Command21_Click();  // Size
  void Command7_Click();   // browse for the game
  void browse_terrain_map(int index);  // Command8..Command12
  void Command19_Click();  // browse for the background image
  // AI panel.
  void Command14_Click();  // OK: save the settings, back to the configuration panel
  // Display size panel.
  void Command20_Click();
  // Army selection panel.
  void do_assign();
  void assignments();
  void Command13_Click();  // ">"
  void Command17_Click();  // "<"
  void Command18_Click();  // OK
  // Close labels.
  void Label33_Click();
  void Label34_Click();

  // Play: the map click and the action panel's handlers; Info, Statistics.
  void Picture1_MouseDown(int x, int y);
  void List1_Click();
  void List2_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void mnuScore_Click();
  // The computer player's clock: the computer-controlled teams whose turn it is, in letter
  // order, each play one action (several in a row, no wrap from "J" to "A" in one tick).
  void Timer1_Timer();
  const ActionPanelModel& action_panel() const { return panel_model_; }
  // Waits until the autosave of the last action is on disk.
  void flush_autosave();
  // True once a winner was found or the turn limit reached.
  bool campaign_over() const { return campaign_over_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class WindowWorld;
  void build_menus();
  void build_panels();
  void apply_window_size();
  void set_campaign_menus(bool running);
  void save_settings_file();
  // Replaces a file of the program folder atomically; a failure names the file and says
  // that the old one is unchanged and `what` stays in force for this run.
  // Returns whether the file was written.
  bool replace_program_file(const QString& name, const std::string& bytes, const QString& what);
  // Shows a floating panel in front of the others.
  void show_panel(QWidget* panel);
  void browse_setting(int line, const QString& filter);
  // Saves the map picture as the snapshot; an automatic one reports a failure only once.
  void take_snapshot(bool automatic);
  void show_text_file(const QString& title, const QString& file_name, bool is_log);
  void fit_map_picture();
  // Loads the configured background into Picture7; says so when it cannot be read.
  void load_background();
  // File, New and File, Load once the file is chosen.
  void new_campaign(const QString& map_path);
  void load_campaign(const QString& save_path);
  void start_campaign();
  // After every change of the campaign by play: the autosave and the turn indicator.
  void after_action();
  void update_turn_indicator();
  // Draws the selection frames a click asks for on the map.
  void draw_frames(const std::vector<Frame>& frames);
  // Reads which rows of the action panel's lists are selected into the model.
  void take_list_selection();
  // One action of the computer player for the team to move; false when the clock must stay
  // stopped (the campaign ended, or a battle could not be fought).
  bool comp_ai_turn();
  // The clock goes again once the configuration has been looked at after a battle failed.
  void resume_computer_players();
  // A message box titled "Notice".
  void notice(const QString& text);
  FileDialogRequest program_folder_dialog(const QString& title, const QString& filter,
                                          const QString& file_name = QString());

  QString program_folder_;
  std::unique_ptr<FolderClaim> folder_claim_;  // the battle files and autosave of a second copy
  Dialogs& dialogs_;
  Settings settings_;
  Roster cdata_{};
  ArmySelection army_;
  CampaignState state_;
  ActionPanelModel panel_model_;
  bool activated_ = false;
  bool campaign_started_ = false;
  bool campaign_over_ = false;
  bool resolving_ = false;  // an action is being resolved (a battle may be running)
  // A computer team's battle could not be fought: the computer players wait for the user
  // to look at the configuration instead of retrying every tick.
  bool computer_waits_ = false;
  std::unique_ptr<AiRandom> ai_random_;
  Autosave* autosave_ = nullptr;
  // Failures of what runs after every action are reported once, not after every action.
  bool autosave_failed_ = false;
  // The army panel's OK could not write c_data.dat: the edited rosters stay in force and
  // are not replaced by the old file when a campaign starts.
  bool rosters_unsaved_ = false;
  QString pending_notice_;  // a start-up notice waiting for the window's first paint
  bool log_failed_ = false;
  bool snapshot_failed_ = false;

  QWidget* inner_ = nullptr;
  SurfaceWidget* picture1_ = nullptr;  // map picture
  SurfaceWidget* picture7_ = nullptr;  // background holder, hidden
  SurfaceWidget* picture8_ = nullptr;  // splash
  ActionPanel* picture2_ = nullptr;
  ConfigPanel* picture3_ = nullptr;
  ViewerPanel* picture4_ = nullptr;
  AiPanel* picture5_ = nullptr;
  StatsPanel* picture6_ = nullptr;
  ArmyPanel* picture11_ = nullptr;
  SizePanel* picture12_ = nullptr;
  QLabel* label35_ = nullptr;
  QLabel* turn_indicator_ = nullptr;
  QTimer* timer1_ = nullptr;
  QTimer* refit_timer_ = nullptr;
  BattleRunner* battle_runner_ = nullptr;

  QMenu* mnuFile_ = nullptr;
  QMenu* mnuStats_ = nullptr;
  QAction* mnuNew_ = nullptr;
  QAction* mnuSave_ = nullptr;
  QAction* mnuLoad_ = nullptr;
  QAction* mnusnapshot_ = nullptr;
  QAction* mnuConfig_ = nullptr;
  QAction* mnuExit_ = nullptr;
  QAction* mnuScore_ = nullptr;
  QAction* mnulastbattle_ = nullptr;
  QAction* mnuLog_ = nullptr;
  QAction* mnuHelp_ = nullptr;
};

}  // namespace zorvane
