// Test main for the Qt subsystems: one QApplication, headless, no desktop theme.
#include <gtest/gtest.h>

#include <QApplication>

namespace {
QtMessageHandler default_handler = nullptr;

// The offscreen platform warns about every window it cannot size or raise; that noise would
// bury real warnings.
void quiet_handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("does not support raise")) ||
      message.contains(QLatin1String("XDG_RUNTIME_DIR"))) {
    return;
  }
  if (default_handler) default_handler(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qunsetenv("QT_QPA_PLATFORMTHEME");
  default_handler = qInstallMessageHandler(quiet_handler);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
