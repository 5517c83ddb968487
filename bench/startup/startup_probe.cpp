// Zorvane's start as app/main.cpp does it, ended as soon as the window has painted once: the
// time this process takes is the time to the first visible window. With a file argument it
// opens it as the program does. Measured against bare_window by bench/startup/measure.sh.
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>
#include <cstdlib>

#include "shell/main_window.h"
#include "shell/qt_dialogs.h"

namespace {

// Ends the program once the watched widget's first paint pass is over.
class QuitAfterPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      // Once this paint pass is over, before anything queued after it runs.
      QTimer::singleShot(0, [] { std::_Exit(0); });
    }
    return false;
  }
};

}  // namespace

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
