// The main window "Zorvane": the map picture, the floating panels and the menus.
#pragma once

#include <QMainWindow>

#include "shell/dialogs.h"

namespace zorvane {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(const QString& program_folder, Dialogs& dialogs, QWidget* parent = nullptr);

 private:
  QString program_folder_;
  Dialogs& dialogs_;
};

}  // namespace zorvane
