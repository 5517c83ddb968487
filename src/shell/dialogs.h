// Message boxes and file dialogs, behind one small interface so tests answer them
// instead of blocking. Filters use the "Description|pattern|..." form.
#pragma once

#include <QString>
#include <optional>

namespace zorvane {

struct FileDialogRequest {
  QString title;
  QString filter;       // "AIM Files (*.AIM)|*.aim|AIM Files"
  int filter_index = 1;  // 1-based, as the filter's pairs are counted
  QString folder;       // where the dialog starts
  QString file_name;    // proposed name, empty for none
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box with only an OK button.
  virtual void message(const QString& text, const QString& title) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool ask(const QString& text, const QString& title) = 0;
  // The chosen file's full path, or nothing when the user cancelled.
  virtual std::optional<QString> open_file(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> save_file(const FileDialogRequest& request) = 0;
};

}  // namespace zorvane
