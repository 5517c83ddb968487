#include "display/sprites.h"

#include <gtest/gtest.h>

#include <climits>
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

// What a colour-keyed copy of the top-left pw x ph of sprite at (px, py) must give.
QImage expected_copy(const QImage& background, const QImage& sprite, int px, int py, int pw, int ph,
                     ColorValue key) {
  QImage out = background.copy();
  for (int v = 0; v < ph; ++v) {
    for (int u = 0; u < pw; ++u) {
      const int x = px + u;
      const int y = py + v;
      if (x < 0 || y < 0 || x >= out.width() || y >= out.height()) continue;
      if (u >= sprite.width() || v >= sprite.height()) continue;
      const QRgb s = sprite.pixel(u, v);
      if (value_of(s) != key) out.setPixel(x, y, s);
    }
  }
  return out;
}

int count_differences(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  }
  return n;
}

struct Surfaces {
  QImage map = patterned(120, 90);
  QImage action = patterned(60, 50);
  QImage stats = patterned(70, 40);
  SpriteSurfaces targets{&map, &action, &stats};
};

TEST(Sprites, BothAreTwentyTwoByTwentyOneWithBlackKeyPixel) {
  for (const QImage* sprite : {&unit_sprite(), &flag_sprite()}) {
    EXPECT_EQ(sprite->width(), 22);
    EXPECT_EQ(sprite->height(), 21);
    EXPECT_EQ(value_of(sprite->pixel(1, 1)), rgb(0, 0, 0));
    EXPECT_EQ(value_of(sprite->pixel(0, 0)), rgb(0, 0, 0));
  }
}

// Enough of each sprite is drawn to be seen, and the two differ.
TEST(Sprites, HaveVisibleDrawings) {
  for (const QImage* sprite : {&unit_sprite(), &flag_sprite()}) {
    int drawn = 0;
    for (int y = 0; y < 21; ++y) {
      for (int x = 0; x < 22; ++x) drawn += value_of(sprite->pixel(x, y)) != 0 ? 1 : 0;
    }
    EXPECT_GT(drawn, 120);
    EXPECT_LT(drawn, 22 * 21 - 60);  // black surroundings remain
  }
  EXPECT_NE(unit_sprite(), flag_sprite());
}

TEST(Sprites, UnitIsGreyAndFlagIsRedWithYellow) {
  auto count = [](const QImage& img, auto pred) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
      for (int x = 0; x < img.width(); ++x) n += pred(img.pixel(x, y)) ? 1 : 0;
    }
    return n;
  };
  auto grey = [](QRgb p) { return qRed(p) > 40 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p); };
  auto red = [](QRgb p) { return qRed(p) > 120 && qGreen(p) < 40 && qBlue(p) < 40; };
  auto yellow = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 120 && qBlue(p) < 60; };
  auto white = [](QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; };
  EXPECT_GT(count(unit_sprite(), grey), 150);
  EXPECT_GT(count(flag_sprite(), red), 100);
  EXPECT_GT(count(flag_sprite(), yellow), 20);
  EXPECT_GT(count(flag_sprite(), white), 30);
}

TEST(Paintit, WholeUnitSpriteOnStatsPanelLeavesBlackTransparent) {
  Surfaces s;
  const QImage before = s.stats.copy();
  paintit(s.targets, 61, 5, 4, 22, 21);
  EXPECT_EQ(s.stats, expected_copy(before, unit_sprite(), 5, 4, 22, 21, 0));
  // Both sprite pixels and background pixels show inside the sprite's square.
  int from_sprite = 0;
  int from_background = 0;
  for (int v = 0; v < 21; ++v) {
    for (int u = 0; u < 22; ++u) {
      const QRgb got = s.stats.pixel(5 + u, 4 + v);
      if (value_of(unit_sprite().pixel(u, v)) == 0) {
        from_background += got == before.pixel(5 + u, 4 + v) ? 1 : 0;
      } else {
        from_sprite += got == unit_sprite().pixel(u, v) ? 1 : 0;
      }
    }
  }
  EXPECT_GT(from_sprite, 100);
  EXPECT_GT(from_background, 60);
}

