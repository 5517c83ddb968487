#include "shell/labels.h"

#include <QMouseEvent>
#include <algorithm>

namespace zorvane {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = true;
  event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool was_pressed = pressed_;
  pressed_ = false;
  if (was_pressed && rect().contains(event->position().toPoint())) emit clicked();
  event->accept();
}

DragLabel::DragLabel(const QString& text, QWidget* panel, QWidget* parent) : QLabel(text, parent), panel_(panel) {
  setCursor(Qt::SizeAllCursor);
}

void DragLabel::mousePressEvent(QMouseEvent* event) {
  dragging_ = true;
  press_global_ = event->globalPosition().toPoint();
  panel_start_ = panel_->pos();
  panel_->raise();
  event->accept();
}

void DragLabel::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  QPoint target = panel_start_ + (event->globalPosition().toPoint() - press_global_);
  // Keep a grip of the title strip inside the window so the panel can always be fetched back.
  if (const QWidget* area = panel_->parentWidget()) {
    constexpr int kGrip = 40;
    target.setX(std::clamp(target.x(), kGrip - panel_->width(), std::max(0, area->width() - kGrip)));
    target.setY(std::clamp(target.y(), 0, std::max(0, area->height() - height())));
  }
  panel_->move(target);
  event->accept();
}

void DragLabel::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  event->accept();
}

}  // namespace zorvane
