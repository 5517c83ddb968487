#include "shell/viewer_panel.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "shell/labels.h"

namespace zorvane {

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
  text->setFixedSize(640, 380);
  body()->addWidget(text);
  fit();
}

}  // namespace zorvane
