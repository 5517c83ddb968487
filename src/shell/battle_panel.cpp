#include "shell/battle_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace zorvane {

BattlePanel::BattlePanel(QWidget* parent)
    : QFrame(parent), label_(new QLabel(tr("Battle in progress..."), this)),
      abort_button_(new QPushButton(tr("Abort battle"), this)) {
  setObjectName(QStringLiteral("BattlePanel"));
  label_->setObjectName(QStringLiteral("BattleProgress"));
  abort_button_->setObjectName(QStringLiteral("AbortBattle"));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);
  if (!parent) setWindowTitle(tr("Battle"));

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(abort_button_);

  connect(abort_button_, &QPushButton::clicked, this, [this] {
    abort_button_->setEnabled(false);
    emit abort_requested();
  });

  adjustSize();
  if (parent) move((parent->width() - width()) / 2, (parent->height() - height()) / 2);
}

}  // namespace zorvane
