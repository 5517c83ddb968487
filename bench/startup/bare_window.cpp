// The yardstick for Zorvane's start: a bare Qt main window with a menu bar, ended as soon
// as it has painted once.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include "quit_after_paint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare"));
  for (const char* menu : {"&File", "&Info", "&Help"}) window.menuBar()->addMenu(QString::fromLatin1(menu));
  window.resize(1024, 768);
  QuitAfterPaint quit;
  window.installEventFilter(&quit);
  window.show();
  return app.exec();
}
