#include "shell/panel.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/labels.h"

namespace zorvane {

SurfaceWidget::SurfaceWidget(const QString& object_name, QWidget* parent) : QWidget(parent) {
  setObjectName(object_name);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceWidget::set_surface(QImage image) {
  surface_ = std::move(image);
  resize(surface_.size());
  update();
}

void SurfaceWidget::make_surface(QSize size, QColor fill) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(fill);
  set_surface(std::move(image));
}

void SurfaceWidget::set_overlay(std::function<void(QPainter&)> overlay) {
  overlay_ = std::move(overlay);
  update();
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().window());
  if (!surface_.isNull()) painter.drawImage(event->rect().topLeft(), surface_, event->rect());
  if (overlay_) {
    painter.setClipRect(event->rect());
    overlay_(painter);
  }
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouse_down(event->button(), event->modifiers(), p.x(), p.y());
}

void style_strip(QLabel* label, QColor background, QColor text) {
  label->setAutoFillBackground(true);
  QPalette pal = label->palette();
  pal.setColor(QPalette::Window, background);
  pal.setColor(QPalette::WindowText, text);
  label->setPalette(pal);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setContentsMargins(4, 2, 4, 2);
}

namespace {
void style_title(QLabel* label) { style_strip(label, QColor(0, 0, 128), QColor(255, 255, 255)); }
}  // namespace

Panel::Panel(const QString& object_name, QWidget* parent) : QFrame(parent) {
  setObjectName(object_name);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setAutoFillBackground(true);
  body_ = new QVBoxLayout(this);
  body_->setContentsMargins(4, 4, 4, 6);
  body_->setSpacing(4);
}

DragLabel* Panel::add_title(const QString& label_name, const QString& caption) {
  auto* label = new DragLabel(caption, this, this);
  label->setObjectName(label_name);
  style_title(label);
  title_row_ = new QWidget(this);
  auto* row = new QHBoxLayout(title_row_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(label, 1);
  body_->insertWidget(0, title_row_);
  return label;
}

void Panel::add_fixed_title(const QString& caption) {
  auto* label = new QLabel(caption, this);
  style_title(label);
  body_->insertWidget(0, label);
}

ClickLabel* Panel::add_close_label(const QString& label_name) {
  auto* close = new ClickLabel(QStringLiteral("X"), title_row_ ? title_row_ : this);
  close->setObjectName(label_name);
  style_title(close);
  close->setCursor(Qt::PointingHandCursor);
  if (title_row_) static_cast<QHBoxLayout*>(title_row_->layout())->addWidget(close);
  return close;
}

void Panel::setVisible(bool visible) {
  if (visible && !fitted_) {
    fitted_ = true;
    first_show();
  }
  QFrame::setVisible(visible);
}

void Panel::first_show() {
  fit();
  centre_in_parent(this);
}

void Panel::fit() {
  layout()->activate();
  setFixedSize(sizeHint());
}

void centre_in_parent(QWidget* widget) {
  const QWidget* parent = widget->parentWidget();
  if (!parent) return;
  widget->move((parent->width() - widget->width()) / 2, (parent->height() - widget->height()) / 2);
}

QWidget* front_visible_child(const QWidget* parent, const std::function<bool(const QWidget*)>& ground) {
  const QObjectList& children = parent->children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    auto* w = qobject_cast<QWidget*>(*it);
    if (w && w->isVisible() && !ground(w)) return w;
  }
  return nullptr;
}

void keep_children_inside(QWidget* parent, const QWidget* except) {
  const QSize area = parent->size();
  for (QObject* child : parent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w == except) continue;
    const int x = std::clamp(w->x(), 0, std::max(0, area.width() - w->width()));
    const int y = std::clamp(w->y(), 0, std::max(0, area.height() - w->height()));
    if (x != w->x() || y != w->y()) w->move(x, y);
  }
}

}  // namespace zorvane
