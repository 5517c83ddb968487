// Zorvane: wiring only.
#include <QApplication>

#include "shell/main_window.h"
#include "shell/qt_dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  zorvane::QtDialogs dialogs;
  zorvane::MainWindow window(QCoreApplication::applicationDirPath(), dialogs);
  dialogs.set_parent(&window);
  window.show();
  return app.exec();
}
