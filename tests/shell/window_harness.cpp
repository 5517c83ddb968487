#include "window_harness.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace zorvane::testing {

std::string shipped_file(const std::string& name) { return read_bytes(std::string(ZORVANE_SOURCE_DIR) + "/data/" + name); }

void WindowHarness::use_shipped_files() {
  for (const char* name : {"config.dat", "c_data.dat", "Help.txt"}) dir.write(name, shipped_file(name));
  // The shipped background is drawn by the build; a small stand-in does here.
  QImage background(8, 6, QImage::Format_RGB32);
  background.fill(QColor(20, 30, 60));
  background.save(QString::fromStdString(dir.file("background.bmp")), "BMP");
}

MainWindow& WindowHarness::start(bool show) {
  window = std::make_unique<MainWindow>(QString::fromStdString(dir.path()), dialogs);
  if (show) {
    window->show();
    QCoreApplication::processEvents();
  }
  return *window;
}

std::unique_ptr<MainWindow> WindowHarness::restart() {
  return std::make_unique<MainWindow>(QString::fromStdString(dir.path()), dialogs);
}

void WindowHarness::click(const QString& button) const {
  auto* b = find<QAbstractButton>(button);
  ASSERT_NE(b, nullptr) << button.toStdString();
  b->click();
}

bool WindowHarness::shown(const QString& name) const {
  auto* w = find<QWidget>(name);
  return w && w->isVisibleTo(window.get());
}

}  // namespace zorvane::testing
