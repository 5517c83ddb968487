#include "display/sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "display/splash.h"

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
QImage expected_copy(const QImage& dest, const QImage& src, int sx, int sy, int w, int h, int dx, int dy, ColorValue key) {
  QImage out = dest.copy();
  for (int v = 0; v < h; ++v) {
    for (int u = 0; u < w; ++u) {
      if (!out.rect().contains(dx + u, dy + v) || !src.rect().contains(sx + u, sy + v)) continue;
      if (value_of(src.pixel(sx + u, sy + v)) != key) out.setPixel(dx + u, dy + v, src.pixel(sx + u, sy + v));
    }
  }
  return out;
}

int count_pixels(const QImage& img, const std::function<bool(QRgb)>& is) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) n += is(img.pixel(x, y)) ? 1 : 0;
  }
  return n;
}

// Both 22 x 21 on black (the key at (0, 0) and (1, 1)), with enough drawn to be seen in their
// colours: a grey robot, and a red banner with a yellow emblem on a white pole.
TEST(Sprites, AreTwentyTwoByTwentyOneDrawingsOnBlack) {
  for (const QImage* sprite : {&unit_sprite(), &flag_sprite()}) {
    EXPECT_EQ(sprite->size(), QSize(22, 21));
    EXPECT_EQ(value_of(sprite->pixel(1, 1)) | value_of(sprite->pixel(0, 0)), 0u);
    EXPECT_LT(count_pixels(*sprite, [](QRgb p) { return value_of(p) != 0; }), 22 * 21 - 60);
  }
  EXPECT_GT(count_pixels(unit_sprite(), [](QRgb p) { return qRed(p) > 40 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p); }), 150);
  EXPECT_GT(count_pixels(flag_sprite(), [](QRgb p) { return qRed(p) > 120 && qGreen(p) < 40 && qBlue(p) < 40; }), 100);
  EXPECT_GT(count_pixels(flag_sprite(), [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 120 && qBlue(p) < 60; }), 20);
  EXPECT_GT(count_pixels(flag_sprite(), [](QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; }), 30);
}

struct Surfaces {
  QImage map = patterned(120, 90), action = patterned(60, 50), stats = patterned(70, 40);
  SpriteSurfaces targets{&map, &action, &stats};
};

// The top-left pw x ph of the sprite with black transparent, clipped at every edge, on the
// picid's surface and no other; any picid but 11, 12, 21, 22, 61, 62 draws nothing anywhere.
// Pixel (0, 0) of both sprites is the key, so a 1 x 1 copy draws nothing.
TEST(Paintit, EachPicidDrawsItsSpriteOnItsSurfaceOnlyClippedToIt) {
  struct Case {
    int picid, px, py, pw, ph;
  };
  std::vector<Case> cases = {{11, 3, 2, 22, 21}, {12, 3, 2, 22, 21}, {21, 3, 2, 22, 21}, {22, 3, 2, 22, 21},
                             {61, 3, 2, 22, 21}, {62, 3, 2, 22, 21}, {11, 10, 10, 1, 1}, {12, 30, 20, 9, 6},
                             {11, -10, -5, 22, 21}, {11, 110, 80, 22, 21}, {11, -21, 0, 22, 21}, {11, 0, -20, 22, 21},
                             {11, 100, -3, 40, 40}, {11, -500, -500, 22, 21}, {11, 5, 5, 300, 300}, {11, 4, 4, 0, 21},
                             {11, 4, 4, 22, -1}, {11, 4, 4, INT_MIN, INT_MIN}};
  for (int picid : {13, 23, 60, 63, 0, 1, 2, 10, 20, 31, 111, -11, -61, 611}) cases.push_back({picid, 3, 2, 22, 21});
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.picid << " at " << c.px << "," << c.py << " " << c.pw << "x" << c.ph);
    Surfaces s;
    const Surfaces untouched;
    paintit(s.targets, c.picid, c.px, c.py, c.pw, c.ph);
    const QImage Surfaces::*target = c.picid / 10 == 1 ? &Surfaces::map : c.picid / 10 == 2 ? &Surfaces::action : &Surfaces::stats;
    const bool draws = c.picid == 11 || c.picid == 12 || c.picid == 21 || c.picid == 22 || c.picid == 61 || c.picid == 62;
    const QImage& sprite = c.picid % 2 ? unit_sprite() : flag_sprite();
    for (QImage Surfaces::*surface : {&Surfaces::map, &Surfaces::action, &Surfaces::stats}) {
      EXPECT_EQ(s.*surface, draws && surface == target
                                ? expected_copy(untouched.*surface, sprite, 0, 0, c.pw, c.ph, c.px, c.py, 0)
                                : untouched.*surface);
    }
    if (draws && c.pw == 22 && c.px == 3) { EXPECT_NE(s.*target, untouched.*target); }
  }
  // A missing target draws nothing.
  QImage stats = patterned(40, 30);
  SpriteSurfaces only_stats{nullptr, nullptr, &stats};
  paintit(only_stats, 11, 0, 0, 22, 21);
  paintit(only_stats, 22, 0, 0, 22, 21);
  EXPECT_EQ(stats, patterned(40, 30));
}

