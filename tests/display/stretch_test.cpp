// The fast background stretch must give exactly the pixels of the plain step-by-step one.
#include "display/stretch.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "stretch_reference.h"

namespace zorvane {
namespace {

constexpr QRgb kSentinel = 0xFF123456u;

QImage filled(int w, int h, QImage::Format format = QImage::Format_RGB32) {
  QImage img(w, h, format);
  img.fill(kSentinel);
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

// Every code path this processor can run, each checked on its own.
std::vector<std::pair<StretchPath, const char*>> paths_to_check() {
  std::vector<std::pair<StretchPath, const char*>> paths;
  for (const auto& p : {std::pair{StretchPath::best, "best"}, std::pair{StretchPath::portable, "portable"},
                        std::pair{StretchPath::sse2, "sse2"}, std::pair{StretchPath::avx2, "avx2"}}) {
    if (stretch_path_available(p.first)) paths.push_back(p);
  }
  return paths;
}

struct StretchArgs {
  int sx, sy, sw, sh, dw, dh, tx, ty;
  unsigned char clip;
};

// Runs the reference and every fast path on copies of dest and reports the first
// differing pixel.
void expect_same_as_reference(const QImage& src, const QImage& dest, const StretchArgs& a) {
  SCOPED_TRACE(::testing::Message() << "src " << src.width() << "x" << src.height() << " dest " << dest.width() << "x"
                                    << dest.height() << " area " << a.sx << "," << a.sy << " " << a.sw << "x" << a.sh
                                    << " onto " << a.dw << "x" << a.dh << " at " << a.tx << "," << a.ty << " clip " << int{a.clip});
  QImage plain = dest.copy();
  std::vector<int> plain_rows;
  testing::reference_stretch(src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, plain, a.clip, [&](int y) { plain_rows.push_back(y); });
  for (const auto& [path, name] : paths_to_check()) {
    SCOPED_TRACE(name);
    QImage fast = dest.copy();
    std::vector<int> fast_rows;
    smooth_stretch_using(path, src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, fast, a.clip, [&](int y) { fast_rows.push_back(y); });
    ASSERT_EQ(fast.size(), plain.size());
    EXPECT_EQ(fast_rows, plain_rows);
    for (int y = 0; y < fast.height(); ++y) {
      for (int x = 0; x < fast.width(); ++x) {
        if (fast.pixel(x, y) != plain.pixel(x, y)) {
          ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << std::hex << fast.pixel(x, y)
                        << " instead of " << plain.pixel(x, y);
          return;
        }
      }
    }
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
    expect_same_as_reference(src, filled(dest.width(), dest.height()), {sx, sy, sw, sh, dw, dh, tx, ty, clip});
  }
  expect_same_as_reference(noise_image(640, 480, rng), filled(1920, 1080), {0, 0, 640, 480, 1920, 1080, 0, 0, 1});
}

// Pixels worked out by hand, so the reference itself is held to the arithmetic: a w x h
// source (given row by row) stretched onto a sentinel-filled dest on every path.
//  - Fit and clip: the working size is 150, so source column 0 spans target columns 0..74 and
//    column 1 spans 75..149, of which only 75..99 are drawn. Beyond the edge the edge pixel
//    is read.
//  - Plain mode keeps the target size: 10 / 4 = 2.5 per column gives band ends 2, 5, 8, 10
//    (halves up would give 3 and move x = 2; a fit-mode size of 12 would move them all).
//  - A ramp value exactly halfway goes to the even number: across a row (green) and down a
//    column (blue).
TEST(SmoothStretch, HandWorkedPixelsRoundHalvesToEven) {
  struct Probe {
    int x, y;
    QRgb colour;
  };
  struct Case {
    int w, h;
    std::vector<QRgb> source;
    QSize dest;
    StretchArgs args;
    std::vector<Probe> probes;
  };
  std::vector<Case> cases = {
      {2, 2, {qRgb(0, 0, 9), qRgb(150, 0, 9), qRgb(0, 75, 9), qRgb(150, 75, 9)}, {120, 120}, {0, 0, 2, 2, 100, 100, 0, 0, 1},
       {{0, 0, qRgb(0, 0, 9)}, {1, 0, qRgb(2, 0, 9)}, {74, 0, qRgb(148, 0, 9)}, {75, 0, qRgb(150, 0, 9)},
        {99, 0, qRgb(150, 0, 9)}, {0, 74, qRgb(0, 74, 9)}, {74, 74, qRgb(148, 74, 9)}, {75, 75, qRgb(150, 75, 9)},
        {99, 99, qRgb(150, 75, 9)}, {37, 10, qRgb(74, 10, 9)}, {100, 0, kSentinel}, {0, 100, kSentinel},
        {100, 100, kSentinel}, {119, 119, kSentinel}}},
      {4, 1, {qRgb(0, 0, 0), qRgb(100, 0, 0), qRgb(200, 0, 0), qRgb(250, 0, 0)}, {10, 1}, {0, 0, 4, 1, 10, 1, 0, 0, 0}, {}},
  };
  const int reds[] = {0, 50, 100, 133, 167, 200, 217, 233, 250, 250};
  for (int x = 0; x < 10; ++x) cases[1].probes.push_back({x, 0, qRgb(reds[x], 0, 0)});
  for (const auto& [a, b, middle] : std::vector<std::tuple<int, int, int>>{
           {0, 5, 2}, {0, 7, 4}, {0, 3, 2}, {10, 15, 12}, {5, 0, 2}, {7, 0, 4}}) {
    cases.push_back({2, 2, {qRgb(0, a, a), qRgb(0, b, a), qRgb(0, a, b), qRgb(0, b, b)}, {4, 4}, {0, 0, 2, 2, 4, 4, 0, 0, 0},
                     {{0, 0, qRgb(0, a, a)}, {1, 0, qRgb(0, middle, a)}, {0, 1, qRgb(0, a, middle)}}});
  }
  for (const Case& c : cases) {
    QImage src(c.w, c.h, QImage::Format_RGB32);
    for (int i = 0; i < c.w * c.h; ++i) src.setPixel(i % c.w, i / c.w, c.source[static_cast<std::size_t>(i)]);
    for (const auto& [path, name] : paths_to_check()) {
      QImage out = filled(c.dest.width(), c.dest.height());
      const StretchArgs& a = c.args;
      smooth_stretch_using(path, src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, out, a.clip);
      for (const Probe& p : c.probes) EXPECT_EQ(out.pixel(p.x, p.y), p.colour) << name << " at (" << p.x << ", " << p.y << ")";
    }
  }
}

// Progress counts every source row, even rows drawn off the target, so it always ends at the
// last row; an empty or oversized area draws and reports nothing.
TEST(SmoothStretch, ReportsEverySourceRowAndEmptyAreasDrawNothing) {
  std::mt19937 rng(3);
  const QImage src = noise_image(8, 9, rng);
  const struct {
    const char* name;
    int sw, sh, dw, tx, rows;
    bool draws;
  } cases[] = {{"whole area", 6, 9, 20, 0, 9, true},         {"drawn off the target", 3, 4, 10, 50, 4, false},
               {"zero width", 0, 8, 30, 0, 0, false},        {"zero height", 8, 0, 30, 0, 0, false},
               {"negative width", -3, 8, 30, 0, 0, false},   {"negative height", 8, -1, 30, 0, 0, false},
               {"target beyond 16 bits", 4, 4, 40000, 0, 0, false}, {"source beyond 16 bits", 40000, 4, 10, 0, 0, false}};
  for (const auto& c : cases) {
    QImage dest = filled(30, 30);
    std::vector<int> rows;
    smooth_stretch(src, 0, 0, c.sw, c.sh, c.dw, 20, c.tx, 0, dest, 1, [&](int y) { rows.push_back(y); });
    std::vector<int> expected(static_cast<std::size_t>(c.rows));
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(rows, expected) << c.name;
    EXPECT_EQ(dest != filled(30, 30), c.draws) << c.name;
  }
  QImage dest = filled(10, 10);
  smooth_stretch(QImage(), 0, 0, 4, 4, 10, 10, 0, 0, dest, 1);
  EXPECT_EQ(dest, filled(10, 10));
  QImage none;
  smooth_stretch(src, 0, 0, 4, 4, 10, 10, 0, 0, none, 1);
  EXPECT_TRUE(none.isNull());
}

// A destination in another format becomes 32-bit with the same pixels; stretching part of an
// image onto itself reads the picture as it was before the call.
TEST(SmoothStretch, OtherDestinationFormatsAndTheSourceItselfAsDestination) {
  std::mt19937 rng(8);
  const QImage src = noise_image(5, 5, rng);
  QImage dest = filled(30, 30, QImage::Format_RGB888);
  QImage expected = filled(30, 30);
  smooth_stretch(src, 0, 0, 5, 5, 25, 25, 2, 2, dest, 1);
  testing::reference_stretch(src, 0, 0, 5, 5, 25, 25, 2, 2, expected, 1);
  EXPECT_EQ(dest.format(), QImage::Format_RGB32);
  EXPECT_EQ(dest, expected);
  QImage img = noise_image(20, 20, rng);
  expected = img.copy();
  testing::reference_stretch(img.copy(), 0, 0, 5, 5, 20, 20, 0, 0, expected, 1);
  smooth_stretch(img, 0, 0, 5, 5, 20, 20, 0, 0, img, 1);
  EXPECT_EQ(img, expected);
}

}  // namespace
}  // namespace zorvane
