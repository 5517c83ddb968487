// The yardstick for Zorvane's start: a bare Qt main window with a menu bar, ended as soon
// as it has painted once.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <cstdlib>

namespace {

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
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare"));
  for (const char* menu : {"&File", "&Info", "&Help"}) window.menuBar()->addMenu(QString::fromLatin1(menu));
  window.resize(1024, 768);
  QuitAfterPaint quit;
  window.installEventFilter(&quit);
  window.show();
  return app.exec();
}
