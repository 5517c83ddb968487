// Helpers for tests that act while an event loop runs (a battle's wait, say).
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace zorvane::testing {

// Runs `action` once, from the event loop, as soon as `ready` holds.
inline void when(std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
    if (!ready()) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start();
}

}  // namespace zorvane::testing
