#include "shell/viewer_panel.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "common/linefile.h"
#include "shell/labels.h"
#include "shell/qt_text.h"

namespace zorvane {
namespace {

// The viewer shows at most this much of a file, and says what it leaves out: laying out a
// huge battle report or log would freeze the window.
constexpr std::uint64_t kViewerMaxBytes = 1u << 20;
constexpr std::size_t kViewerMaxLines = 20000;
constexpr std::size_t kViewerMaxLineBytes = 4096;

QString amount_text(std::uint64_t bytes) {
  if (bytes >= (1u << 20)) return QStringLiteral("%1 MiB").arg(static_cast<double>(bytes) / (1u << 20), 0, 'f', 1);
  if (bytes >= (1u << 10)) return QStringLiteral("%1 KiB").arg(static_cast<double>(bytes) / (1u << 10), 0, 'f', 1);
  return QStringLiteral("%1 bytes").arg(bytes);
}

}  // namespace

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
  text->setFixedSize(kTextWidth, kTextHeight);
  body()->addWidget(text);
}

void ViewerPanel::first_show() {
  // Set here, not when the window is made: finding the font takes longer than the window's
  // first paint should wait.
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
  font.setPointSize(9);
  text->setFont(font);
  Panel::first_show();
  if (parentWidget()) fit_within(parentWidget()->size());
}

void ViewerPanel::fit_within(QSize area) {
  if (!fitted()) return;  // the first show fits it to the area then
  const QSize frame = size() - text->size();  // title strip, margins and border
  text->setFixedSize(std::clamp(area.width() - frame.width() - 8, 120, kTextWidth),
                     std::clamp(area.height() - frame.height() - 8, 80, kTextHeight));
  fit();
  move(std::clamp(x(), 0, std::max(0, area.width() - width())), std::clamp(y(), 0, std::max(0, area.height() - height())));
}

void ViewerPanel::show_file(const QString& title, const QString& path, bool is_log) {
  this->title->setText(title);
  LineReader reader(text_bytes(path), LineEnds::any, {.max_line_bytes = kViewerMaxLineBytes});
  QString text;
  std::string line;
  std::size_t lines = 0;
  std::size_t cut_lines = 0;
  while (reader.bytes_used() < kViewerMaxBytes && lines < kViewerMaxLines && reader.next(line)) {
    text += qt_text(line);
    if (reader.line_cut()) {
      text += QChar(0x2026);
      ++cut_lines;
    }
    text += QLatin1Char('\n');
    ++lines;
  }
  // Stopped by a limit: whatever is left of the file is cut, if anything is.
  const std::uint64_t shown = reader.bytes_used();
  const bool cut = (lines == kViewerMaxLines || shown >= kViewerMaxBytes) && reader.next(line);
  if (reader.failed()) {
    text = is_log && QFileInfo::exists(path) ? QStringLiteral("Buffer exceeded...")
                                             : QStringLiteral("\"%1\" cannot be shown: %2.\n").arg(path, qt_text(reader.error()));
  } else {
    if (cut_lines > 0) {
      text += QStringLiteral("\n[%1 lines longer than %2 characters are cut short (\u2026).]\n").arg(cut_lines).arg(
          kViewerMaxLineBytes);
    }
    if (cut) {
      text += QStringLiteral("\n[Only the first %1 lines are shown; the remaining %2 of the file are cut.]\n")
                  .arg(lines)
                  .arg(amount_text(reader.input_size() - std::min(shown, reader.input_size())));
    }
  }
  show();
  raise();
  this->text->setPlainText(text);
  // A log is read from its newest line.
  if (is_log) {
    this->text->moveCursor(QTextCursor::End);
    this->text->verticalScrollBar()->setValue(this->text->verticalScrollBar()->maximum());
  }
}

void ViewerPanel::show_text(const QString& title, const QString& text) {
  this->title->setText(title);
  show();
  raise();
  this->text->setPlainText(text);
}

}  // namespace zorvane
