// The map's cells and texts, the sprites, the snapshot bitmap, and the fast background
// stretch, which must give exactly the pixels of the plain step-by-step one.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "campaign/map_file.h"
#include "common/text.h"
#include "display/map_painter.h"
#include "display/snapshot.h"
#include "display/sprites.h"
#include "display/stretch.h"
#include "stretch_reference.h"
#include "test_files.h"

namespace zorvane {
namespace {

constexpr ColorValue kBackground = rgb(40, 80, 120);  // a colour no drawing uses
const ColorValue kBlack = palette_color(0);
const ColorValue kYellow = palette_color(14);
constexpr QRgb kSentinel = 0xFF123456u;  // what a stretch leaves alone

QImage surface(int width = 200, int height = 150, const QColor& fill = to_qcolor(kBackground)) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

// The image after draw has painted on it.
QImage painted(QImage image, const std::function<void(QPainter&)>& draw) {
  QPainter painter(&image);
  draw(painter);
  painter.end();
  return image;
}

ColorValue pixel(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return rgb(qRed(p), qGreen(p), qBlue(p));
}

// The smallest rectangle holding every pixel of the colour inside the area; empty when none.
QRect pixels_of(const QImage& image, ColorValue colour, const QRect& area) {
  QRect found;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (pixel(image, x, y) == colour) found |= QRect(x, y, 1, 1);
    }
  }
  return found;
}

// Boxes filled from (x1, y1) to (x2, y2), both corners included, each in its colour.
QImage with_boxes(const QImage& image, const std::vector<std::tuple<int, int, int, int, ColorValue>>& boxes) {
  return painted(image, [&](QPainter& p) {
    for (const auto& [x1, y1, x2, y2, colour] : boxes) p.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), to_qcolor(colour));
  });
}

// got is expected pixel for pixel, except for texts, each a colour and an area: pixels of a
// text's colour inside its area, of which there must be some.
void expect_drawn(const QImage& got, const QImage& expected, const std::vector<std::pair<ColorValue, QRect>>& texts = {}) {
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      const ColorValue c = pixel(got, x, y);
      const bool text = std::ranges::any_of(texts, [&](const auto& t) { return c == t.first && t.second.contains(x, y); });
      ASSERT_TRUE(c == pixel(expected, x, y) || text) << "at " << x << "," << y;
    }
  }
  for (const auto& [colour, area] : texts) EXPECT_FALSE(pixels_of(got, colour, area).isEmpty());
}

// Map text is Qt's text with its top-left corner at the point, without antialiasing: every
// pixel is the text colour or untouched. A repeated text is stamped from a rendered copy and
// must look the same; a long one is laid out only as far as the surface reaches, and the
// stamp cache must not hold an image as wide as the text.
TEST(MapText, StampedTextLooksExactlyLikeTextDrawnDirectly) {
  std::string long_text;
  for (int i = 0; i < 100000; ++i) long_text += "AVWa.iT7 "[i % 9];
  for (const bool bold : {false, true}) {
    for (const std::string& text : {std::string(" 27"), std::string("A"), long_text}) {
      SCOPED_TRACE(text.substr(0, 8) + (bold ? " bold" : " regular"));
      const QImage direct = painted(surface(140, 24), [&](QPainter& p) {
        p.setFont(map_font(bold));
        p.setPen(to_qcolor(kYellow));
        p.drawText(QPoint(5, 4 + QFontMetrics(map_font(bold)).ascent()), QString::fromStdString(text));
      });
      for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(painted(surface(140, 24), [&](QPainter& p) { draw_map_text(p, 5, 4, text, bold, kYellow); }), direct);
      }
      expect_drawn(direct, surface(140, 24), {{kYellow, direct.rect()}});
    }
  }
  EXPECT_LT(map_stamp_cache_bytes(), 4u << 20);
}

