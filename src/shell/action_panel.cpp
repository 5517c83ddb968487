#include "shell/action_panel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "display/map_painter.h"
#include "display/sprites.h"
#include "shell/labels.h"
#include "shell/list_text.h"
#include "shell/qt_text.h"

namespace zorvane {
namespace {
QLabel* header(const QString& name, const QString& caption, QWidget* parent, QRect geometry) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setAutoFillBackground(true);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(geometry);
  return label;
}

QListWidget* list(const QString& name, QWidget* parent, QRect geometry) {
  auto* w = new QListWidget(parent);
  w->setObjectName(name);
  w->setGeometry(geometry);
  return w;
}

// Refills a list only when its entries changed, so the user's selection survives a refresh.
void fill_list(QListWidget* list, std::vector<std::string>& shown, const std::vector<std::string>& entries,
               int selected) {
  if (shown != entries) {
    list->clear();
    for (const std::string& entry : entries) list->addItem(list_text(entry));
    shown = entries;
  }
  if (list->currentRow() != selected) list->setCurrentRow(selected);
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent, QRect geometry) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->setGeometry(geometry);
  return b;
}
}  // namespace

ActionPanel::ActionPanel(QWidget* parent) : SurfaceWidget(QStringLiteral("Picture2"), parent) {
  constexpr int kWidth = 400;
  constexpr int kHeight = 240;
  make_surface(QSize(kWidth, kHeight), QColor(192, 192, 192));

  mode_label = new DragLabel(QStringLiteral("?"), this, this);
  mode_label->setObjectName(QStringLiteral("Label6"));
  style_strip(mode_label, QColor(0, 0, 128), QColor(255, 255, 255));
  mode_label->setAlignment(Qt::AlignCenter);
  mode_label->setGeometry(0, 0, kWidth, 20);

  flag_icon = new SurfaceWidget(QStringLiteral("Picture10"), this);
  flag_icon->set_surface(flag_sprite());
  flag_icon->move(6, 26);
  unit_icon = new SurfaceWidget(QStringLiteral("Picture9"), this);
  unit_icon->set_surface(unit_sprite());
  unit_icon->move(6, 26);

  source_label = new QLabel(QStringLiteral("0"), this);
  source_label->setObjectName(QStringLiteral("Label1"));
  source_label->setGeometry(40, 28, 80, 18);
  target_label = new QLabel(QStringLiteral("0"), this);
  target_label->setObjectName(QStringLiteral("Label2"));
  target_label->setGeometry(280, 28, 80, 18);

  available_header = header(QStringLiteral("Label5"), QStringLiteral("Available"), this, QRect(8, 52, 120, 18));
  new_header = header(QStringLiteral("Label3"), QStringLiteral("New"), this, QRect(184, 52, 100, 18));
  current_header = header(QStringLiteral("Label4"), QStringLiteral("Current"), this, QRect(292, 52, 100, 18));
  available = list(QStringLiteral("List1"), this, QRect(8, 72, 120, 120));
  chosen = list(QStringLiteral("List2"), this, QRect(184, 72, 100, 120));
  current = list(QStringLiteral("List3"), this, QRect(292, 72, 100, 120));
  add_button = button(QStringLiteral("Command1"), QStringLiteral(">"), this, QRect(136, 90, 40, 26));
  remove_button = button(QStringLiteral("Command2"), QStringLiteral("<"), this, QRect(136, 130, 40, 26));
  ok_button = button(QStringLiteral("Command3"), QStringLiteral("OK"), this, QRect(214, 204, 80, 28));
  cancel_button = button(QStringLiteral("Command4"), QStringLiteral("Cancel"), this, QRect(304, 204, 88, 28));
  for (QListWidget* w : {available, chosen, current}) w->setUniformItemSizes(true);
  setFixedSize(kWidth, kHeight);
}

void ActionPanel::show_model(const ActionPanelModel& model) {
  refilling_ = true;
  mode_label->setText(qt_text(model.mode));
  source_label->setText(QString::number(model.source));
  target_label->setText(QString::number(model.target));
  fill_list(available, shown_[0], model.available, model.available_selected);
  fill_list(chosen, shown_[1], model.chosen, model.chosen_selected);
  fill_list(current, shown_[2], model.current, -1);
  add_button->setEnabled(model.add_enabled);
  remove_button->setEnabled(model.remove_enabled);
  ok_button->setEnabled(model.ok_enabled);
  flag_icon->setVisible(model.icon == PanelIcon::flag);
  unit_icon->setVisible(model.icon == PanelIcon::unit);
  if (model.current_header) {
    QPalette pal = current_header->palette();
    pal.setColor(QPalette::Window, to_qcolor(*model.current_header));
    pal.setColor(QPalette::WindowText, Qt::white);
    current_header->setPalette(pal);
  }
  setVisible(model.visible);
  if (model.visible) raise();
  refilling_ = false;
}

}  // namespace zorvane
