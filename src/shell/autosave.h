// The autosave after every action, written by a worker thread: building the save takes a
// fraction of a millisecond, but flushing it to disk can take longer than a frame, and the
// window should not wait for the disk. Saves are written in order; only the newest one
// still waiting is kept.
#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/linefile.h"

namespace zorvane {

class Autosave : public QObject {
  Q_OBJECT
 public:
  // What writes a save to disk (the atomic replace of a generated file, which replaces a
  // link planted in its place; tests pass their own).
  using Writer = std::function<FileResult(const std::string& path, const std::string& bytes)>;
  explicit Autosave(QObject* parent = nullptr, Writer writer = write_generated_file);
  // Writes what is still waiting, then ends the worker.
  ~Autosave() override;

  // Replaces the file atomically with these bytes, soon (a link at its path is replaced,
  // not written through: the autosave is a file the program generates).
  void save(std::string path, std::string bytes);
  // Returns once every save asked for has been written (or has failed).
  void flush();

 signals:
  // A write failed: why, naming the file. Delivered in the thread that owns this object.
  void failed(const QString& error);
  // A write succeeded.
  void written();

 private:
  void work();

  Writer writer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<std::pair<std::string, std::string>> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace zorvane
