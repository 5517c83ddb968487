// Where the program's files live, chosen once at start-up.
// Portable: the program's folder holds the shipped data and this user can write to it, so
// everything stays there and the folder can be copied anywhere.
// Installed: the shipped data are read-only for this user (a program folder that is not
// writable, or a standard install whose data lie in ../share/zorvane beside bin/). The files
// written at run time then live in the user's own folder, which is filled with copies of
// the shipped config.dat and c_data.dat when it lacks them; relative paths are looked up in
// the user's folder first, then in the shipped one.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

class FilePlaces {
 public:
  // Portable on this folder whatever its permissions.
  static FilePlaces portable(const QString& program_folder);
  // Looks at the program's folder and chooses; when installed, makes and fills user_folder.
  static FilePlaces choose(const QString& program_folder, const QString& user_folder);
  // choose() with this user's application data folder (QStandardPaths::AppDataLocation).
  static FilePlaces at_start_up(const QString& program_folder);
  // The folder of the shipped data for a program in program_folder: that folder, unless it
  // holds no config.dat and the standard install's data folder beside it does.
  static QString data_folder_for(const QString& program_folder);

  bool installed() const { return installed_; }
  // Where the program writes: the user's folder, or the program folder when portable.
  const QString& user_folder() const { return user_folder_; }
  // Where the shipped files are: the program folder, or the standard install's data folder.
  const QString& data_folder() const { return data_folder_; }
  // Where the battle's scenario and result files and the autosave go: the user's folder,
  // unless another copy of the program uses it and this copy keeps them apart.
  const QString& scratch_folder() const { return scratch_folder_.isEmpty() ? user_folder_ : scratch_folder_; }
  void keep_scratch_in(const QString& folder) { scratch_folder_ = folder; }

  // The path of a program file by name. The files written at run time (config.dat,
  // c_data.dat, the battle log, the battle's scenario and result, the autosave, the
  // snapshot) are always the user's (the battle files and the autosave in the scratch
  // folder); any other (Help.txt) is the user's own copy when there
  // is one, else the shipped one when there is one, else the user's.
  QString file(const QString& name) const;
  // The folders relative paths are looked up in, the user's first (one when portable).
  std::vector<std::string> search_folders() const;
  // A path from the settings, taken against the first search folder that holds it.
  // Blank and absolute paths stay as they are.
  std::string resolve(std::string_view path) const;
  // The search folder a relative path is taken against (the user's when none holds it).
  QString folder_holding(std::string_view path) const;
  // Where choosing a campaign map starts: the shipped maps when installed.
  QString maps_folder() const;
  // Which folders are in use, for a tooltip.
  QString description() const;
  // What went wrong making or filling the user's folder; empty when nothing did.
  const QString& problem() const { return problem_; }

 private:
  FilePlaces() = default;
  void fill_user_folder();

  bool installed_ = false;
  QString user_folder_;
  QString data_folder_;
  QString scratch_folder_;
  QString problem_;
};

}  // namespace zorvane
