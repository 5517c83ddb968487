// The fast background stretch must give exactly the pixels of the plain step-by-step one.
#include "display/stretch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "stretch_reference.h"

namespace zorvane {
namespace {

constexpr QRgb kSentinel = 0xFF123456u;

QImage filled(int w, int h, QRgb colour = kSentinel, QImage::Format format = QImage::Format_RGB32) {
  QImage img(w, h, format);
  img.fill(colour);
  return img;
}

QImage noise_image(int w, int h, std::mt19937& rng) {
  QImage img(w, h, QImage::Format_RGB32);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(byte(rng), byte(rng), byte(rng)));
  }
  return img;
}

struct StretchArgs {
  int sx, sy, sw, sh, dw, dh, tx, ty;
  unsigned char clip;
};

std::string describe(const StretchArgs& a, const QImage& src, const QImage& dest) {
  return "src " + std::to_string(src.width()) + "x" + std::to_string(src.height()) + " dest " +
         std::to_string(dest.width()) + "x" + std::to_string(dest.height()) + " sx " +
         std::to_string(a.sx) + " sy " + std::to_string(a.sy) + " sw " + std::to_string(a.sw) +
         " sh " + std::to_string(a.sh) + " dw " + std::to_string(a.dw) + " dh " +
         std::to_string(a.dh) + " tx " + std::to_string(a.tx) + " ty " + std::to_string(a.ty) +
         " clip " + std::to_string(a.clip);
}

const char* path_name(StretchPath path) {
  switch (path) {
    case StretchPath::best:
      return "best";
    case StretchPath::portable:
      return "portable";
    case StretchPath::sse2:
      return "sse2";
    case StretchPath::avx2:
      return "avx2";
  }
  return "?";
}

// Every code path this processor can run, each checked on its own.
std::vector<StretchPath> paths_to_check() {
  std::vector<StretchPath> paths;
  for (StretchPath p :
       {StretchPath::best, StretchPath::portable, StretchPath::sse2, StretchPath::avx2}) {
    if (stretch_path_available(p)) paths.push_back(p);
  }
  return paths;
}

// Runs the reference and every fast path on copies of dest and reports the first
// differing pixel.
void expect_same_as_reference(const QImage& src, const QImage& dest, const StretchArgs& a) {
  SCOPED_TRACE(describe(a, src, dest));
  QImage plain = dest.copy();
  std::vector<int> plain_rows;
  testing::reference_stretch(src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, plain, a.clip,
                             [&](int y) { plain_rows.push_back(y); });
  for (StretchPath path : paths_to_check()) {
    SCOPED_TRACE(path_name(path));
    QImage fast = dest.copy();
    std::vector<int> fast_rows;
    smooth_stretch_using(path, src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, fast, a.clip,
                         [&](int y) { fast_rows.push_back(y); });
    ASSERT_EQ(fast.size(), plain.size());
    EXPECT_EQ(fast_rows, plain_rows);
    for (int y = 0; y < fast.height(); ++y) {
      for (int x = 0; x < fast.width(); ++x) {
        if (fast.pixel(x, y) != plain.pixel(x, y)) {
          ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << std::hex
                        << fast.pixel(x, y) << " instead of " << plain.pixel(x, y);
          return;
        }
      }
    }
  }
}

TEST(SmoothStretch, PortableAndBestPathsAlwaysExist) {
  EXPECT_TRUE(stretch_path_available(StretchPath::portable));
  EXPECT_TRUE(stretch_path_available(StretchPath::best));
#if defined(__SSE2__)
  EXPECT_TRUE(stretch_path_available(StretchPath::sse2));
#endif
}

