#include "display/sprites.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace zorvane {
namespace {

// A background where every pixel differs, so any stray or missing write shows.
QImage patterned(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7) % 256, (y * 11) % 256, 200));
  }
  return img;
}

ColorValue value_of(QRgb p) { return rgb(qRed(p), qGreen(p), qBlue(p)); }

// The colour-keyed copy done plainly: the w x h pixels of src from (sx, sy) put at (dx, dy),
// except those of the key colour and those outside src or dest.
QImage expected_copy(const QImage& dest, const QImage& src, int sx, int sy, int w, int h, int dx,
                     int dy, ColorValue key) {
  QImage out = dest.copy();
  for (int v = 0; v < h; ++v) {
    for (int u = 0; u < w; ++u) {
      if (!out.rect().contains(dx + u, dy + v) || !src.rect().contains(sx + u, sy + v)) continue;
      const QRgb s = src.pixel(sx + u, sy + v);
      if (value_of(s) != key) out.setPixel(dx + u, dy + v, s);
    }
  }
  return out;
}

// How many positions (x, y) of an image of this size `is` holds for.
int count_where(QSize size, const std::function<bool(int, int)>& is) {
  int n = 0;
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) n += is(x, y) ? 1 : 0;
  }
  return n;
}

int count_pixels(const QImage& img, const std::function<bool(QRgb)>& is) {
  return count_where(img.size(), [&](int x, int y) { return is(img.pixel(x, y)); });
}

struct Surfaces {
  QImage map = patterned(120, 90);
  QImage action = patterned(60, 50);
  QImage stats = patterned(70, 40);
  SpriteSurfaces targets{&map, &action, &stats};
};

// Both 22 x 21 on black (the key at (1, 1)), with enough drawn to be seen and their colours:
// a grey robot, and a red banner with a yellow emblem on a white pole.
TEST(Sprites, AreTwentyTwoByTwentyOneDrawingsOnBlack) {
  const auto grey = [](QRgb p) {
    return qRed(p) > 40 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
  };
  const auto red = [](QRgb p) { return qRed(p) > 120 && qGreen(p) < 40 && qBlue(p) < 40; };
  const auto yellow = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 120 && qBlue(p) < 60; };
  const auto white = [](QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; };
  for (const QImage* sprite : {&unit_sprite(), &flag_sprite()}) {
    EXPECT_EQ(sprite->size(), QSize(22, 21));
    EXPECT_EQ(value_of(sprite->pixel(1, 1)), rgb(0, 0, 0));
    EXPECT_EQ(value_of(sprite->pixel(0, 0)), rgb(0, 0, 0));
    // Black surroundings remain (the colour counts below show enough is drawn).
    EXPECT_LT(count_pixels(*sprite, [](QRgb p) { return value_of(p) != 0; }), 22 * 21 - 60);
  }
  EXPECT_GT(count_pixels(unit_sprite(), grey), 150);
  EXPECT_GT(count_pixels(flag_sprite(), red), 100);
  EXPECT_GT(count_pixels(flag_sprite(), yellow), 20);
  EXPECT_GT(count_pixels(flag_sprite(), white), 30);
}

// The whole 22 x 21 sprite with black transparent, on the picid's surface and no other; any
// picid but 11, 12, 21, 22, 61, 62 draws nothing anywhere.
TEST(Paintit, EachPicidDrawsItsSpriteOnItsSurfaceOnly) {
  struct Case {
    int picid;
    QImage Surfaces::*target;  // null: nothing drawn
    const QImage& (*sprite)();
  };
  std::vector<Case> cases = {
      {11, &Surfaces::map, unit_sprite},    {12, &Surfaces::map, flag_sprite},
      {21, &Surfaces::action, unit_sprite}, {22, &Surfaces::action, flag_sprite},
      {61, &Surfaces::stats, unit_sprite},  {62, &Surfaces::stats, flag_sprite},
  };
  for (int picid : {13, 23, 60, 63, 0, 1, 2, 10, 20, 31, 111, -11, -61, 611}) {
    cases.push_back({picid, nullptr, nullptr});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picid);
    Surfaces s;
    const Surfaces untouched;
    paintit(s.targets, c.picid, 3, 2, 22, 21);
    for (QImage Surfaces::*surface : {&Surfaces::map, &Surfaces::action, &Surfaces::stats}) {
      if (surface == c.target) {
        EXPECT_EQ(s.*surface, expected_copy(untouched.*surface, c.sprite(), 0, 0, 22, 21, 3, 2, 0));
        EXPECT_NE(s.*surface, untouched.*surface);
      } else {
        EXPECT_EQ(s.*surface, untouched.*surface);
      }
    }
  }
}

