#include "window_harness.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

#include "common/linefile.h"

namespace zorvane::testing {

std::string shipped_file(const std::string& name) { return read_bytes(std::string(ZORVANE_SOURCE_DIR) + "/data/" + name); }

void WindowHarness::use_shipped_files() {
  for (const char* name : {"config.dat", "c_data.dat", "Help.txt"}) dir.write(name, shipped_file(name));
  // The shipped background is drawn by the build; a small stand-in does here.
  QImage background(8, 6, QImage::Format_RGB32);
  background.fill(QColor(20, 30, 60));
  background.save(q(dir.file("background.bmp")), "BMP");
}

void WindowHarness::config(const std::map<int, std::string>& lines) {
  auto all = split_lines_any(shipped_file("config.dat"));
  for (const auto& [i, line] : lines) all[static_cast<std::size_t>(i)] = line;
  dir.write("config.dat", join_crlf(all));
}

MainWindow& WindowHarness::start(bool show) {
  window = restart();
  if (show) {
    window->show();
    QCoreApplication::processEvents();
  }
  return *window;
}

void WindowHarness::click(const QString& button) const {
  auto* b = find<QAbstractButton>(button);
  ASSERT_NE(b, nullptr) << button.toStdString();
  b->click();
}

std::vector<std::string> WindowHarness::said() const {
  std::vector<std::string> out;
  for (const auto& m : dialogs.messages) out.push_back((m.title + ": " + m.text).toStdString());
  return out;
}

}  // namespace zorvane::testing
