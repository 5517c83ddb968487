// The configuration, AI, display size and army selection panels' handlers in the main
// window: saving the settings and rosters, browsing for files, the size checks.
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "common/paths.h"
#include "common/text.h"
#include "config/army.h"
#include "shell/army_panel.h"
#include "shell/config_panels.h"
#include "shell/list_text.h"
#include "shell/main_window.h"
#include "shell/qt_text.h"

namespace zorvane {

// ---------------------------------------------------------------------------------------
// Configuration, AI and size panels

void MainWindow::Command5_Click() {
  save_settings_file();
  picture3_->hide();
  resume_computer_players();
}

void MainWindow::Command14_Click() {
  save_settings_file();
  picture5_->hide();
  show_panel(picture3_);
  resume_computer_players();
}

void MainWindow::Command6_Click() {
  picture3_->hide();
  resume_computer_players();
}

void MainWindow::Command15_Click() {
  show_panel(picture5_);
  picture3_->hide();
}

void MainWindow::Command21_Click() {
  picture3_->hide();
  show_panel(picture12_);
}

void MainWindow::Command20_Click() {
  show_panel(picture3_);
  if (numeric_value(text_bytes(picture12_->width_text->text())) < kMinWindowWidth) {
    picture12_->width_text->setText(QStringLiteral("590"));
    notice(QStringLiteral("Width too small to properly run program, adjusting to 590"));
  }
  if (numeric_value(text_bytes(picture12_->height_text->text())) < kMinWindowHeight) {
    picture12_->height_text->setText(QStringLiteral("450"));
    notice(QStringLiteral("Height too small to properly run program, adjusting to 450"));
  }
  notice(QStringLiteral("These settings will be used the next time you run this program."));
  picture12_->hide();
}

void MainWindow::browse_setting(int line, const QString& filter) {
  FileDialogRequest request;
  request.title = QString::fromLatin1(setting_table()[static_cast<std::size_t>(line - 1)].caption);
  request.filter = filter;
  request.filter_index = 1;
  request.folder = QDir::currentPath();
  const std::optional<QString> chosen = dialogs_.open_file(request);
  if (!chosen) return;
  auto* edit = findChild<QLineEdit*>(QString::fromLatin1(setting_table()[static_cast<std::size_t>(line - 1)].control));
  if (edit) edit->setText(QDir::toNativeSeparators(*chosen));
}

void MainWindow::Command7_Click() { browse_setting(1, QStringLiteral("VANTOR EXE|VANTOR.EXE|VANTOR EXE")); }

void MainWindow::browse_terrain_map(int index) {
  browse_setting(2 + index, QStringLiteral("VANTOR MAP (*.map)|*.map"));
}

void MainWindow::Command19_Click() {
  const std::optional<QString> chosen = dialogs_.open_file(
      program_folder_dialog(QStringLiteral("Shell background image"), QStringLiteral("Image Files (*.BMP)|*.bmp")));
  if (!chosen) return;
  if (auto* edit = findChild<QLineEdit*>(QStringLiteral("Text22"))) edit->setText(QDir::toNativeSeparators(*chosen));
  notice(QStringLiteral("You must restart this program to see this background"));
}

// ---------------------------------------------------------------------------------------
// Army selection

void MainWindow::do_assign() {
  assignments();
  picture3_->hide();
  show_panel(picture11_);
}

void MainWindow::assignments() {
  const std::string exe = trim(places_.resolve(settings_.game_exe_path));
  zorvane::assignments(army_, cdata_, picture11_->chosen_team(), list_unit_programs(GetPath(exe)));
  picture11_->show_lists(army_);
}

void MainWindow::Command13_Click() {
  QListWidget* storage = picture11_->storage_list;
  if (storage->selectedItems().isEmpty()) return;
  if (!army_add(army_, storage->currentRow())) return;
  picture11_->army_list->addItem(list_text(army_.army.back()));
  c_update(army_, cdata_, picture11_->chosen_team());
}

void MainWindow::Command17_Click() {
  QListWidget* army = picture11_->army_list;
  if (army->selectedItems().isEmpty()) return;
  const int row = army->currentRow();
  if (!army_remove(army_, row)) return;
  delete army->takeItem(row);
  c_update(army_, cdata_, picture11_->chosen_team());
}

void MainWindow::Command18_Click() {
  putCdata();
  picture11_->hide();
  show_panel(picture3_);
}

}  // namespace zorvane
