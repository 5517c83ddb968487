// Writes the program's icon, zorvane.png: the team banner the window shows as its icon.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "display/sprites.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zorvane_make_icon OUTPUT.png\n");
    return 2;
  }
  if (!zorvane::window_icon_image().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "zorvane_make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
