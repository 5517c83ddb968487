// Ends the program once the watched widget's first paint pass is over: the two start-up
// programs measured against each other stop at the same point.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdlib>

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