TEST(SmoothStretch, MatchesReferenceOnNamedShapes) {
  std::mt19937 rng(7);
  const QImage src = noise_image(37, 23, rng);
  const QImage tiny = noise_image(2, 2, rng);
  const QImage column = noise_image(1, 19, rng);
  const QImage row = noise_image(19, 1, rng);
  struct Case {
    const char* name;
    const QImage* image;
    QSize dest;
    StretchArgs args;
  };
  const std::vector<Case> cases = {
      {"enlarge fit", &src, {200, 150}, {0, 0, 37, 23, 200, 150, 0, 0, 1}},
      {"enlarge plain", &src, {200, 150}, {0, 0, 37, 23, 200, 150, 0, 0, 0}},
      {"shrink fit", &src, {20, 11}, {0, 0, 37, 23, 20, 11, 0, 0, 1}},
      {"shrink plain", &src, {20, 11}, {0, 0, 37, 23, 20, 11, 0, 0, 0}},
      {"same size fit", &src, {37, 23}, {0, 0, 37, 23, 37, 23, 0, 0, 1}},
      {"sub-area with offsets", &src, {90, 70}, {5, 3, 17, 11, 61, 47, 9, 13, 1}},
      {"area reaching past the image", &src, {90, 70}, {30, 20, 15, 9, 80, 60, 0, 0, 1}},
      {"area starting outside the image", &src, {60, 40}, {-4, -3, 10, 8, 50, 30, 2, 2, 1}},
      {"target hanging off every side", &src, {50, 40}, {0, 0, 37, 23, 90, 80, -21, -17, 0}},
      {"target past the right and bottom", &src, {50, 40}, {0, 0, 37, 23, 60, 50, 31, 29, 1}},
      {"plain mode ignores dw for clipping", &src, {120, 90}, {0, 0, 37, 23, 75, 41, 3, 1, 0}},
      {"clip value 2 is plain", &src, {120, 90}, {0, 0, 37, 23, 75, 41, 3, 1, 2}},
      {"clip value 255 is plain", &src, {120, 90}, {0, 0, 37, 23, 75, 41, 3, 1, 255}},
      {"two by two onto a hundred", &tiny, {130, 130}, {0, 0, 2, 2, 100, 100, 0, 0, 1}},
      {"one column", &column, {40, 80}, {0, 0, 1, 19, 33, 77, 1, 1, 1}},
      {"one row", &row, {80, 40}, {0, 0, 19, 1, 77, 33, 1, 1, 1}},
      {"one pixel", &tiny, {40, 40}, {1, 1, 1, 1, 31, 29, 0, 0, 1}},
      {"band narrower than a pixel", &src, {9, 5}, {0, 0, 37, 23, 3, 2, 1, 1, 1}},
      {"target of one pixel", &src, {5, 5}, {0, 0, 37, 23, 1, 1, 2, 2, 1}},
      {"negative target size", &src, {40, 40}, {0, 0, 37, 23, -10, -10, 20, 20, 1}},
      {"target entirely left of dest", &src, {40, 40}, {0, 0, 37, 23, 30, 30, -31, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expect_same_as_reference(*c.image, filled(c.dest.width(), c.dest.height()), c.args);
  }
}

TEST(SmoothStretch, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> src_side(1, 24);
  std::uniform_int_distribution<int> dest_side(1, 90);
  std::uniform_int_distribution<int> offset(-8, 8);
  std::uniform_int_distribution<int> clip_pick(0, 2);
  for (int round = 0; round < 400; ++round) {
    const int w = src_side(rng);
    const int h = src_side(rng);
    const QImage src = noise_image(w, h, rng);
    const QImage dest = filled(dest_side(rng), dest_side(rng));
    std::uniform_int_distribution<int> sx_pick(0, w - 1);
    std::uniform_int_distribution<int> sy_pick(0, h - 1);
    StretchArgs a{};
    a.sx = sx_pick(rng);
    a.sy = sy_pick(rng);
    a.sw = std::uniform_int_distribution<int>(1, w - a.sx + 2)(rng);
    a.sh = std::uniform_int_distribution<int>(1, h - a.sy + 2)(rng);
    a.dw = dest_side(rng);
    a.dh = dest_side(rng);
    a.tx = offset(rng);
    a.ty = offset(rng);
    a.clip = static_cast<unsigned char>(clip_pick(rng));
    expect_same_as_reference(src, dest, a);
    if (HasFailure()) return;
  }
}

TEST(SmoothStretch, MatchesReferenceOnFullMapSurface) {
  std::mt19937 rng(99);
  const QImage src = noise_image(640, 480, rng);
  expect_same_as_reference(src, filled(1920, 1080), {0, 0, 640, 480, 1920, 1080, 0, 0, 1});
}

TEST(SmoothStretch, MatchesReferenceForOtherSourceFormats) {
  std::mt19937 rng(5);
  const QImage rgb32 = noise_image(13, 9, rng);
  for (QImage::Format f : {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                           QImage::Format_RGB888, QImage::Format_RGB16}) {
    SCOPED_TRACE(static_cast<int>(f));
    expect_same_as_reference(rgb32.convertToFormat(f), filled(50, 40),
                             {0, 0, 13, 9, 47, 38, 1, 1, 1});
  }
}

// 2 x 2 onto 100 x 100, fit and clip: the working size is 150, so the first source column
// spans target columns 0..74 and the second 75..149, of which only 75..99 are drawn.
// Red runs 0 -> 150 across, green 0 -> 75 down; beyond the edge the edge pixel is read.
TEST(SmoothStretch, TwoByTwoOntoHundredUsesWorkingSizeOf150) {
  QImage src(2, 2, QImage::Format_RGB32);
  src.setPixel(0, 0, qRgb(0, 0, 9));
  src.setPixel(1, 0, qRgb(150, 0, 9));
  src.setPixel(0, 1, qRgb(0, 75, 9));
  src.setPixel(1, 1, qRgb(150, 75, 9));
  struct Expect {
    int x, y;
    QRgb colour;
  };
  const std::vector<Expect> expected = {
      {0, 0, qRgb(0, 0, 9)},      {1, 0, qRgb(2, 0, 9)},      {74, 0, qRgb(148, 0, 9)},
      {75, 0, qRgb(150, 0, 9)},   {99, 0, qRgb(150, 0, 9)},   {0, 74, qRgb(0, 74, 9)},
      {74, 74, qRgb(148, 74, 9)}, {75, 75, qRgb(150, 75, 9)}, {99, 99, qRgb(150, 75, 9)},
      {37, 10, qRgb(74, 10, 9)},  {100, 0, kSentinel},        {0, 100, kSentinel},
      {100, 100, kSentinel},      {119, 119, kSentinel},
  };
  for (StretchPath path : paths_to_check()) {
    SCOPED_TRACE(path_name(path));
    QImage dest = filled(120, 120);
    smooth_stretch_using(path, src, 0, 0, 2, 2, 100, 100, 0, 0, dest, 1);
    for (const Expect& e : expected) {
      EXPECT_EQ(dest.pixel(e.x, e.y), e.colour) << "at (" << e.x << ", " << e.y << ")";
    }
  }
}

TEST(SmoothStretch, TwoByTwoOntoHundredPlainModeSplitsAtFifty) {
  QImage src(2, 1, QImage::Format_RGB32);
  src.setPixel(0, 0, qRgb(0, 0, 0));
  src.setPixel(1, 0, qRgb(100, 0, 0));
  for (StretchPath path : paths_to_check()) {
    SCOPED_TRACE(path_name(path));
    QImage dest = filled(120, 3);
    smooth_stretch_using(path, src, 0, 0, 2, 1, 100, 2, 0, 0, dest, 0);
    EXPECT_EQ(qRed(dest.pixel(0, 0)), 0);
    EXPECT_EQ(qRed(dest.pixel(49, 0)), 98);
    EXPECT_EQ(qRed(dest.pixel(50, 1)), 100);
    EXPECT_EQ(qRed(dest.pixel(99, 1)), 100);
    EXPECT_EQ(dest.pixel(100, 0), kSentinel);
    EXPECT_EQ(dest.pixel(0, 2), kSentinel);
  }
}

// Band ends round halves to even: 10 / 4 = 2.5 per column gives ends 2, 5, 8, 10
// (halves up would give 3, 5, 8, 10 and a different pixel at x = 2).
TEST(SmoothStretch, BandEndsRoundHalvesToEven) {
  QImage src(4, 1, QImage::Format_RGB32);
  const int reds[] = {0, 100, 200, 250};
  for (int x = 0; x < 4; ++x) src.setPixel(x, 0, qRgb(reds[x], 0, 0));
  const int expected[] = {0, 50, 100, 133, 167, 200, 217, 233, 250, 250};
  for (StretchPath path : paths_to_check()) {
    SCOPED_TRACE(path_name(path));
    QImage dest = filled(10, 1);
    smooth_stretch_using(path, src, 0, 0, 4, 1, 10, 1, 0, 0, dest, 0);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(qRed(dest.pixel(x, 0)), expected[x]) << "x " << x;
  }
}

// A ramp value exactly halfway between two whole numbers goes to the even one, across a
// row (the pixel value) and down a column (the band row's left and right values).
TEST(SmoothStretch, RampValuesRoundHalvesToEven) {
  struct Case {
    int first, second, middle;
  };
  for (StretchPath path : paths_to_check()) {
    SCOPED_TRACE(path_name(path));
    for (const Case& c : {Case{0, 5, 2}, Case{0, 7, 4}, Case{0, 3, 2}, Case{10, 15, 12},
                          Case{5, 0, 2}, Case{7, 0, 4}}) {
      SCOPED_TRACE(std::to_string(c.first) + " -> " + std::to_string(c.second));
      QImage across(2, 1, QImage::Format_RGB32);
      across.setPixel(0, 0, qRgb(0, c.first, 0));
      across.setPixel(1, 0, qRgb(0, c.second, 0));
      QImage dest = filled(4, 1);
      smooth_stretch_using(path, across, 0, 0, 2, 1, 4, 1, 0, 0, dest, 0);
      EXPECT_EQ(qGreen(dest.pixel(0, 0)), c.first);
      EXPECT_EQ(qGreen(dest.pixel(1, 0)), c.middle);

      QImage down(1, 2, QImage::Format_RGB32);
      down.setPixel(0, 0, qRgb(0, 0, c.first));
      down.setPixel(0, 1, qRgb(0, 0, c.second));
      dest = filled(1, 4);
      smooth_stretch_using(path, down, 0, 0, 1, 2, 1, 4, 0, 0, dest, 0);
      EXPECT_EQ(qBlue(dest.pixel(0, 0)), c.first);
      EXPECT_EQ(qBlue(dest.pixel(0, 1)), c.middle);
    }
  }
}

TEST(SmoothStretch, ZeroOrNegativeSourceSizeDrawsNothing) {
  std::mt19937 rng(3);
  const QImage src = noise_image(8, 8, rng);
  for (const auto& [sw, sh] :
       std::vector<std::pair<int, int>>{{0, 8}, {8, 0}, {0, 0}, {-3, 8}, {8, -1}}) {
    QImage dest = filled(30, 30);
    int calls = 0;
    smooth_stretch(src, 0, 0, sw, sh, 30, 30, 0, 0, dest, 1, [&](int) { ++calls; });
    EXPECT_EQ(dest, filled(30, 30)) << sw << " x " << sh;
    EXPECT_EQ(calls, 0);
  }
}

TEST(SmoothStretch, NullImagesDrawNothing) {
  QImage dest = filled(10, 10);
  smooth_stretch(QImage(), 0, 0, 4, 4, 10, 10, 0, 0, dest, 1);
  EXPECT_EQ(dest, filled(10, 10));
  QImage none;
  std::mt19937 rng(1);
  smooth_stretch(noise_image(4, 4, rng), 0, 0, 4, 4, 10, 10, 0, 0, none, 1);
  EXPECT_TRUE(none.isNull());
}

TEST(SmoothStretch, SizesBeyondSixteenBitsDrawNothing) {
  std::mt19937 rng(2);
  const QImage src = noise_image(4, 4, rng);
  QImage dest = filled(10, 10);
  smooth_stretch(src, 0, 0, 4, 4, 40000, 10, 0, 0, dest, 1);
  smooth_stretch(src, 0, 0, 40000, 4, 10, 10, 0, 0, dest, 1);
  EXPECT_EQ(dest, filled(10, 10));
}

TEST(SmoothStretch, ReportsEverySourceRowInOrder) {
  std::mt19937 rng(4);
  const QImage src = noise_image(6, 9, rng);
  QImage dest = filled(20, 20);
  std::vector<int> rows;
  smooth_stretch(src, 0, 0, 6, 9, 20, 20, 0, 0, dest, 1, [&](int y) { rows.push_back(y); });
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// Rows that fall outside the destination are still reported, so the progress display
// always ends at the last row.
TEST(SmoothStretch, ReportsRowsEvenWhenNothingIsDrawn) {
  std::mt19937 rng(4);
  const QImage src = noise_image(3, 4, rng);
  QImage dest = filled(20, 20);
  std::vector<int> rows;
  smooth_stretch(src, 0, 0, 3, 4, 10, 10, 50, 50, dest, 1, [&](int y) { rows.push_back(y); });
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(dest, filled(20, 20));
}

TEST(SmoothStretch, DestinationInAnotherFormatBecomes32BitWithSamePixels) {
  std::mt19937 rng(8);
  const QImage src = noise_image(5, 5, rng);
  QImage dest = filled(30, 30, kSentinel, QImage::Format_RGB888);
  QImage expected = filled(30, 30);
  smooth_stretch(src, 0, 0, 5, 5, 25, 25, 2, 2, dest, 1);
  testing::reference_stretch(src, 0, 0, 5, 5, 25, 25, 2, 2, expected, 1);
  EXPECT_EQ(dest.format(), QImage::Format_RGB32);
  EXPECT_EQ(dest, expected);
}

// Stretching part of an image onto itself reads the picture as it was before the call.
TEST(SmoothStretch, StretchOntoItselfReadsTheOriginal) {
  std::mt19937 rng(11);
  QImage img = noise_image(20, 20, rng);
  const QImage before = img.copy();
  QImage expected = img.copy();
  testing::reference_stretch(before, 0, 0, 5, 5, 20, 20, 0, 0, expected, 1);
  smooth_stretch(img, 0, 0, 5, 5, 20, 20, 0, 0, img, 1);
  EXPECT_EQ(img, expected);
}

}  // namespace
}  // namespace zorvane
