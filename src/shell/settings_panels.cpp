#include "shell/settings_panels.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"
#include "shell/army_panel.h"
#include "shell/config_panels.h"
#include "shell/list_text.h"
#include "shell/qt_text.h"
#include "shell/setting_controls.h"

namespace zorvane {
namespace {

// The least window size the program runs well in.
constexpr int kLeastWidth = 590;
constexpr int kLeastHeight = 450;

}  // namespace

void show_panel(QWidget* panel) {
  panel->show();
  panel->raise();
}

SettingsPanels::SettingsPanels(const FilePlaces& places, Dialogs& dialogs, Settings& settings, Roster& cdata,
                               QWidget* window, QWidget* parent)
    : QObject(parent),
      places_(places),
      dialogs_(dialogs),
      settings_(settings),
      cdata_(cdata),
      window_(window),
      panels_parent_(parent) {}

void SettingsPanels::make_panels() {
  if (config_) return;
  config_ = new ConfigPanel(settings_, panels_parent_);
  ai_ = new AiPanel(settings_, panels_parent_);
  size_ = new SizePanel(settings_, panels_parent_);
  for (QWidget* panel : std::initializer_list<QWidget*>{config_, ai_, size_}) panel->hide();
  // Configuration: OK saves and closes, Close closes; both let waiting computer players go on.
  connect(config_->ok_button, &QPushButton::clicked, this, [this] {
    save_settings_file();
    config_->hide();
    emit closed();
  });
  connect(config_->close_button, &QPushButton::clicked, this, [this] {
    config_->hide();
    emit closed();
  });
  connect(config_->ai_button, &QPushButton::clicked, this, [this] {
    show_panel(ai_);
    config_->hide();
  });
  connect(config_->size_button, &QPushButton::clicked, this, [this] {
    config_->hide();
    show_panel(size_);
  });
  connect(config_->kribbles_button, &QPushButton::clicked, this, &SettingsPanels::open_army_panel);
  connect(config_->browse_game, &QPushButton::clicked, this,
          [this] { browse_setting(1, QStringLiteral("VANTOR EXE|VANTOR.EXE|VANTOR EXE")); });
  for (int k = 0; k < kTerrainMaps; ++k) {
    connect(config_->browse_maps[static_cast<std::size_t>(k)], &QPushButton::clicked, this,
            [this, k] { browse_setting(2 + k, QStringLiteral("VANTOR MAP (*.map)|*.map")); });
  }
  connect(config_->browse_background, &QPushButton::clicked, this, &SettingsPanels::browse_background);
  // The AI panel's OK saves and goes back to the configuration.
  connect(ai_->ok_button, &QPushButton::clicked, this, [this] {
    save_settings_file();
    ai_->hide();
    show_panel(config_);
    emit closed();
  });
  connect(size_->ok_button, &QPushButton::clicked, this, &SettingsPanels::check_size);
  add_setting_tooltips(panels_parent_);
  show_settings(window_, settings_);
}

ConfigPanel* SettingsPanels::config_panel() {
  make_panels();
  return config_;
}

AiPanel* SettingsPanels::ai_panel() {
  make_panels();
  return ai_;
}

SizePanel* SettingsPanels::size_panel() {
  make_panels();
  return size_;
}

ArmyPanel* SettingsPanels::army_panel() {
  if (army_panel_) return army_panel_;
  army_panel_ = new ArmyPanel(panels_parent_);
  connect(army_panel_->add_button, &QPushButton::clicked, this, &SettingsPanels::add_unit);
  connect(army_panel_->remove_button, &QPushButton::clicked, this, &SettingsPanels::remove_unit);
  connect(army_panel_->ok_button, &QPushButton::clicked, this, [this] {
    save_rosters();
    army_panel_->hide();
    show_panel(config_);
  });
  for (QRadioButton* option : army_panel_->team_options) {
    connect(option, &QRadioButton::clicked, this, &SettingsPanels::show_army);
  }
  return army_panel_;
}

void SettingsPanels::notice(const QString& text) { dialogs_.message(text, QStringLiteral("Notice")); }

void SettingsPanels::load_settings() {
  const std::string path = text_bytes(QDir::toNativeSeparators(places_.file(QStringLiteral("config.dat"))));
  const bool complete = apply_config_lines(read_config_lines(path), settings_);
  if (config_) show_settings(window_, settings_);
  const ComputerPlayersRead players = read_computer_players_file(
      text_bytes(QDir::toNativeSeparators(places_.file(QLatin1String(kComputerPlayersFileName)))));
  settings_.computer_players = players.players;
  if (ai_) ai_->show_players(settings_);
  if (!complete) {
    dialogs_.message(QStringLiteral("Please update your configuration"), QStringLiteral("Configuration Missing"));
    show_panel(config_panel());
  }
  if (!players.error.empty()) notice(qt_text(players.error));
}

void SettingsPanels::load_rosters() {
  read_roster_file(text_bytes(QDir::toNativeSeparators(places_.file(QStringLiteral("c_data.dat")))), cdata_);
}

void SettingsPanels::reload_rosters() {
  if (!rosters_unsaved_) load_rosters();
}

bool SettingsPanels::replace_program_file(const QString& name, const std::string& bytes, const QString& what) {
  const QString path = QDir::toNativeSeparators(places_.file(name));
  const FileResult written = write_file_atomic(text_bytes(path), bytes);
  if (!written.ok) {
    const QString previous = written.old_file_damaged ? QStringLiteral("The previous file may be damaged")
                                                      : QStringLiteral("The previous file is unchanged");
    notice(QStringLiteral("The %1 could not be saved to \"%2\": %3.\n%4; the new %1 stay in force until the program "
                          "ends.")
               .arg(what, path, qt_text(written.error), previous));
  }
  return written.ok;
}

void SettingsPanels::save_settings_file() {
  replace_program_file(QStringLiteral("config.dat"), config_file_bytes(settings_), QStringLiteral("settings"));
  replace_program_file(QLatin1String(kComputerPlayersFileName), computer_players_file_bytes(settings_.computer_players),
                       QStringLiteral("computer players"));
}

void SettingsPanels::save_rosters() {
  // Until they are saved, the edited armies stay in force: a campaign started now must not
  // reread the old file.
  rosters_unsaved_ =
      !replace_program_file(QStringLiteral("c_data.dat"), roster_file_bytes(cdata_), QStringLiteral("armies"));
}

void SettingsPanels::check_size() {
  show_panel(config_);
  if (numeric_value(text_bytes(size_->width_text->text())) < kLeastWidth) {
    size_->width_text->setText(QStringLiteral("590"));
    notice(QStringLiteral("Width too small to properly run program, adjusting to 590"));
  }
  if (numeric_value(text_bytes(size_->height_text->text())) < kLeastHeight) {
    size_->height_text->setText(QStringLiteral("450"));
    notice(QStringLiteral("Height too small to properly run program, adjusting to 450"));
  }
  notice(QStringLiteral("These settings will be used the next time you run this program."));
  size_->hide();
}

void SettingsPanels::browse_setting(int line, const QString& filter) {
  const SettingInfo& row = setting_table()[static_cast<std::size_t>(line - 1)];
  FileDialogRequest request;
  request.title = QString::fromLatin1(row.caption);
  request.filter = filter;
  request.filter_index = 1;
  request.folder = QDir::currentPath();
  const std::optional<QString> chosen = dialogs_.open_file(request);
  if (!chosen) return;
  if (auto* edit = window_->findChild<QLineEdit*>(QString::fromLatin1(row.control))) {
    edit->setText(QDir::toNativeSeparators(*chosen));
  }
}

void SettingsPanels::browse_background() {
  // This dialog starts in the user's folder (the program folder when portable), which also
  // becomes the current folder.
  QDir::setCurrent(places_.user_folder());
  const std::optional<QString> chosen = dialogs_.open_file(FileDialogRequest{
      QStringLiteral("Shell background image"), QStringLiteral("Image Files (*.BMP)|*.bmp"), 1, places_.user_folder(), {}});
  if (!chosen) return;
  if (auto* edit = window_->findChild<QLineEdit*>(QStringLiteral("Text22"))) edit->setText(QDir::toNativeSeparators(*chosen));
  notice(QStringLiteral("You must restart this program to see this background"));
}

void SettingsPanels::open_army_panel() {
  show_army();
  config_->hide();
  show_panel(army_panel());
}

void SettingsPanels::show_army() {
  const std::string exe = trim(places_.resolve(settings_.game_exe_path));
  assignments(army_, cdata_, army_panel()->chosen_team(), list_unit_programs(GetPath(exe)));
  army_panel_->show_lists(army_);
}

void SettingsPanels::add_unit() {
  QListWidget* storage = army_panel_->storage_list;
  if (storage->selectedItems().isEmpty()) return;
  if (!army_add(army_, storage->currentRow())) return;
  army_panel_->army_list->addItem(list_text(army_.army.back()));
  c_update(army_, cdata_, army_panel_->chosen_team());
}

void SettingsPanels::remove_unit() {
  QListWidget* army = army_panel_->army_list;
  if (army->selectedItems().isEmpty()) return;
  const int row = army->currentRow();
  if (!army_remove(army_, row)) return;
  delete army->takeItem(row);
  c_update(army_, cdata_, army_panel_->chosen_team());
}

}  // namespace zorvane