TEST(Paintit, EachPicidDrawsItsSpriteOnItsSurfaceOnly) {
  struct Case {
    int picid;
    QImage Surfaces::*target;
    const QImage& (*sprite)();
  };
  const std::vector<Case> cases = {
      {11, &Surfaces::map, unit_sprite},    {12, &Surfaces::map, flag_sprite},
      {21, &Surfaces::action, unit_sprite}, {22, &Surfaces::action, flag_sprite},
      {61, &Surfaces::stats, unit_sprite},  {62, &Surfaces::stats, flag_sprite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picid);
    Surfaces s;
    const Surfaces untouched;
    paintit(s.targets, c.picid, 3, 2, 22, 21);
    for (QImage Surfaces::*surface : {&Surfaces::map, &Surfaces::action, &Surfaces::stats}) {
      if (surface == c.target) {
        EXPECT_EQ(s.*surface, expected_copy(untouched.*surface, c.sprite(), 3, 2, 22, 21, 0));
        EXPECT_NE(s.*surface, untouched.*surface);
      } else {
        EXPECT_EQ(s.*surface, untouched.*surface);
      }
    }
  }
}

TEST(Paintit, OtherPicidsDrawNothing) {
  for (int picid : {13, 23, 60, 63, 0, 1, 2, 10, 20, 31, 111, -11, -61, 611}) {
    SCOPED_TRACE(picid);
    Surfaces s;
    const Surfaces untouched;
    paintit(s.targets, picid, 0, 0, 22, 21);
    EXPECT_EQ(s.map, untouched.map);
    EXPECT_EQ(s.action, untouched.action);
    EXPECT_EQ(s.stats, untouched.stats);
  }
}

// Pixel (0, 0) of both sprites is black, the key: a 1 x 1 copy leaves the target alone.
TEST(Paintit, OnePixelOfKeyColourDrawsNothing) {
  for (int picid : {11, 12}) {
    Surfaces s;
    const Surfaces untouched;
    paintit(s.targets, picid, 10, 10, 1, 1);
    EXPECT_EQ(s.map, untouched.map);
  }
}

// A partial copy takes the top-left pw x ph of the sprite.
TEST(Paintit, PartialSizeCopiesTopLeftPart) {
  Surfaces s;
  const QImage before = s.map.copy();
  paintit(s.targets, 12, 30, 20, 9, 6);
  EXPECT_EQ(s.map, expected_copy(before, flag_sprite(), 30, 20, 9, 6, 0));
  EXPECT_NE(s.map, before);
}

TEST(Paintit, ClipsAtEveryEdgeOfTheTarget) {
  struct Case {
    int px, py, pw, ph;
  };
  for (const Case& c : {Case{-10, -5, 22, 21}, Case{110, 80, 22, 21}, Case{-21, 0, 22, 21},
                        Case{0, -20, 22, 21}, Case{100, -3, 40, 40}, Case{-500, -500, 22, 21},
                        Case{500, 500, 22, 21}, Case{5, 5, 300, 300}}) {
    SCOPED_TRACE(std::to_string(c.px) + "," + std::to_string(c.py) + " " + std::to_string(c.pw) +
                 "x" + std::to_string(c.ph));
    Surfaces s;
    const QImage before = s.map.copy();
    paintit(s.targets, 11, c.px, c.py, c.pw, c.ph);
    EXPECT_EQ(s.map, expected_copy(before, unit_sprite(), c.px, c.py, c.pw, c.ph, 0));
  }
}

