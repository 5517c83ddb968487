#include "display/sprites.h"

#include <gtest/gtest.h>

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

// The top-left w x h of the sprite put at (dx, dy) plainly, except its black (the key) and
// what lies outside dest.
QImage expected_copy(const QImage& dest, const QImage& sprite, int w, int h, int dx, int dy) {
  QImage out = dest.copy();
  for (int v = 0; v < h; ++v) {
    for (int u = 0; u < w; ++u) {
      if (out.rect().contains(dx + u, dy + v) && (sprite.pixel(u, v) & 0xFFFFFF) != 0) out.setPixel(dx + u, dy + v, sprite.pixel(u, v));
    }
  }
  return out;
}

// The tens digit of the picid picks the surface (1 map, 2 action panel, 6 statistics), the
// units digit the sprite (1 unit, 2 flag), black is transparent and the edges clip; pixel
// (0, 0) is the key, so a 1 x 1 copy draws nothing; any other picid draws nothing anywhere.
TEST(Paintit, EachPicidDrawsItsSpriteOnItsSurfaceOnlyWithBlackTransparent) {
  struct Case {
    int picid, px, py, pw, ph;
  };
  std::vector<Case> cases = {{11, 3, 2, 22, 21}, {12, 3, 2, 22, 21}, {21, 3, 2, 22, 21}, {62, 3, 2, 22, 21},
                             {11, 10, 10, 1, 1}, {12, -10, 80, 22, 21}};
  for (int picid : {13, 63, 0, 10, 111, -11, 611}) cases.push_back({picid, 3, 2, 22, 21});
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.picid << " at " << c.px << "," << c.py << " " << c.pw << "x" << c.ph);
    QImage map = patterned(120, 90), action = patterned(60, 50), stats = patterned(70, 40);
    const std::vector<QImage> before = {map, action, stats};
    SpriteSurfaces targets{&map, &action, &stats};
    paintit(targets, c.picid, c.px, c.py, c.pw, c.ph);
    const bool draws = c.picid == 11 || c.picid == 12 || c.picid == 21 || c.picid == 62;
    const int target = c.picid / 10 == 1 ? 0 : c.picid / 10 == 2 ? 1 : 2;
    const QImage& sprite = c.picid % 2 ? unit_sprite() : flag_sprite();
    const std::vector<QImage> after = {map, action, stats};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(after[i], draws && i == target ? expected_copy(before[i], sprite, c.pw, c.ph, c.px, c.py) : before[i]) << i;
    }
    if (draws && c.pw > 1) { EXPECT_NE(after[target], before[target]); }
  }
}

}  // namespace
}  // namespace zorvane
