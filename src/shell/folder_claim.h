// Two windows started on one program folder: the first takes the folder's lock; a later one
// says at once which copy holds it and keeps its battle files (scenario and result) and its
// autosave in a private folder of its own, so the two never read each other's battles or
// replace each other's autosave. Settings, rosters and the battle log stay shared.
#pragma once

#include <QString>
#include <memory>

namespace zorvane {

class FolderLock;

class FolderClaim {
 public:
  explicit FolderClaim(const QString& program_folder);
  ~FolderClaim();
  FolderClaim(const FolderClaim&) = delete;
  FolderClaim& operator=(const FolderClaim&) = delete;

  // Takes the program folder's lock. Returns the notice for the user when another copy
  // holds it (the private folder is made then), or "" when this copy has the folder.
  QString claim();
  // Where the battle files and the autosave go: the program folder, or the private folder.
  const QString& files_folder() const { return files_folder_; }

 private:
  QString program_folder_;
  QString files_folder_;
  std::unique_ptr<FolderLock> lock_;
};

}  // namespace zorvane
