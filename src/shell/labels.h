// Labels that react to the mouse: close labels ("X") report a click, title strips let the
// user drag their panel around the window.
#pragma once

#include <QLabel>
#include <QPoint>

namespace zorvane {

class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// A title strip: pressing any mouse button on it and moving drags `panel` with the mouse.
class DragLabel : public QLabel {
  Q_OBJECT
 public:
  DragLabel(const QString& text, QWidget* panel, QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* panel_;
  bool dragging_ = false;
  QPoint press_global_;
  QPoint panel_start_;
};

}  // namespace zorvane
