#include "shell/folder_claim.h"

#include <QDir>

#include "common/folder_lock.h"
#include "shell/qt_text.h"

namespace zorvane {

FolderClaim::FolderClaim(const QString& program_folder)
    : program_folder_(program_folder), files_folder_(program_folder) {}

FolderClaim::~FolderClaim() = default;

QString FolderClaim::claim() {
  lock_ = std::make_unique<FolderLock>(text_bytes(QDir::toNativeSeparators(program_folder_)));
  // A folder that takes no lock file takes no battle files either: nothing to keep apart.
  if (!lock_->in_use()) return {};
  QString text = qt_text(lock_->in_use_text());
  text[0] = text[0].toUpper();  // "the folder ..." starts the sentence
  std::string error;
  const std::string own = make_private_folder("zorvane-", error);
  if (own.empty()) {
    return text + QStringLiteral(".\nNo folder of this copy's own could be made (%1): the two copies share the battle "
                                 "files and the autosave.")
                      .arg(qt_text(error));
  }
  files_folder_ = qt_text(own);
  return text + QStringLiteral(".\nThis copy keeps its battle files and its autosave apart, in %1.")
                    .arg(QDir::toNativeSeparators(files_folder_));
}

}  // namespace zorvane
