// Writes the splash picture, splash.bmp, so that the program shows it at start without
// drawing it (drawing the stone takes longer than the rest of the window's first paint).
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "display/splash.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zorvane_make_splash OUTPUT.bmp\n");
    return 2;
  }
  // The title's letters need the font database; no display is needed for that.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (!zorvane::make_splash_image().save(QString::fromLocal8Bit(argv[1]), "BMP")) {
    std::fprintf(stderr, "zorvane_make_splash: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
