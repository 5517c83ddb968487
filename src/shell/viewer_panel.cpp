#include "shell/viewer_panel.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/labels.h"

namespace zorvane {
namespace {
constexpr int kTextWidth = 640;
constexpr int kTextHeight = 380;
}  // namespace

ViewerPanel::ViewerPanel(QWidget* parent) : Panel(QStringLiteral("Picture4"), parent) {
  title = add_title(QStringLiteral("Label18"), QString());
  close_label = add_close_label(QStringLiteral("Label34"));
  text = new QPlainTextEdit(this);
  text->setObjectName(QStringLiteral("Text11"));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
  font.setPointSize(9);
  text->setFont(font);
  text->setFixedSize(kTextWidth, kTextHeight);
  body()->addWidget(text);
  fit();
}

void ViewerPanel::fit_within(QSize area) {
  const QSize frame = size() - text->size();  // title strip, margins and border
  text->setFixedSize(std::clamp(area.width() - frame.width() - 8, 120, kTextWidth),
                     std::clamp(area.height() - frame.height() - 8, 80, kTextHeight));
  fit();
  move(std::clamp(x(), 0, std::max(0, area.width() - width())), std::clamp(y(), 0, std::max(0, area.height() - height())));
}

}  // namespace zorvane