// Every pixel of a cell's parts: the boxes cover exactly their corners, the texts stay near
// their points, and the frame is a one-pixel outline that the cell's colour removes again.
TEST(CellParts, BoxesCoverExactlyTheirCornersAndTextsLieAtTheirPoints) {
  const CellBox box{10, 20, 30, 25};
  const QImage tile = painted(surface(), [&](QPainter& p) { draw_cell_tile(p, box, 7, kLightGreenTerrain); });
  // The shadow, the box over it, and the number in black at the box's top-left corner.
  expect_drawn(tile, with_boxes(surface(), {{13, 23, 43, 48, kBlack}, {10, 20, 40, 45, kLightGreenTerrain}}),
               {{kBlack, QRect(10, 20, 30, 15)}});
  // Badges: a black box under the team's box, the text in black at +7 and then in its
  // colour one pixel right of and below it.
  for (const auto& [count, x, team] : {std::tuple{false, 17, 2}, {true, 26, 4}}) {
    const QImage got = painted(tile, [&, count = count, team = team](QPainter& p) {
      if (count) draw_count_badge(p, box, " 5", team, 14);
      else draw_owner_badge(p, box, "B", team, 14);
    });
    expect_drawn(got, with_boxes(tile, {{x + 2, 29, x + 12, 39, kBlack}, {x, 27, x + 10, 37, palette_color(team)}}),
                 {{kBlack, QRect(x, 27, 14, 14)}, {kYellow, QRect(x + 1, 28, 14, 14)}});
    const QRect team_box(x, 27, 11, 11);
    EXPECT_EQ(pixels_of(got, kYellow, team_box).topLeft() - pixels_of(got, kBlack, team_box).topLeft(), QPoint(1, 1));
  }
  const auto outline = [&](ColorValue c) {
    return with_boxes(tile, {{10, 20, 40, 20, c}, {10, 45, 40, 45, c}, {10, 20, 10, 45, c}, {40, 20, 40, 45, c}});
  };
  const QImage framed = painted(tile, [&](QPainter& p) { draw_cell_frame(p, box, kYellow); });
  expect_drawn(framed, outline(kYellow));
  expect_drawn(painted(framed, [&](QPainter& p) { draw_cell_frame(p, box, kLightGreenTerrain); }), outline(kLightGreenTerrain));
}

// An image where every pixel differs, so any stray, missing, mirrored or shifted write shows.
QImage patterned(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x % 256, y % 256, x / 256 * 16 + y / 256));
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
  // picid, then where the sprite's top-left w x h goes
  std::vector<std::tuple<int, int, int, int, int>> cases = {{11, 3, 2, 22, 21}, {12, 3, 2, 22, 21}, {21, 3, 2, 22, 21},
                                                           {62, 3, 2, 22, 21}, {11, 10, 10, 1, 1}, {12, -10, 80, 22, 21}};
  for (int picid : {13, 63, 0, 10, 111, -11, 611}) cases.emplace_back(picid, 3, 2, 22, 21);
  for (const auto& [picid, px, py, pw, ph] : cases) {
    SCOPED_TRACE(::testing::Message() << picid << " at " << px << "," << py << " " << pw << "x" << ph);
    QImage map = patterned(120, 90), action = patterned(60, 50), stats = patterned(70, 40);
    const std::vector<QImage> before = {map, action, stats};
    SpriteSurfaces targets{&map, &action, &stats};
    paintit(targets, picid, px, py, pw, ph);
    const bool draws = picid == 11 || picid == 12 || picid == 21 || picid == 62;
    const int target = picid / 10 == 1 ? 0 : picid / 10 == 2 ? 1 : 2;
    const QImage& sprite = picid % 2 ? unit_sprite() : flag_sprite();
    const std::vector<QImage> after = {map, action, stats};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(after[i], draws && i == target ? expected_copy(before[i], sprite, pw, ph, px, py) : before[i]) << i;
    }
    if (draws && pw > 1) { EXPECT_NE(after[target], before[target]); }
  }
}

