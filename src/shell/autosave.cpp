#include "shell/autosave.h"

#include "common/linefile.h"
#include "shell/qt_text.h"

namespace zorvane {

Autosave::Autosave(QObject* parent) : QObject(parent), worker_([this] { work(); }) {}

Autosave::~Autosave() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void Autosave::save(std::string path, std::string bytes) {
  {
    std::lock_guard lock(mutex_);
    pending_.emplace(std::move(path), std::move(bytes));
  }
  changed_.notify_all();
}

void Autosave::flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !pending_ && !busy_; });
}

void Autosave::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ || stopping_; });
    if (!pending_) return;  // stopping, with nothing left to write
    auto [path, bytes] = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    lock.unlock();
    const FileResult result = write_generated_file(path, bytes);
    // Queued to the owner's thread, where the window's notice can be shown.
    if (result.ok) {
      QMetaObject::invokeMethod(this, &Autosave::written, Qt::QueuedConnection);
    } else {
      const QString error = QStringLiteral("The campaign could not be autosaved to \"%1\": %2.")
                                .arg(qt_text(path), qt_text(result.error));
      QMetaObject::invokeMethod(this, [this, error] { emit failed(error); }, Qt::QueuedConnection);
    }
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace zorvane
