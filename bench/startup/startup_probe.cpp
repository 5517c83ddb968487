// Zorvane's start as app/main.cpp does it, ended as soon as the window has painted once: the
// time this process takes is the time to the first visible window. ZORVANE_FOLDER names the
// program folder (the build's by default). Measured against bare_window by measure.sh.
#include <QApplication>
#include <QDir>

#include "shell/main_window.h"
#include "shell/qt_dialogs.h"
#include "quit_after_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString program_folder = qEnvironmentVariable("ZORVANE_FOLDER", QCoreApplication::applicationDirPath());
  zorvane::QtDialogs dialogs;
  zorvane::MainWindow window(zorvane::FilePlaces::at_start_up(program_folder), dialogs);
  dialogs.set_parent(&window);
  QuitAfterPaint quit;
  window.installEventFilter(&quit);
  window.show();
  return app.exec();
}
