// The configuration panel and the panels it opens (AI, display size, army selection): their
// buttons, the browse dialogs, and the files behind them, config.dat and c_data.dat.
#pragma once

#include <QObject>
#include <QString>

#include "config/army.h"
#include "config/roster.h"
#include "config/settings.h"
#include "places/file_places.h"
#include "shell/dialogs.h"

class QWidget;

namespace zorvane {

class AiPanel;
class ArmyPanel;
class ConfigPanel;
class SizePanel;

class SettingsPanels : public QObject {
  Q_OBJECT
 public:
  // The panels are made as children of `parent` when first needed; `window` holds every
  // setting control.
  SettingsPanels(const FilePlaces& places, Dialogs& dialogs, Settings& settings, Roster& cdata, QWidget* window,
                 QWidget* parent);

  // The panels are made when first needed (a window's first paint need not wait for them),
  // the setting controls in them showing the settings as they are then.
  void make_panels();
  ConfigPanel* config_panel();  // Picture3
  AiPanel* ai_panel();          // Picture5
  // The configuration panel if it was made, else nothing.
  ConfigPanel* made_config_panel() const { return config_; }
  // Picture11, made when it is first needed: its lists are slow to make and rarely used.
  ArmyPanel* army_panel();
  SizePanel* size_panel();      // Picture12
  const ArmySelection& army_selection() const { return army_; }

  // Start-up: the settings from config.dat into their controls ("Please update your
  // configuration" and the panel when it is missing or incomplete), the rosters.
  void load_settings();
  void load_rosters();
  // A campaign starts: the rosters are read again, unless an edit could not be saved (it
  // stays in force until the program ends).
  void reload_rosters();
  // The army panel's lists for the team chosen in it.
  void show_army();

 signals:
  // The configuration was looked at (OK or Close): waiting computer players may go on.
  void closed();

 private:
  void save_settings_file();
  void save_rosters();
  bool replace_program_file(const QString& name, const std::string& bytes, const QString& what);
  void browse_setting(int line, const QString& filter);
  void browse_background();
  void check_size();
  void open_army_panel();
  void add_unit();
  void remove_unit();
  void notice(const QString& text);

  const FilePlaces& places_;
  Dialogs& dialogs_;
  Settings& settings_;
  Roster& cdata_;
  QWidget* window_;
  ArmySelection army_;
  // The army panel's OK could not write c_data.dat: the edited rosters stay in force.
  bool rosters_unsaved_ = false;
  QWidget* panels_parent_;
  ConfigPanel* config_ = nullptr;
  AiPanel* ai_ = nullptr;
  ArmyPanel* army_panel_ = nullptr;
  SizePanel* size_ = nullptr;
};

// Shows a floating panel in front of the others.
void show_panel(QWidget* panel);

}  // namespace zorvane
