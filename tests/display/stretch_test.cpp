// The fast background stretch must give exactly the pixels of the plain step-by-step one.
#include "display/stretch.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "stretch_reference.h"

namespace zorvane {
namespace {

constexpr QRgb kSentinel = 0xFF123456u;

QImage filled(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
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

// Runs the reference and every fast path on copies of dest: the same pixels, and the same
// progress reported row by row.
void expect_same_as_reference(const QImage& src, const QImage& dest, const StretchArgs& a) {
  SCOPED_TRACE(::testing::Message() << "src " << src.width() << "x" << src.height() << " dest " << dest.width() << "x"
                                    << dest.height() << " area " << a.sx << "," << a.sy << " " << a.sw << "x" << a.sh
                                    << " onto " << a.dw << "x" << a.dh << " at " << a.tx << "," << a.ty << " clip " << int{a.clip});
  QImage plain = dest.copy();
  std::vector<int> plain_rows;
  testing::reference_stretch(src, a.sx, a.sy, a.sw, a.sh, a.dw, a.dh, a.tx, a.ty, plain, a.clip, [&](int y) { plain_rows.push_back(y); });
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
    expect_same_as_reference(src, filled(dest.width(), dest.height()), {sx, sy, sw, sh, dw, dh, tx, ty, clip});
  }
  expect_same_as_reference(noise_image(640, 480, rng), filled(1920, 1080), {0, 0, 640, 480, 1920, 1080, 0, 0, 1});
}

// Pixels worked out by hand, so the reference itself is held to the arithmetic: 2x2 onto
// 100x100 in fit-and-clip mode has a working size of 150, so source column 0 spans target
// columns 0..74 and column 1 spans 75..149, of which only 75..99 are drawn; beyond the edge
// the edge pixel is read. Every path, and the reference, must give these pixels.
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
  std::vector<std::pair<const char*, QImage>> outs = {{"reference", filled(120, 120)}};
  testing::reference_stretch(src, 0, 0, 2, 2, 100, 100, 0, 0, outs[0].second, 1);
  for (const auto& [path, name] : paths_to_check()) {
    outs.push_back({name, filled(120, 120)});
    smooth_stretch_using(path, src, 0, 0, 2, 2, 100, 100, 0, 0, outs.back().second, 1);
  }
  for (const auto& [name, out] : outs) {
    for (const auto& [x, y, colour] : probes) EXPECT_EQ(out.pixel(x, y), colour) << name << " at (" << x << ", " << y << ")";
  }
}

}  // namespace
}  // namespace zorvane
