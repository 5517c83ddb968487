// The main window "Zorvane": the map picture, the floating panels and the menus. It owns the
// settings and the rosters, and composes the play controller (the campaign in play) and
// the settings panels (the configuration and its files).
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>

#include "config/roster.h"
#include "config/settings.h"
#include "places/file_places.h"
#include "shell/dialogs.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace zorvane {

// The least window size the program runs well in.
inline constexpr int kMinWindowWidth = 590;
inline constexpr int kMinWindowHeight = 450;

struct CampaignState;
class ActionPanel;
class FolderClaim;
class MapArea;
class PlayController;
class SettingsPanels;
class StatsPanel;
class SurfaceWidget;
class ViewerPanel;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Creating the window runs the start-up: settings, rosters, window size, menus.
  MainWindow(const QString& program_folder, Dialogs& dialogs, QWidget* parent = nullptr);
  // The same, with the program's files where `places` says (portable on program_folder above).
  MainWindow(FilePlaces places, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  Settings& settings() { return settings_; }
  Roster& cdata() { return cdata_; }
  PlayController& play() { return *play_; }
  SettingsPanels& settings_panels() { return *settings_panels_; }
  // The campaign in play (for tests and tools that lay out a position).
  CampaignState& state();
  const QString& program_folder() const { return program_folder_; }
  // A program file by name, where FilePlaces keeps it (the program folder when portable).
  QString program_file(const QString& name) const;
  // True once the window has been shown and laid out its surfaces.
  bool activated() const { return activated_; }

  // Files named on the command line, after start-up and activation: a map (".aim") starts
  // a campaign as File, New does, a save (".sav") loads as File, Load does; anything else,
  // or more than one file, is answered with how the program is used. Relative paths are
  // taken against start_folder.
  void open_command_line(const QStringList& files, const QString& start_folder);

  // Menus.
  void new_campaign_from_menu();   // File, New
  void save_campaign();            // File, Save
  void load_campaign_from_menu();  // File, Load
  void show_help();                // Help
  void show_last_battle();         // Info, Last Battle
  void show_log();                 // Info, Log
  void show_battles();             // Info, Battles

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_menus();
  void build_panels();
  void apply_window_size();
  // Sizes the surfaces to the shown window, the splash, the panels' places, the version.
  void activate();
  // File, New and Load wait while a campaign is played, and come back once it has ended.
  void set_campaign_menus(bool running, bool over = false);
  // Escape: the front-most panel closes (the action panel cancels), else the selection
  // on the map is dropped. Enter: the action panel's OK, when it is in front and enabled.
  void escape_pressed();
  void enter_pressed();
  QWidget* front_panel() const;

  void new_campaign(const QString& map_path);
  void load_campaign(const QString& save_path);
  void notice(const QString& text);
  FileDialogRequest program_folder_dialog(const QString& title, const QString& filter,
                                          const QString& file_name = QString());

  FilePlaces places_;
  // The lock on the folder this copy writes to; a second copy keeps its battle files and
  // autosave apart.
  std::unique_ptr<FolderClaim> folder_claim_;
  QString program_folder_;
  Dialogs& dialogs_;
  Settings settings_;
  Roster cdata_{};
  bool activated_ = false;

  QWidget* inner_ = nullptr;
  MapArea* map_area_ = nullptr;           // the map picture, the splash and the background
  SurfaceWidget* map_view_ = nullptr;     // Picture1
  ActionPanel* action_panel_ = nullptr;   // Picture2
  ViewerPanel* viewer_ = nullptr;         // Picture4
  StatsPanel* stats_panel_ = nullptr;     // Picture6
  QLabel* turn_indicator_ = nullptr;
  QLabel* battle_report_ = nullptr;       // BattleReport, in the status bar
  QTimer* refit_timer_ = nullptr;
  SettingsPanels* settings_panels_ = nullptr;
  PlayController* play_ = nullptr;

  QAction* new_action_ = nullptr;       // mnuNew
  QAction* save_action_ = nullptr;      // mnuSave
  QAction* load_action_ = nullptr;      // mnuLoad
  QAction* snapshot_action_ = nullptr;  // mnusnapshot
  QMenu* info_menu_ = nullptr;          // mnuStats
};

}  // namespace zorvane
