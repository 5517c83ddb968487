// Controls that hold the settings. Each control writes every edit straight into the
// Settings it was made for, so everything that reads a setting sees the edit at once.
#pragma once

#include <QCheckBox>

#include "config/settings.h"

class QLineEdit;
class QRadioButton;

namespace zorvane {

// A check box the user toggles between checked and unchecked; the greyed state (2) is
// only ever set from the file.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override;
};

// A text box for the text setting on `line`, named after its control. Control characters
// (bytes 0-31 and 127, line breaks among them) are dropped as they enter it.
QLineEdit* make_text_control(Settings& settings, int line, QWidget* parent);
// A check box for the check setting on `line`, captioned and named from the table.
CheckBox* make_check_control(Settings& settings, int line, QWidget* parent);
// The option button of line 38 or 39 ("Run maximized" / "Set Size").
QRadioButton* make_option_control(Settings& settings, int line, QWidget* parent);

// Shows the settings' current values in every setting control found under `root`,
// without writing them back (so bytes that the controls cannot show stay as read).
void show_settings(QWidget* root, const Settings& settings);

}  // namespace zorvane
