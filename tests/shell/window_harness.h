// A main window started on a temporary program folder, with dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/linefile.h"
#include "shell/dialogs.h"
#include "shell/main_window.h"
#include "process_helpers.h"
#include "shell/play.h"
#include "shell/settings_panels.h"
#include "test_files.h"

namespace zorvane::testing {

inline QString q(const std::string& text) { return QString::fromStdString(text); }

// The shipped default files, as the build lays them out.
inline std::string shipped_file(const std::string& name) {
  return read_bytes(std::string(ZORVANE_SOURCE_DIR) + "/data/" + name);
}

// Records every message and the folder each file dialog starts in, and answers file dialogs
// from a queue (an empty queue, or a queued nullopt, answers Cancel).
class FakeDialogs : public Dialogs {
 public:
  void message(const QString& text, const QString& title) override {
    messages.push_back((title + ": " + text).toStdString());
  }
  bool ask(const QString& text, const QString& title) override {
    messages.push_back((title + "? " + text).toStdString());
    if (replies.empty()) return true;
    const bool reply = replies.front();
    replies.pop_front();
    return reply;
  }
  std::optional<QString> open_file(const FileDialogRequest& request) override { return next_answer(request); }
  std::optional<QString> save_file(const FileDialogRequest& request) override { return next_answer(request); }
  void answer(const std::optional<QString>& path) { answers.push_back(path); }

  std::vector<std::string> messages;  // "title: text" each, "title? text" for a question
  std::deque<std::optional<QString>> answers;
  std::deque<bool> replies;  // to questions; none left: Yes
  std::vector<QString> folders;

 private:
  std::optional<QString> next_answer(const FileDialogRequest& request) {
    folders.push_back(request.folder);
    if (answers.empty()) return std::nullopt;
    const std::optional<QString> a = answers.front();
    answers.pop_front();
    return a;
  }
};

// A widget of the window by name; the settings panels, made when first needed, are made.
template <typename T>
T* find_in(MainWindow& window, const QString& name) {
  window.settings_panels().make_panels();
  return window.findChild<T*>(name);
}

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
  T* find(const QString& name) const { return find_in<T>(*window, name); }
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

}  // namespace zorvane::testing
