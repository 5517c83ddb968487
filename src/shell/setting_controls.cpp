#include "shell/setting_controls.h"

#include <QHash>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include "shell/qt_text.h"

namespace zorvane {

void CheckBox::nextCheckState() { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }

namespace {
const SettingInfo& info_for(int line) { return setting_table()[static_cast<std::size_t>(line - 1)]; }

bool is_control(QChar c) { return c.unicode() < 32 || c.unicode() == 127; }

Qt::CheckState to_check_state(int value) {
  return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}
}  // namespace

QLineEdit* make_text_control(Settings& settings, int line, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(info_for(line).control));
  edit->setText(qt_text(*text_setting(settings, line)));
  // A text setting never holds a control character: a pasted or browsed line break would
  // split its line of config.dat in two and shift every later setting. Typing, pasting,
  // setText and the browse buttons all pass through textChanged.
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, &settings, line](const QString& text) {
    QString clean = text;
    clean.removeIf(is_control);
    if (clean.size() != text.size()) {
      QString before_cursor = text.left(edit->cursorPosition());
      before_cursor.removeIf(is_control);
      const QSignalBlocker block(edit);
      edit->setText(clean);
      edit->setCursorPosition(static_cast<int>(before_cursor.size()));
    }
    *text_setting(settings, line) = text_bytes(clean);
  });
  return edit;
}

CheckBox* make_check_control(Settings& settings, int line, QWidget* parent) {
  const SettingInfo& info = info_for(line);
  auto* box = new CheckBox(QString::fromLatin1(info.caption), parent);
  box->setObjectName(QString::fromLatin1(info.control));
  box->setCheckState(to_check_state(*check_setting(settings, line)));
  QObject::connect(box, &QCheckBox::stateChanged, box, [&settings, line](int state) {
    *check_setting(settings, line) = state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
  });
  return box;
}

QRadioButton* make_option_control(Settings& settings, int line, QWidget* parent) {
  const SettingInfo& info = info_for(line);
  auto* option = new QRadioButton(QString::fromLatin1(info.caption), parent);
  option->setObjectName(QString::fromLatin1(info.control));
  option->setChecked(line == 38 ? settings.run_maximized : !settings.run_maximized);
  QObject::connect(option, &QRadioButton::toggled, option, [&settings, line](bool on) {
    if (on) settings.run_maximized = line == 38;
  });
  return option;
}

void show_settings(QWidget* root, const Settings& settings) {
  // One walk over the window's widgets, not one search per setting.
  QHash<QString, QWidget*> controls;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!w->objectName().isEmpty()) controls.insert(w->objectName(), w);
  }
  for (const SettingInfo& info : setting_table()) {
    QWidget* control = controls.value(QString::fromLatin1(info.control));
    switch (info.kind) {
      case SettingKind::Text:
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
          const QSignalBlocker block(edit);
          edit->setText(qt_text(*text_setting(settings, info.line)));
          edit->setCursorPosition(0);
        }
        break;
      case SettingKind::Check:
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
          const QSignalBlocker block(box);
          box->setCheckState(to_check_state(*check_setting(settings, info.line)));
        }
        break;
      case SettingKind::Option:
        if (auto* option = qobject_cast<QRadioButton*>(control)) {
          const QSignalBlocker block(option);
          const bool chosen = info.line == 38 ? settings.run_maximized : !settings.run_maximized;
          option->setChecked(chosen);
        }
        break;
    }
  }
}

}  // namespace zorvane
