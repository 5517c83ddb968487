// Zorvane: wiring only.
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "shell/main_window.h"
#include "shell/qt_dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Taken now: the file dialogs later make the program's (or the user's) folder the current one.
  const QString start_folder = QDir::currentPath();
  const QStringList files = app.arguments().mid(1);
  zorvane::QtDialogs dialogs;
  zorvane::MainWindow window(zorvane::FilePlaces::at_start_up(QCoreApplication::applicationDirPath()), dialogs);
  dialogs.set_parent(&window);
  window.show();
  // Once the window is shown and activated, as a file chosen in the dialog would be.
  QTimer::singleShot(0, &window, [&] { window.open_command_line(files, start_folder); });
  return app.exec();
}
