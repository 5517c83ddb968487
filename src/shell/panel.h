// Building blocks of the window: picture surfaces that keep what is drawn on them, and the
// floating panels with their title strips.
#pragma once

#include <QFrame>
#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QPainter;
class QVBoxLayout;

namespace zorvane {

class ClickLabel;
class DragLabel;

// A picture surface: shows a persistent image drawn in pixels from its top-left corner and
// reports mouse presses in its own pixel coordinates.
class SurfaceWidget : public QWidget {
  Q_OBJECT
 public:
  explicit SurfaceWidget(const QString& object_name, QWidget* parent = nullptr);

  QImage& surface() { return surface_; }
  const QImage& surface() const { return surface_; }
  // Replaces the image and sizes the widget to it.
  void set_surface(QImage image);
  // Makes a new surface of the given size filled with `fill`.
  void make_surface(QSize size, QColor fill);
  // Painted on screen over the surface, never into it (what the surface keeps, and a
  // snapshot of it, stay as drawn). Empty for none.
  void set_overlay(std::function<void(QPainter&)> overlay);

 signals:
  void mouse_down(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QImage surface_;
  std::function<void(QPainter&)> overlay_;
};

// A floating panel: a framed box with an optional title strip across its top. It sizes
// itself to its contents when it is first shown (measuring text loads fonts, which the
// window's first paint should not wait for) and then stands centred in its parent.
class Panel : public QFrame {
  Q_OBJECT
 public:
  Panel(const QString& object_name, QWidget* parent);

  QVBoxLayout* body() const { return body_; }
  // A title strip that drags the panel; the label gets `label_name` as its object name.
  DragLabel* add_title(const QString& label_name, const QString& caption);
  // A plain title strip that cannot drag.
  void add_fixed_title(const QString& caption);
  // A close label "X" at the right end of the title strip.
  ClickLabel* add_close_label(const QString& label_name);
  // Fixes the panel's size to what its contents need.
  void fit();
  bool fitted() const { return fitted_; }
  void setVisible(bool visible) override;

 protected:
  // Before the panel is shown the first time: fit and centre it.
  virtual void first_show();

 private:
  QVBoxLayout* body_;
  QWidget* title_row_ = nullptr;
  bool fitted_ = false;
};

// Styles a label as a title strip: bold text in `text` on a `background` band.
void style_strip(QLabel* label, QColor background, QColor text);

// Centres a widget in its parent: left = (parent width - width) / 2, likewise top.
void centre_in_parent(QWidget* widget);

// The front-most visible child of parent that `ground` does not claim, or nothing.
QWidget* front_visible_child(const QWidget* parent, const std::function<bool(const QWidget*)>& ground);

// Moves every child of parent but `except` back inside the parent's area.
void keep_children_inside(QWidget* parent, const QWidget* except);

}  // namespace zorvane
