#include "shell/qt_dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <vector>

namespace zorvane {

namespace {

// Shows the box with the arrow: a wait cursor left on would tell the user to wait for a box
// that waits for them.
int run_box(QMessageBox& box) {
  std::vector<QCursor> waiting;
  while (const QCursor* cursor = QApplication::overrideCursor()) {
    waiting.push_back(*cursor);
    QApplication::restoreOverrideCursor();
  }
  const int answer = box.exec();
  for (auto it = waiting.rbegin(); it != waiting.rend(); ++it) QApplication::setOverrideCursor(*it);
  return answer;
}

}  // namespace

void QtDialogs::message(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
  run_box(box);
}

bool QtDialogs::ask(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  return run_box(box) == QMessageBox::Yes;
}

QStringList qt_name_filters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    // Qt reads the patterns from a trailing "(...)", so the description's own one goes.
    description.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString p = pattern.trimmed();
      for (const QString& variant : {p, p.toLower(), p.toUpper()}) {
        if (!patterns.contains(variant)) patterns << variant;
      }
    }
    filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
  }
  return filters;
}

std::optional<QString> QtDialogs::run_file_dialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent_, request.title, request.folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  // A save replaces an existing file without asking, as File, Save always has.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = qt_name_filters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = request.filter_index - 1;
    if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
  }
  if (save) {
    // "name" typed without an extension is saved as "name.sav" under a "*.sav" filter.
    const QStringList parts = request.filter.split(QLatin1Char('|'));
    const QString pattern = parts.size() >= 2 ? parts[1].trimmed() : QString();
    if (pattern.startsWith(QLatin1String("*.")) && pattern.count(QLatin1Char('*')) == 1 &&
        !pattern.contains(QLatin1Char(';'))) {
      dialog.setDefaultSuffix(pattern.mid(2));
    }
  }
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}

std::optional<QString> QtDialogs::open_file(const FileDialogRequest& request) {
  return run_file_dialog(request, false);
}

std::optional<QString> QtDialogs::save_file(const FileDialogRequest& request) {
  return run_file_dialog(request, true);
}

}  // namespace zorvane
