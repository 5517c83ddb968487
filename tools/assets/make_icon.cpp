// Writes the program's icon: the team banner the window shows as its icon, at 48 pixels
// (zorvane.png in the program folder) or at the size given (for the icon theme).
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "display/sprites.h"

int main(int argc, char** argv) {
  const int side = argc == 3 ? std::atoi(argv[2]) : 48;
  if (argc < 2 || argc > 3 || side < 24 || side > 1024) {
    std::fprintf(stderr, "usage: zorvane_make_icon OUTPUT.png [SIDE, 24 to 1024]\n");
    return 2;
  }
  if (!zorvane::window_icon_image(side).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "zorvane_make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