// The icon theme's 256-pixel icon is the window's 48-pixel one in blocks of 10 instead of 2,
// centred: every block holds the colour of its pixel there, nothing lies outside them.
TEST(Icon, LargeIconIsTheWindowIconInLargerBlocks) {
  const QImage small = window_icon_image();
  const QImage large = window_icon_image(256);
  ASSERT_EQ(std::pair(small.size(), large.size()), std::pair(QSize(48, 48), QSize(256, 256)));
  const auto opaque = [](const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) != 0;
    }
    return count;
  };
  EXPECT_EQ(opaque(large), 25 * opaque(small));
  for (int y = 0; y < kSpriteHeight; ++y) {
    for (int x = 0; x < kSpriteWidth; ++x) {
      const QRgb want = small.pixel(2 + 2 * x, 3 + 2 * y);
      EXPECT_EQ(std::pair(large.pixel(18 + 10 * x, 23 + 10 * y), large.pixel(27 + 10 * x, 32 + 10 * y)),
                std::pair(want, want))
          << x << "," << y;
    }
  }
}

// The full-screen one first: the smaller one replacing it must not keep its tail, nor leave a
// temporary file beside it.
TEST(Snapshot, EachSnapshotReplacesTheFileWithTheWholeSurfaceAsABitmap) {
  testing::TempDir dir;
  const std::string path = dir.file("ZIDizizi.bmp");
  for (const QSize size : {QSize(1920, 1080), QSize(37, 23)}) {
    const QImage image = patterned(size.width(), size.height());
    ASSERT_EQ(save_snapshot(image, path), "");
    const std::string bytes = testing::read_bytes(path);
    ASSERT_GE(bytes.size(), 54u);
    std::uint32_t file_size = 0;  // the little-endian size field after "BM"
    for (std::size_t i = 6; i-- > 2;) file_size = (file_size << 8) | static_cast<unsigned char>(bytes[i]);
    EXPECT_EQ(std::pair(bytes.substr(0, 2), std::size_t{file_size}), std::pair(std::string("BM"), bytes.size()));
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), image);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

QImage noise_image(int w, int h, std::mt19937& rng) {
  QImage img(w, h, QImage::Format_RGB32);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(byte(rng), byte(rng), byte(rng)));
  }
  return img;
}

// Every code path this processor can run, each checked on its own.
std::vector<std::pair<StretchPath, const char*>> paths_to_check() {
  std::vector<std::pair<StretchPath, const char*>> paths;
  for (const auto& p : {std::pair{StretchPath::best, "best"}, std::pair{StretchPath::portable, "portable"},
                        std::pair{StretchPath::sse2, "sse2"}, std::pair{StretchPath::avx2, "avx2"}}) {
    if (stretch_path_available(p.first)) paths.push_back(p);
  }
  return paths;
}

using zorvane::testing::reference_stretch;

struct StretchArgs {
  int sx, sy, sw, sh, dw, dh, tx, ty;
  unsigned char clip;
};

// Runs the reference and every fast path on copies of dest: the same pixels, and the same
// progress reported row by row.
void expect_same_as_reference(const QImage& src, const QImage& dest, const StretchArgs& a) {
  SCOPED_TRACE(::testing::Message() << "src " << src.width() << "x" << src.height() << " dest " << dest.width() << "x"
                                    << dest.height() << " area " << a.sx << "," << a.sy << " " << a.sw << "x" << a.sh
                                    << " onto " << a.dw << "x" << a.dh << " at " << a.tx << "," << a.ty << " clip " << int{a.clip});
  QImage plain = dest.copy();
  std::vector<int> plain_rows;
  reference_stretch(src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, plain, a.clip, [&](int y) { plain_rows.push_back(y); });
  for (const auto& [path, name] : paths_to_check()) {
    QImage fast = dest.copy();
    std::vector<int> fast_rows;
    smooth_stretch_using(path, src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, fast, a.clip, [&](int y) { fast_rows.push_back(y); });
    EXPECT_TRUE(fast == plain) << name;
    EXPECT_EQ(fast_rows, plain_rows) << name;
  }
}