// A sprite whose key is not black: only pixels of exactly the key colour are transparent, so
// the four others (red, black, and two one step from the key) are copied; under transparent
// pixels the background comes from work, not from dest.
TEST(MaskBlit, CopiesAllButExactlyTheKeyColourAndSkipsWhatLiesOutsideTheSource) {
  QImage sprite(6, 5, QImage::Format_RGB32);
  sprite.fill(qRgb(10, 20, 30));
  for (const auto& [x, y, colour] : {std::tuple{2, 2, qRgb(250, 0, 0)}, {3, 2, qRgb(10, 20, 31)}, {2, 3, qRgb(0, 0, 0)},
                                     {4, 1, qRgb(11, 20, 30)}}) {
    sprite.setPixel(x, y, colour);
  }
  const ColorValue key = rgb(10, 20, 30);
  const struct {
    int left, top, right, bottom, dx, dy;
  } cases[] = {{0, 0, 5, 4, 7, 8},     {2, 2, 2, 2, 4, 6}, {0, 0, 0, 0, 1, 1}, {-3, -2, 10, 9, 5, 5},
               {5, 4, 0, 0, 0, 0},     {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0}, {0, 0, 5, 4, INT_MAX, INT_MAX},
               {0, 0, 5, 4, INT_MIN, INT_MIN}};
  for (const auto& c : cases) {
    QImage dest = patterned(30, 30);
    const QImage before = dest.copy();
    mask_blit(dest, dest, sprite, c.left, c.top, c.right, c.bottom, c.dx, c.dy, key);
    const long long w = c.right >= c.left ? std::min(40LL, 1LL + c.right - c.left) : 0;
    const long long h = c.bottom >= c.top ? std::min(40LL, 1LL + c.bottom - c.top) : 0;
    const bool huge = c.left == INT_MIN || c.dx == INT_MAX || c.dx == INT_MIN;
    EXPECT_EQ(dest, huge ? before : expected_copy(before, sprite, c.left, c.top, int(w), int(h), c.dx, c.dy, key))
        << c.left << "," << c.top << " to " << c.right << "," << c.bottom << " at " << c.dx << "," << c.dy;
  }
  QImage dest(10, 10, QImage::Format_RGB32);
  dest.fill(qRgb(1, 2, 3));
  const QImage work = patterned(10, 10);
  mask_blit(dest, work, sprite, 0, 0, 5, 4, 1, 1, key);
  EXPECT_EQ(std::tuple(dest.pixel(1, 1), dest.pixel(3, 3), dest.pixel(0, 0), dest.pixel(7, 6)),
            std::tuple(work.pixel(1, 1), qRgb(250, 0, 0), qRgb(1, 2, 3), qRgb(1, 2, 3)));
  // No source or no destination: nothing drawn.
  const QImage before = dest.copy();
  mask_blit(dest, dest, QImage(), 0, 0, 5, 4, 0, 0, 0);
  EXPECT_EQ(dest, before);
  QImage none;
  mask_blit(none, none, sprite, 0, 0, 5, 4, 0, 0, 0);
  EXPECT_TRUE(none.isNull());
}

// 311 by 123 and the same on every call: a textured grey stone, not a flat fill (many
// shades, mostly grey), whose carved name darkens a good part of the middle band and none of
// the rim.
TEST(Splash, IsTheSameGreyStoneWithDarkLetteringInTheMiddleOnEveryCall) {
  const QImage img = make_splash_image();
  EXPECT_EQ(img.size(), QSize(311, 123));
  EXPECT_EQ(img, make_splash_image());
  std::set<QRgb> shades;
  int greyish = 0, dark_middle = 0, dark_rim = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = img.pixel(x, y);
      shades.insert(p);
      const auto [low, high] = std::minmax({qRed(p), qGreen(p), qBlue(p)});
      greyish += high - low <= 16 ? 1 : 0;
      const bool dark = (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000 < 70;
      dark_middle += dark && y >= 30 && y < 93 && x >= 20 && x < 291 ? 1 : 0;
      dark_rim += dark && y >= 6 && y < 14 && x >= 6 && x < 305 ? 1 : 0;
    }
  }
  EXPECT_GT(shades.size(), 500u);
  EXPECT_GT(greyish, img.width() * img.height() * 9 / 10);
  EXPECT_GT(dark_middle, 1800);
  EXPECT_LT(dark_rim, 40);
}

}  // namespace
}  // namespace zorvane
