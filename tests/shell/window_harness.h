// A main window started on a temporary program folder, with dialogs answered by the test.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <map>
#include <memory>
#include <string>

#include "child_programs.h"
#include "fake_dialogs.h"
#include "shell/main_window.h"
#include "test_files.h"

namespace zorvane::testing {

// The shipped default files, as the build lays them out.
std::string shipped_file(const std::string& name);

class WindowHarness {
 public:
  // The folder starts with the shipped config.dat, c_data.dat and Help.txt, or empty.
  explicit WindowHarness(bool shipped_files = true) {
    if (shipped_files) use_shipped_files();
  }
  void use_shipped_files();
  // Writes the shipped config.dat with these lines (counted from 0) replaced.
  void config(const std::map<int, std::string>& lines);
  // Creates the window (start-up runs) and, unless told not to, shows it (activation runs).
  MainWindow& start(bool show = true);
  // Starts a second window on the same folder, as the next program start would.
  std::unique_ptr<MainWindow> restart() { return std::make_unique<MainWindow>(q(dir.path()), dialogs); }
  // File, New with this map chosen in the dialog.
  void new_campaign(const std::string& map) { dialogs.answer(q(map)); trigger("mnuNew"); }

  template <typename T>
  T* find(const QString& name) const {
    return window->findChild<T*>(name);
  }
  QLineEdit* text(const QString& name) const { return find<QLineEdit>(name); }
  void click(const QString& button) const;
  void trigger(const QString& action) const { find<QAction>(action)->trigger(); }
  bool enabled(const QString& action) const { return find<QAction>(action)->isEnabled(); }
  // Visible within the window, whether or not the window itself is on screen.
  bool shown(const QString& name) const { return find<QWidget>(name) && find<QWidget>(name)->isVisibleTo(window.get()); }
  std::string folder_file(const std::string& name) const { return dir.file(name); }
  std::string bytes(const std::string& name) const { return read_bytes(dir.file(name)); }
  // The texts of the messages shown so far, "title: text" each.
  std::vector<std::string> said() const;

  TempDir dir;
  FakeDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

}  // namespace zorvane::testing
