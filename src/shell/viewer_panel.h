// The text viewer: one panel that shows the help text, the last battle's report or the
// battle log, with a title strip and a close label.
#pragma once

#include "shell/panel.h"

class QPlainTextEdit;

namespace zorvane {

class DragLabel;
class ClickLabel;

class ViewerPanel : public Panel {
  Q_OBJECT
 public:
  explicit ViewerPanel(QWidget* parent);
  DragLabel* title;         // Label18
  ClickLabel* close_label;  // Label34 "X"
  QPlainTextEdit* text;     // Text11

  // Shrinks the text box (640 by 380 at most) so that the panel, its "X" included, fits
  // inside an area of this size, and moves the panel back inside it.
  void fit_within(QSize area);

  // Shows the file at `path` under this title: at most 1 MiB or 20,000 lines of it, long
  // lines cut, and says what it leaves out. A battle log that exists but cannot be shown
  // reads "Buffer exceeded..."; any other file that cannot be shown is named with why.
  void show_file(const QString& title, const QString& path, bool is_log);
  // Shows a text of the program's own under this title.
  void show_text(const QString& title, const QString& text);

 protected:
  void first_show() override;
};

}  // namespace zorvane
