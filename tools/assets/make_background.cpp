// Writes the program's default map backdrop, background.bmp: a dim starfield over faint
// nebulae, dark enough for the map tiles and badges to stand out on it. Pure pixel work
// (no fonts, no window system), the same bytes on every run.
#include "display/noise.h"

#include <QImage>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

namespace noise = zorvane::noise;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

using noise::smooth;
using noise::unit_hash;

double fractal_noise(double x, double y, std::uint32_t seed, int octaves) {
  return noise::fractal_noise(x, y, seed, octaves, 2.07, 131u);
}

struct Colour {
  double r, g, b;
};

// 0 below edge0, 1 above edge1, smooth between.
double band(double v, double edge0, double edge1) {
  return smooth(std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0));
}

QImage make_backdrop() {
  std::vector<Colour> sky(static_cast<std::size_t>(kWidth) * kHeight);
  auto at = [&](int x, int y) -> Colour& {
    return sky[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)];
  };

  // Deep blue-black, a little lighter towards the middle, with two faint clouds: violet
  // drifting from the upper left, teal from the lower right.
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double u = x / static_cast<double>(kWidth);
      const double v = y / static_cast<double>(kHeight);
      const double centre = 1.0 - std::min(1.0, std::hypot(u - 0.5, v - 0.5) * 1.4);
      Colour c{6.0 + 6.0 * centre, 8.0 + 7.0 * centre, 18.0 + 12.0 * centre};

      const double warp = fractal_noise(u * 3.0, v * 3.0, 3u, 3);
      const double cloud_a = fractal_noise(u * 4.0 + warp, v * 4.0, 17u, 6);
      const double reach_a = band(1.2 - (u + v), 0.0, 0.9);
      const double violet = band(cloud_a, 0.45, 0.8) * reach_a;
      c.r += 70.0 * violet;
      c.g += 22.0 * violet;
      c.b += 80.0 * violet;

      const double cloud_b = fractal_noise(u * 5.0, v * 5.0 + warp, 41u, 6);
      const double reach_b = band((u + v) - 0.8, 0.0, 0.9);
      const double teal = band(cloud_b, 0.47, 0.82) * reach_b;
      c.r += 8.0 * teal;
      c.g += 52.0 * teal;
      c.b += 66.0 * teal;

      // Dark dust lanes across the clouds.
      const double dust = band(fractal_noise(u * 7.0, v * 7.0, 59u, 5), 0.55, 0.75);
      const double dim = 1.0 - 0.55 * dust * std::max(violet, teal);
      c.r *= dim;
      c.g *= dim;
      c.b *= dim;

      // Faint grain so the stretched picture does not band.
      const double grain = (unit_hash(x, y, 71u) - 0.5) * 3.0;
      at(x, y) = {c.r + grain, c.g + grain, c.b + grain};
    }
  }

  // Stars: mostly single dim points, a few brighter ones with a soft halo, tinted from
  // orange to blue-white; more of them inside the clouds.
  for (int y = 1; y < kHeight - 1; ++y) {
    for (int x = 1; x < kWidth - 1; ++x) {
      const double roll = unit_hash(x, y, 97u);
      if (roll > 0.0045) continue;
      const double size = unit_hash(x, y, 101u);
      const double tint = unit_hash(x, y, 103u);
      const Colour hue = tint < 0.2   ? Colour{1.0, 0.78, 0.55}
                         : tint < 0.7 ? Colour{0.95, 0.95, 1.0}
                                      : Colour{0.72, 0.82, 1.0};
      const double brightness = 60.0 + 150.0 * std::pow(unit_hash(x, y, 107u), 2.2);
      const bool halo = size > 0.9;
      for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
          const bool middle = ox == 0 && oy == 0;
          if (!middle && !halo) continue;
          const double share = middle ? 1.0 : (ox == 0 || oy == 0 ? 0.28 : 0.1);
          Colour& c = at(x + ox, y + oy);
          c.r += brightness * share * hue.r;
          c.g += brightness * share * hue.g;
          c.b += brightness * share * hue.b;
        }
      }
    }
  }

  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const Colour& c = at(x, y);
      auto byte = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
      line[x] = qRgb(byte(c.r), byte(c.g), byte(c.b));
    }
  }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argc > 0 ? argv[0] : "make_background");
    return 1;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  // Written beside the target and renamed, so an interrupted build leaves no cut-off file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      !make_backdrop().convertToFormat(QImage::Format_RGB888).save(&file, "BMP")) {
    std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(file.errorString()));
    return 2;
  }
  if (!file.commit()) {
    std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(file.errorString()));
    return 2;
  }
  return 0;
}