// Random areas, targets, offsets and clip modes on sources of every format, and the full
// map surface.
TEST(SmoothStretch, MatchesReferenceOnRandomCasesAndTheFullMapSurface) {
  // Without SSE2 reported on an SSE2 build, the vector path would silently go unchecked.
  ASSERT_TRUE(stretch_path_available(StretchPath::portable) && stretch_path_available(StretchPath::best));
#if defined(__SSE2__)
  ASSERT_TRUE(stretch_path_available(StretchPath::sse2));
#endif
  std::mt19937 rng(20240611);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                    QImage::Format_RGB888, QImage::Format_RGB16};
  for (int round = 0; round < 400 && !HasFailure(); ++round) {
    // Declarations and braced lists take values in order: the same cases on every compiler.
    const QSize source{pick(1, 24), pick(1, 24)};
    const QSize dest{pick(1, 90), pick(1, 90)};
    const int sx = pick(-2, source.width() - 1), sy = pick(-2, source.height() - 1);
    const int sw = pick(1, source.width() - sx + 2), sh = pick(1, source.height() - sy + 2);
    const int dw = pick(-4, 90), dh = pick(-4, 90), tx = pick(-20, 20), ty = pick(-20, 20);
    const auto clip = static_cast<unsigned char>(pick(0, 3) == 3 ? 255 : pick(0, 2));
    const QImage src = noise_image(source.width(), source.height(), rng).convertToFormat(formats[pick(0, 4)]);
    expect_same_as_reference(src, surface(dest.width(), dest.height(), QColor(kSentinel)),
                             {sx, sy, sw, sh, dw, dh, tx, ty, clip});
  }
  expect_same_as_reference(noise_image(640, 480, rng), surface(1920, 1080), {0, 0, 640, 480, 1920, 1080, 0, 0, 1});
}

// Pixels worked out by hand, so the reference itself is held to the arithmetic: 2x2 onto
// 100x100 in fit-and-clip mode has a working size of 150, so source column 0 spans target
// columns 0..74 and column 1 spans 75..149, of which only 75..99 are drawn; beyond the edge
// the edge pixel is read.
TEST(SmoothStretch, TwoByTwoOntoAHundredByAHundredByHand) {
  QImage src(2, 2, QImage::Format_RGB32);
  for (const auto& [x, y, colour] : {std::tuple{0, 0, qRgb(0, 0, 9)}, {1, 0, qRgb(150, 0, 9)}, {0, 1, qRgb(0, 75, 9)},
                                     {1, 1, qRgb(150, 75, 9)}}) {
    src.setPixel(x, y, colour);
  }
  const std::vector<std::tuple<int, int, QRgb>> probes = {
      {0, 0, qRgb(0, 0, 9)},        {1, 0, qRgb(2, 0, 9)},      {74, 0, qRgb(148, 0, 9)},   {75, 0, qRgb(150, 0, 9)},
      {99, 0, qRgb(150, 0, 9)},     {0, 74, qRgb(0, 74, 9)},    {74, 74, qRgb(148, 74, 9)}, {75, 75, qRgb(150, 75, 9)},
      {99, 99, qRgb(150, 75, 9)},   {37, 10, qRgb(74, 10, 9)},  {100, 0, kSentinel},        {0, 100, kSentinel},
      {119, 119, kSentinel}};
  QImage out = surface(120, 120, QColor(kSentinel));
  reference_stretch(src, 0, 0, 2, 2, 100, 100, 0, 0, out, 1);
  for (const auto& [x, y, colour] : probes) EXPECT_EQ(out.pixel(x, y), colour) << "at (" << x << ", " << y << ")";
  // Every fast path gives the reference's pixels.
  expect_same_as_reference(src, surface(120, 120, QColor(kSentinel)), {0, 0, 2, 2, 100, 100, 0, 0, 1});
}

}  // namespace
}  // namespace zorvane