TEST(Paintit, ZeroOrNegativeSizeDrawsNothing) {
  for (const auto& [pw, ph] :
       std::vector<std::pair<int, int>>{{0, 21}, {22, 0}, {-5, 21}, {22, -1}, {INT_MIN, INT_MIN}}) {
    Surfaces s;
    const QImage before = s.map.copy();
    paintit(s.targets, 11, 4, 4, pw, ph);
    EXPECT_EQ(s.map, before);
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

// A sprite whose key is not black: pixels of exactly the key colour inside the drawing
// are transparent, a colour one step away is not.
QImage keyed_sprite() {
  QImage img(6, 5, QImage::Format_RGB32);
  img.fill(qRgb(10, 20, 30));  // key
  img.setPixel(2, 2, qRgb(250, 0, 0));
  img.setPixel(3, 2, qRgb(10, 20, 31));
  img.setPixel(2, 3, qRgb(0, 0, 0));  // black is an ordinary colour here
  img.setPixel(4, 1, qRgb(11, 20, 30));
  return img;
}

TEST(MaskBlit, OnlyExactKeyColourIsTransparent) {
  const QImage sprite = keyed_sprite();
  QImage dest = patterned(20, 20);
  const QImage before = dest.copy();
  mask_blit(dest, dest, sprite, 0, 0, 5, 4, 7, 8, rgb(10, 20, 30));
  EXPECT_EQ(dest, expected_copy(before, sprite, 7, 8, 6, 5, rgb(10, 20, 30)));
  EXPECT_EQ(count_differences(dest, before), 4);
  EXPECT_EQ(dest.pixel(7 + 3, 8 + 2), qRgb(10, 20, 31));
  EXPECT_EQ(dest.pixel(7 + 2, 8 + 3), qRgb(0, 0, 0));
  EXPECT_EQ(dest.pixel(7 + 1, 8 + 1), before.pixel(8, 9));
}

TEST(MaskBlit, SinglePixelAreaCopiesThatPixel) {
  const QImage sprite = keyed_sprite();
  QImage dest = patterned(10, 10);
  const QImage before = dest.copy();
  mask_blit(dest, dest, sprite, 2, 2, 2, 2, 4, 6, rgb(10, 20, 30));
  EXPECT_EQ(dest.pixel(4, 6), qRgb(250, 0, 0));
  EXPECT_EQ(count_differences(dest, before), 1);
  mask_blit(dest, dest, sprite, 0, 0, 0, 0, 1, 1, rgb(10, 20, 30));  // a key pixel
  EXPECT_EQ(count_differences(dest, before), 1);
}

// The background under transparent pixels comes from work, not from dest.
TEST(MaskBlit, TransparentPixelsShowWork) {
  const QImage sprite = keyed_sprite();
  QImage dest(10, 10, QImage::Format_RGB32);
  dest.fill(qRgb(1, 2, 3));
  const QImage work = patterned(10, 10);
  mask_blit(dest, work, sprite, 0, 0, 5, 4, 1, 1, rgb(10, 20, 30));
  EXPECT_EQ(dest.pixel(1, 1), work.pixel(1, 1));
  EXPECT_EQ(dest.pixel(3, 3), qRgb(250, 0, 0));
  EXPECT_EQ(dest.pixel(0, 0), qRgb(1, 2, 3));  // outside the area: untouched
  EXPECT_EQ(dest.pixel(7, 6), qRgb(1, 2, 3));
}

// An area reaching beyond the sprite copies only what exists; the rest stays background.
TEST(MaskBlit, AreaBeyondTheSourceIsSkipped) {
  const QImage sprite = keyed_sprite();
  QImage dest = patterned(30, 30);
  const QImage before = dest.copy();
  mask_blit(dest, dest, sprite, -3, -2, 10, 9, 5, 5, rgb(10, 20, 30));
  EXPECT_EQ(dest.pixel(5 + 3 + 2, 5 + 2 + 2), qRgb(250, 0, 0));
  EXPECT_EQ(count_differences(dest, before), 4);
}

TEST(MaskBlit, ExtremeArgumentsDoNotCrash) {
  const QImage sprite = keyed_sprite();
  QImage dest = patterned(16, 16);
  const QImage before = dest.copy();
  mask_blit(dest, dest, sprite, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0);
  mask_blit(dest, dest, sprite, 0, 0, 5, 4, INT_MAX, INT_MAX, 0);
  mask_blit(dest, dest, sprite, 0, 0, 5, 4, INT_MIN, INT_MIN, 0);
  mask_blit(dest, dest, sprite, 5, 4, 0, 0, 0, 0, 0);
  mask_blit(dest, dest, QImage(), 0, 0, 5, 4, 0, 0, 0);
  EXPECT_EQ(dest, before);
  QImage none;
  mask_blit(none, none, sprite, 0, 0, 5, 4, 0, 0, 0);
  EXPECT_TRUE(none.isNull());
}

}  // namespace
}  // namespace zorvane
