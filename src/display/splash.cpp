#include "display/splash.h"

#include "display/noise.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace zorvane {
namespace {

using noise::unit_hash;

double fractal_noise(double x, double y, std::uint32_t seed, int octaves) {
  return noise::fractal_noise(x, y, seed, octaves, 2.03, 101u);
}

int to_byte(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

// Grey granite: soft mottling, darker veins, fine grain, bevelled rim, darker corners.
QImage stone_texture() {
  QImage img(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
  const double cx = (kSplashWidth - 1) / 2.0;
  const double cy = (kSplashHeight - 1) / 2.0;
  for (int y = 0; y < kSplashHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < kSplashWidth; ++x) {
      const double mottle = fractal_noise(x / 38.0, y / 30.0, 11u, 5);
      const double vein_field = fractal_noise(x / 55.0 + 3.1, y / 21.0, 29u, 4);
      const double vein = std::pow(1.0 - std::abs(vein_field - 0.5) * 2.0, 14.0);
      const double grain = unit_hash(x, y, 7u) - 0.5;
      const double fleck = unit_hash(x, y, 13u) > 0.985 ? -22.0 : 0.0;
      double grey = 96.0 + 90.0 * mottle - 24.0 * vein + 14.0 * grain + fleck;

      const int edge = std::min({x, y, kSplashWidth - 1 - x, kSplashHeight - 1 - y});
      if (edge < 5) {
        const double depth = (5 - edge) / 5.0;
        const bool lit = (x < 5 && x <= y && x <= kSplashHeight - 1 - y) ||
                         (y < 5 && y <= x && y <= kSplashWidth - 1 - x);
        grey += (lit ? 62.0 : -52.0) * depth;
      }
      if (edge == 0) grey *= 0.45;

      const double dx = (x - cx) / cx;
      const double dy = (y - cy) / cy;
      grey *= 1.0 - 0.18 * (dx * dx + dy * dy) / 2.0;

      // A faint warm cast keeps the grey from looking like plastic.
      line[x] = qRgb(to_byte(grey * 1.03), to_byte(grey), to_byte(grey * 0.95));
    }
  }
  return img;
}

// Hairline cracks: short wandering polylines, dark with a lit lower lip.
void draw_cracks(QPainter& p) {
  std::uint32_t state = 0x5EEDu;
  auto next = [&state]() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  };
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int crack = 0; crack < 5; ++crack) {
    QPainterPath path;
    const bool from_left = crack % 2 == 0;
    QPointF at(from_left ? 2.0 : kSplashWidth - 3.0, 12.0 + next() * (kSplashHeight - 24));
    if (crack == 4) at = QPointF(60.0 + next() * 180.0, 2.0);
    path.moveTo(at);
    double heading = from_left ? 0.0 : std::numbers::pi;
    if (crack == 4) heading = std::numbers::pi / 2;
    const int steps = 6 + static_cast<int>(next() * 8);
    for (int s = 0; s < steps; ++s) {
      heading += (next() - 0.5) * 1.1;
      at += QPointF(std::cos(heading), std::sin(heading)) * (3.0 + next() * 5.0);
      path.lineTo(at);
    }
    p.setPen(QPen(QColor(255, 255, 255, 45), 1.0));
    p.drawPath(path.translated(0.6, 0.9));
    p.setPen(QPen(QColor(20, 20, 20, 150), 0.9));
    p.drawPath(path);
  }
}

QPainterPath title_path() {
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setStyleHint(QFont::Serif, QFont::PreferAntialias);
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  const QString title = QStringLiteral("Zorvane");
  // The largest size that leaves a margin inside the tablet.
  for (int size = 72; size > 10; --size) {
    font.setPixelSize(size);
    QPainterPath path;
    path.addText(0, 0, font, title);
    const QRectF box = path.boundingRect();
    if (box.width() <= kSplashWidth - 44 && box.height() <= kSplashHeight - 34) {
      return path.translated((kSplashWidth - box.width()) / 2.0 - box.left(),
                             (kSplashHeight - box.height()) / 2.0 - box.top());
    }
  }
  return {};
}

// Letters cut into the stone: a dark upper-left wall, a lit lower-right wall, and a floor
// of the same stone in shadow.
void draw_title(QPainter& p, const QImage& stone) {
  const QPainterPath path = title_path();
  if (path.isEmpty()) return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);

  p.setBrush(QColor(255, 250, 240, 120));
  p.drawPath(path.translated(1.2, 1.4));
  p.setBrush(QColor(0, 0, 0, 170));
  p.drawPath(path.translated(-1.0, -1.0));

  QImage floor = stone.copy();
  for (int y = 0; y < floor.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(floor.scanLine(y));
    for (int x = 0; x < floor.width(); ++x) {
      const QRgb c = line[x];
      line[x] = qRgb(qRed(c) * 45 / 100, qGreen(c) * 45 / 100, qBlue(c) * 47 / 100);
    }
  }
  p.setBrush(QBrush(floor));
  p.drawPath(path);

  const QRectF box = path.boundingRect();
  QLinearGradient depth(box.topLeft(), box.bottomLeft());
  depth.setColorAt(0.0, QColor(0, 0, 0, 110));
  depth.setColorAt(0.45, QColor(0, 0, 0, 20));
  depth.setColorAt(1.0, QColor(255, 255, 255, 25));
  p.setBrush(depth);
  p.drawPath(path);
}

}  // namespace

QImage make_splash_image() {
  const QImage stone = stone_texture();
  QImage img = stone.copy();
  QPainter p(&img);
  draw_cracks(p);
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    draw_title(p, stone);
  }
  p.end();
  return img;
}

}  // namespace zorvane
