#include "display/sprites.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zorvane {
namespace {

using Grid = std::array<std::string_view, kSpriteHeight>;

struct Ink {
  char symbol;
  QRgb colour;
};

// '.' is the black surround, which doubles as the colour key; nothing else in the
// drawings may be pure black or it would turn transparent.
QImage from_grid(const Grid& rows, std::initializer_list<Ink> inks) {
  QImage img(kSpriteWidth, kSpriteHeight, QImage::Format_RGB32);
  img.fill(qRgb(0, 0, 0));
  for (int y = 0; y < kSpriteHeight; ++y) {
    const std::string_view row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < kSpriteWidth && x < static_cast<int>(row.size()); ++x) {
      for (const Ink& ink : inks) {
        if (ink.symbol == row[static_cast<std::size_t>(x)]) img.setPixel(x, y, ink.colour);
      }
    }
  }
  return img;
}

// Seen from above: antennae with yellow knobs, red eye lamps at the front, four legs,
// the dome lit from the top left.
// clang-format off
constexpr Grid kUnitRows = {
    "......................",
    "......................",
    "....YY..........YY....",
    "....YY..........YY....",
    "......M........M......",
    ".......M......M.......",
    ".......KKKKKKKK.......",
    "......KKLRLLRDKK......",
    "..DK.KKLLLLLLMDKK.KD..",
    ".DDDKKLWWLLLLMMDKKDDD.",
    ".DD.KLWWWLLLLMMMDK.DD.",
    "....KLLWLLLLMMMMDK....",
    "....KLLLLLLLMMMMDK....",
    "....KDLLLLLMMMMMDK....",
    ".DD.KDMMMMMMMMMMDK.DD.",
    ".DDDKKDMMMMMMMMDKKDDD.",
    "..DK.KKDMMMMMMDKK.KD..",
    "......KKDDDDDDKK......",
    ".......KKKKKKKK.......",
    "......................",
    "......................",
};
// clang-format on

// A swallow-tailed banner hanging from the cross bar of a white pole.
// clang-format off
constexpr Grid kFlagRows = {
    "......................",
    "...G..................",
    ".WWWWWWWWWWWWWWWWWWW..",
    "...W.rRRRRRRRRRRRRRr..",
    "...W.rRRRRRRRRRRRRRr..",
    "...W.rRRRRRYYRRRRRRr..",
    "...W.rRRRRYYYYRRRRRr..",
    "...W.rRRRYYYYYYRRRRr..",
    "...W.rRRYYYOOYYYRRRr..",
    "...W.rRRYYYOOYYYRRRr..",
    "...W.rRRRYYYYYYRRRRr..",
    "...W.rRRRRYYYYRRRRRr..",
    "...W.rRRRRRYYRRRRRRr..",
    "...W.rRRRRRRRRRRRRRr..",
    "...W.rRRRRRRRRRRRRRr..",
    "...W.rRRRRRRrRRRRRRr..",
    "...W.rRRRRRr.rRRRRRr..",
    "...W.rRRRRr...rRRRRr..",
    "...W.rRRRr.....rRRRr..",
    "...W..................",
    "..WWW.................",
};
// clang-format on

ColorValue colour_value(QRgb p) { return rgb(qRed(p), qGreen(p), qBlue(p)); }

bool inside(const QImage& img, long long x, long long y) {
  return x >= 0 && y >= 0 && x < img.width() && y < img.height();
}

}  // namespace

const QImage& unit_sprite() {
  static const QImage sprite = from_grid(kUnitRows, {{'K', qRgb(64, 64, 64)},
                                                     {'D', qRgb(104, 104, 104)},
                                                     {'M', qRgb(144, 144, 144)},
                                                     {'L', qRgb(188, 188, 188)},
                                                     {'W', qRgb(236, 236, 236)},
                                                     {'R', qRgb(230, 40, 30)},
                                                     {'Y', qRgb(255, 214, 40)}});
  return sprite;
}

const QImage& flag_sprite() {
  static const QImage sprite = from_grid(kFlagRows, {{'W', qRgb(250, 250, 250)},
                                                     {'G', qRgb(255, 214, 40)},
                                                     {'R', qRgb(214, 24, 24)},
                                                     {'r', qRgb(150, 10, 10)},
                                                     {'Y', qRgb(255, 222, 0)},
                                                     {'O', qRgb(230, 150, 0)}});
  return sprite;
}

