#include "shell/stats_panel.h"

#include "shell/labels.h"

namespace zorvane {
namespace {
void style_green_strip(QLabel* label) {
  style_strip(label, QColor(0, 128, 0), QColor(255, 255, 0));
  label->setContentsMargins(4, 0, 4, 0);
}
}  // namespace

StatsPanel::StatsPanel(QWidget* parent) : SurfaceWidget(QStringLiteral("Picture6"), parent) {
  constexpr int kStrip = 16;
  title = new DragLabel(QStringLiteral("Statistics"), this, this);
  title->setObjectName(QStringLiteral("Label32"));
  style_green_strip(title);
  title->setGeometry(0, 0, kWidth - kStrip - 2, kStrip);
  close_label = new ClickLabel(QStringLiteral("X"), this);
  close_label->setObjectName(QStringLiteral("Label33"));
  style_green_strip(close_label);
  close_label->setAlignment(Qt::AlignCenter);
  close_label->setCursor(Qt::PointingHandCursor);
  close_label->setGeometry(kWidth - kStrip, 0, kStrip, kStrip);
  setFixedSize(kWidth, kHeight);
}

QImage& StatsPanel::drawing_surface() {
  if (surface().isNull()) make_surface(QSize(kWidth, kHeight), QColor(0, 64, 0));
  return surface();
}

}  // namespace zorvane