// The top-left pw x ph of the sprite, clipped at every edge of the target; pixel (0, 0) of
// both sprites is the key, so a 1 x 1 copy draws nothing.
TEST(Paintit, CopiesTheTopLeftPartClippedToTheTarget) {
  struct Case {
    int picid, px, py, pw, ph;
  };
  for (const Case& c :
       {Case{11, 10, 10, 1, 1}, Case{12, 10, 10, 1, 1}, Case{12, 30, 20, 9, 6},
        Case{11, -10, -5, 22, 21}, Case{11, 110, 80, 22, 21}, Case{11, -21, 0, 22, 21},
        Case{11, 0, -20, 22, 21}, Case{11, 100, -3, 40, 40}, Case{11, -500, -500, 22, 21},
        Case{11, 500, 500, 22, 21}, Case{11, 5, 5, 300, 300}, Case{11, 4, 4, 0, 21},
        Case{11, 4, 4, 22, 0}, Case{11, 4, 4, -5, 21}, Case{11, 4, 4, 22, -1},
        Case{11, 4, 4, INT_MIN, INT_MIN}}) {
    SCOPED_TRACE(std::to_string(c.picid) + " at " + std::to_string(c.px) + "," +
                 std::to_string(c.py) + " " + std::to_string(c.pw) + "x" + std::to_string(c.ph));
    Surfaces s;
    const QImage before = s.map.copy();
    paintit(s.targets, c.picid, c.px, c.py, c.pw, c.ph);
    const QImage& sprite = c.picid == 11 ? unit_sprite() : flag_sprite();
    EXPECT_EQ(s.map, expected_copy(before, sprite, 0, 0, c.pw, c.ph, c.px, c.py, 0));
  }
}

TEST(Paintit, MissingTargetDrawsNothing) {
  QImage stats = patterned(40, 30);
  const QImage before = stats.copy();
  SpriteSurfaces only_stats{nullptr, nullptr, &stats};
  paintit(only_stats, 11, 0, 0, 22, 21);
  paintit(only_stats, 22, 0, 0, 22, 21);
  EXPECT_EQ(stats, before);
  paintit(only_stats, 62, 0, 0, 22, 21);
  EXPECT_NE(stats, before);
}

// A sprite whose key is not black: only pixels of exactly the key colour are transparent, so
// the four others (red, black, and two one step from the key) are copied.
QImage keyed_sprite() {
  QImage img(6, 5, QImage::Format_RGB32);
  img.fill(qRgb(10, 20, 30));
  img.setPixel(2, 2, qRgb(250, 0, 0));
  img.setPixel(3, 2, qRgb(10, 20, 31));
  img.setPixel(2, 3, qRgb(0, 0, 0));
  img.setPixel(4, 1, qRgb(11, 20, 30));
  return img;
}

TEST(MaskBlit, CopiesAllButExactlyTheKeyColourAndSkipsWhatLiesOutsideTheSource) {
  struct Case {
    const char* name;
    int left, top, right, bottom, dx, dy;
    int changed;
  };
  const QImage sprite = keyed_sprite();
  for (const Case& c :
       {Case{"whole sprite", 0, 0, 5, 4, 7, 8, 4}, Case{"one pixel", 2, 2, 2, 2, 4, 6, 1},
        Case{"one key pixel", 0, 0, 0, 0, 1, 1, 0},
        Case{"area beyond the source", -3, -2, 10, 9, 5, 5, 4},
        Case{"reversed area", 5, 4, 0, 0, 0, 0, 0}}) {
    SCOPED_TRACE(c.name);
    QImage dest = patterned(30, 30);
    const QImage before = dest.copy();
    mask_blit(dest, dest, sprite, c.left, c.top, c.right, c.bottom, c.dx, c.dy, rgb(10, 20, 30));
    EXPECT_EQ(dest, expected_copy(before, sprite, c.left, c.top, c.right - c.left + 1,
                                  c.bottom - c.top + 1, c.dx, c.dy, rgb(10, 20, 30)));
    EXPECT_EQ(count_where(dest.size(),
                          [&](int x, int y) { return dest.pixel(x, y) != before.pixel(x, y); }),
              c.changed);
  }
}

// The background under transparent pixels comes from work, not from dest.
TEST(MaskBlit, TransparentPixelsShowWork) {
  QImage dest(10, 10, QImage::Format_RGB32);
  dest.fill(qRgb(1, 2, 3));
  const QImage work = patterned(10, 10);
  mask_blit(dest, work, keyed_sprite(), 0, 0, 5, 4, 1, 1, rgb(10, 20, 30));
  EXPECT_EQ(dest.pixel(1, 1), work.pixel(1, 1));
  EXPECT_EQ(dest.pixel(3, 3), qRgb(250, 0, 0));
  EXPECT_EQ(dest.pixel(0, 0), qRgb(1, 2, 3));  // outside the area: untouched
  EXPECT_EQ(dest.pixel(7, 6), qRgb(1, 2, 3));
}

TEST(MaskBlit, ExtremeArgumentsDoNotCrash) {
  const QImage sprite = keyed_sprite();
  QImage dest = patterned(16, 16);
  const QImage before = dest.copy();
  mask_blit(dest, dest, sprite, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0);
  mask_blit(dest, dest, sprite, 0, 0, 5, 4, INT_MAX, INT_MAX, 0);
  mask_blit(dest, dest, sprite, 0, 0, 5, 4, INT_MIN, INT_MIN, 0);
  mask_blit(dest, dest, QImage(), 0, 0, 5, 4, 0, 0, 0);
  EXPECT_EQ(dest, before);
  QImage none;
  mask_blit(none, none, sprite, 0, 0, 5, 4, 0, 0, 0);
  EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace zorvane
