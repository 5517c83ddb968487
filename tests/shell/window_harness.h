// A main window started on a temporary program folder, with dialogs answered by the test, and
// helpers for the small programs (record_args, never_ends) started in place of the game.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/linefile.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"
#include "test_files.h"

namespace zorvane::testing {

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// The shipped default files, as the build lays them out.
inline std::string shipped_file(const std::string& name) {
  return read_bytes(std::string(ZORVANE_SOURCE_DIR) + "/data/" + name);
}

// Path of a helper program built beside the test executables.
inline std::string test_program(const char* name) { return std::string(ZORVANE_TEST_BIN_DIR "/") + name; }

// Records every message, and answers file dialogs from a queue (an empty queue, or a queued
// nullopt, answers Cancel).
class FakeDialogs : public Dialogs {
 public:
  void message(const QString& text, const QString& title) override {
    messages.push_back((title + ": " + text).toStdString());
  }
  std::optional<QString> open_file(const FileDialogRequest&) override { return next_answer(); }
  std::optional<QString> save_file(const FileDialogRequest&) override { return next_answer(); }
  void answer(const std::optional<QString>& path) { answers.push_back(path); }

  std::vector<std::string> messages;  // "title: text" each
  std::deque<std::optional<QString>> answers;

 private:
  std::optional<QString> next_answer() {
    if (answers.empty()) return std::nullopt;
    const std::optional<QString> a = answers.front();
    answers.pop_front();
    return a;
  }
};

class WindowHarness {
 public:
  // The folder starts with the shipped config.dat, c_data.dat and Help.txt, or empty.
  explicit WindowHarness(bool shipped_files = true) {
    if (!shipped_files) return;
    for (const char* name : {"config.dat", "c_data.dat", "Help.txt"}) dir.write(name, shipped_file(name));
    // The shipped background is drawn by the build; a small stand-in does here.
    QImage background(8, 6, QImage::Format_RGB32);
    background.fill(QColor(20, 30, 60));
    background.save(q(dir.file("background.bmp")), "BMP");
  }
  // Writes the shipped config.dat with these lines (counted from 0) replaced.
  void config(const std::map<int, std::string>& lines) {
    auto all = split_lines_any(shipped_file("config.dat"));
    for (const auto& [i, line] : lines) all[static_cast<std::size_t>(i)] = line;
    dir.write("config.dat", join_crlf(all));
  }
  // Creates the window (start-up runs) and, unless told not to, shows it (activation runs).
  MainWindow& start(bool show = true) {
    window = restart();
    if (show) {
      window->show();
      QCoreApplication::processEvents();
    }
    return *window;
  }
  // Starts a second window on the same folder, as the next program start would: after the
  // first has ended (two at once keep their battle files apart).
  std::unique_ptr<MainWindow> restart() {
    window.reset();
    return std::make_unique<MainWindow>(q(dir.path()), dialogs);
  }
  // File, New with this map chosen in the dialog.
  void new_campaign(const std::string& map) {
    dialogs.answer(q(map));
    trigger("mnuNew");
  }

  template <typename T>
  T* find(const QString& name) const {
    return window->findChild<T*>(name);
  }
  QLineEdit* text(const QString& name) const { return find<QLineEdit>(name); }
  void click(const QString& button) const {
    auto* b = find<QAbstractButton>(button);
    ASSERT_NE(b, nullptr) << button.toStdString();
    b->click();
  }
  void trigger(const QString& action) const { find<QAction>(action)->trigger(); }
  bool enabled(const QString& action) const { return find<QAction>(action)->isEnabled(); }
  // Visible within the window, whether or not the window itself is on screen.
  bool shown(const QString& name) const { return find<QWidget>(name) && find<QWidget>(name)->isVisibleTo(window.get()); }
  std::string bytes(const std::string& name) const { return read_bytes(dir.file(name)); }
  const std::vector<std::string>& said() const { return dialogs.messages; }

  TempDir dir;
  FakeDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

// Sets an environment variable (which the started programs inherit) for one test.
struct ScopedEnv {
  ScopedEnv(const char* name, const std::string& value) : name(name) { qputenv(name, QByteArray::fromStdString(value)); }
  ~ScopedEnv() { qunsetenv(name); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  const char* name;
};

// The pids never_ends wrote: itself and the child it started.
inline std::vector<long> read_pids(const std::string& path) {
  std::ifstream in(path);
  std::vector<long> pids;
  for (long pid; in >> pid;) pids.push_back(pid);
  return pids;
}

// Waits up to 5 s for the process to be gone: no such process, or a zombie that merely
// waits for its new parent to reap it.
inline bool becomes_gone(long pid) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 5000) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z') return true;
    QThread::msleep(10);
  }
  return false;
}

// Runs `action` once, from the event loop (a battle's wait, say), as soon as `ready` holds.
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
