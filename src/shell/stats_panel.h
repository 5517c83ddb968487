// The statistics panel: a 553 by 393 pixel dark green surface with its title strip
// "Statistics" and close label, drawn on by the scoring display.
#pragma once

#include "shell/panel.h"

namespace zorvane {

class DragLabel;
class ClickLabel;

class StatsPanel : public SurfaceWidget {
  Q_OBJECT
 public:
  explicit StatsPanel(QWidget* parent);
  static constexpr int kWidth = 553;
  static constexpr int kHeight = 393;
  // The panel's picture, made when first drawn on (its memory is not needed before).
  QImage& drawing_surface();
  DragLabel* title;         // Label32
  ClickLabel* close_label;  // Label33 "X"
};

}  // namespace zorvane
