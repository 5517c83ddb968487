// The real dialogs: Qt's own (non-native) message boxes and file dialogs.
#pragma once

#include <QStringList>

#include "shell/dialogs.h"

class QWidget;

namespace zorvane {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }

  void message(const QString& text, const QString& title) override;
  bool ask(const QString& text, const QString& title) override;
  std::optional<QString> open_file(const FileDialogRequest& request) override;
  std::optional<QString> save_file(const FileDialogRequest& request) override;

 private:
  std::optional<QString> run_file_dialog(const FileDialogRequest& request, bool save);
  QWidget* parent_;
};

// Turns a "Description|pattern|Description|pattern" filter into Qt name filters. Patterns
// are matched in upper and lower case alike, as on Windows; a dangling last part is dropped.
QStringList qt_name_filters(const QString& filter);

}  // namespace zorvane