QImage window_icon_image(int side) {
  const int scale = std::max(1, side / 24);
  const QImage& flag = flag_sprite();
  const QRgb key = flag.pixel(1, 1);
  QImage icon(side, side, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  const int left = (side - scale * flag.width()) / 2;
  const int top = (side - scale * flag.height()) / 2;
  for (int y = 0; y < flag.height(); ++y) {
    for (int x = 0; x < flag.width(); ++x) {
      const QRgb pixel = flag.pixel(x, y);
      if (pixel == key) continue;
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) icon.setPixel(left + scale * x + dx, top + scale * y + dy, pixel | 0xFF000000u);
      }
    }
  }
  return icon;
}

void mask_blit(QImage& dest, const QImage& work, const QImage& src, int left, int top, int right,
               int bottom, int dx, int dy, ColorValue key) {
  if (dest.isNull()) return;
  const long long w = static_cast<long long>(right) - left + 1;
  const long long h = static_cast<long long>(bottom) - top + 1;
  if (w <= 0 || h <= 0) return;
  // Only the part that lands on dest is composed.
  const long long u0 = std::max(0LL, -static_cast<long long>(dx));
  const long long v0 = std::max(0LL, -static_cast<long long>(dy));
  const long long u1 = std::min(w, static_cast<long long>(dest.width()) - dx);
  const long long v1 = std::min(h, static_cast<long long>(dest.height()) - dy);
  if (u0 >= u1 || v0 >= v1) return;

  // Composed off-screen first: work is usually dest itself, and dest is written once.
  QImage back(static_cast<int>(u1 - u0), static_cast<int>(v1 - v0), QImage::Format_ARGB32);
  for (long long v = v0; v < v1; ++v) {
    for (long long u = u0; u < u1; ++u) {
      const long long x = dx + u;
      const long long y = dy + v;
      const long long sx = left + u;
      const long long sy = top + v;
      QRgb out = 0;
      const QRgb s =
          inside(src, sx, sy) ? src.pixel(static_cast<int>(sx), static_cast<int>(sy)) : 0;
      if (inside(src, sx, sy) && colour_value(s) != key) {
        out = s | 0xFF000000u;
      } else if (inside(work, x, y)) {
        out = work.pixel(static_cast<int>(x), static_cast<int>(y));
      } else {
        out = dest.pixel(static_cast<int>(x), static_cast<int>(y));
      }
      back.setPixel(static_cast<int>(u - u0), static_cast<int>(v - v0), out);
    }
  }

  // setPixel takes a palette index on indexed images; draw on a 32-bit copy instead.
  if (dest.depth() < 16) {
    dest =
        dest.convertToFormat(dest.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  }
  for (long long v = v0; v < v1; ++v) {
    for (long long u = u0; u < u1; ++u) {
      dest.setPixel(static_cast<int>(dx + u), static_cast<int>(dy + v),
                    back.pixel(static_cast<int>(u - u0), static_cast<int>(v - v0)));
    }
  }
}

void paintit(SpriteSurfaces& targets, int picid, int px, int py, int pw, int ph) {
  QImage* target = nullptr;
  const QImage* sprite = nullptr;
  switch (picid) {
    case 11:
      target = targets.map;
      sprite = &unit_sprite();
      break;
    case 12:
      target = targets.map;
      sprite = &flag_sprite();
      break;
    case 21:
      target = targets.action_panel;
      sprite = &unit_sprite();
      break;
    case 22:
      target = targets.action_panel;
      sprite = &flag_sprite();
      break;
    case 61:
      target = targets.stats_panel;
      sprite = &unit_sprite();
      break;
    case 62:
      target = targets.stats_panel;
      sprite = &flag_sprite();
      break;
    default:
      return;
  }
  if (target == nullptr || pw <= 0 || ph <= 0) return;
  const ColorValue key = colour_value(sprite->pixel(1, 1));
  mask_blit(*target, *target, *sprite, 0, 0, pw - 1, ph - 1, px, py, key);
}

}  // namespace zorvane
