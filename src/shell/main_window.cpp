#include "shell/main_window.h"

namespace zorvane {

MainWindow::MainWindow(const QString& program_folder, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), program_folder_(program_folder), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Zorvane"));
}

}  // namespace zorvane
