// Background stretch speed: a 640 x 480 picture onto a 1920 x 1080 map surface in
// fit-and-clip mode, against the plain pixel-at-a-time version and Qt's smooth scaling.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdint>

#include "../tests/display/stretch_reference.h"
#include "display/stretch.h"

namespace {

constexpr int kSrcW = 640;
constexpr int kSrcH = 480;
constexpr int kDestW = 1920;
constexpr int kDestH = 1080;

// Smooth gradients with some grain, like a photograph: deterministic, no two rows alike.
QImage backdrop() {
  QImage img(kSrcW, kSrcH, QImage::Format_RGB32);
  std::uint32_t seed = 12345;
  for (int y = 0; y < kSrcH; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < kSrcW; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 28);
      line[x] = qRgb((x * 255 / kSrcW + grain) & 0xFF, (y * 255 / kSrcH + grain) & 0xFF,
                     ((x + y) / 5 + grain) & 0xFF);
    }
  }
  return img;
}

void set_rate(benchmark::State& state) {
  state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(kDestW) * kDestH / 1e6,
                                               benchmark::Counter::kIsIterationInvariantRate);
}

void run_path(benchmark::State& state, zorvane::StretchPath path) {
  if (!zorvane::stretch_path_available(path)) {
    state.SkipWithError("this processor cannot run this path");
    return;
  }
  const QImage src = backdrop();
  QImage dest(kDestW, kDestH, QImage::Format_RGB32);
  dest.fill(0);
  for (auto _ : state) {
    zorvane::smooth_stretch_using(path, src, 0, 0, kSrcW, kSrcH, kDestW, kDestH, 0, 0, dest, 1);
    benchmark::DoNotOptimize(dest.constBits());
  }
  set_rate(state);
}

void BM_SmoothStretch(benchmark::State& state) { run_path(state, zorvane::StretchPath::best); }
void BM_SmoothStretchAvx2(benchmark::State& state) { run_path(state, zorvane::StretchPath::avx2); }
void BM_SmoothStretchSse2(benchmark::State& state) { run_path(state, zorvane::StretchPath::sse2); }
void BM_SmoothStretchPortable(benchmark::State& state) {
  run_path(state, zorvane::StretchPath::portable);
}
BENCHMARK(BM_SmoothStretch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothStretchAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothStretchSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothStretchPortable)->Unit(benchmark::kMillisecond);

void BM_ReferenceStretch(benchmark::State& state) {
  const QImage src = backdrop();
  QImage dest(kDestW, kDestH, QImage::Format_RGB32);
  dest.fill(0);
  for (auto _ : state) {
    zorvane::testing::reference_stretch(src, 0, 0, kSrcW, kSrcH, kDestW, kDestH, 0, 0, dest, 1);
    benchmark::DoNotOptimize(dest.constBits());
  }
  set_rate(state);
}
BENCHMARK(BM_ReferenceStretch)->Unit(benchmark::kMillisecond);

void BM_QtSmoothScaled(benchmark::State& state) {
  const QImage src = backdrop();
  for (auto _ : state) {
    QImage scaled = src.scaled(kDestW, kDestH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    benchmark::DoNotOptimize(scaled.constBits());
  }
  set_rate(state);
}
// Qt spreads its scaling over a thread pool, so it is timed by the clock, not by CPU time.
BENCHMARK(BM_QtSmoothScaled)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
