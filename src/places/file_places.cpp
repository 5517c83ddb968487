#include "places/file_places.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QtGlobal>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "campaign/battle_log.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "display/snapshot.h"

namespace zorvane {
namespace {

// The shipped files the user's folder starts with.
const QStringList kUserDefaults = {QStringLiteral("config.dat"), QStringLiteral("c_data.dat")};

const QStringList& written_at_run_time() {
  static const QStringList names = kUserDefaults + QStringList{
      QString::fromLatin1(kBattleLogFileName.data(), static_cast<qsizetype>(kBattleLogFileName.size())),
      QString::fromLatin1(kScenarioFileName),
      QString::fromLatin1(kResultFileName),
      QStringLiteral("autosave.sav"),
      QString::fromLatin1(kSnapshotFileName.data(), static_cast<qsizetype>(kSnapshotFileName.size())),
  };
  return names;
}

std::string path_bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString path_text(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
QString in_folder(const QString& folder, const QString& name) { return QDir(folder).filePath(name); }

}  // namespace

FilePlaces FilePlaces::portable(const QString& program_folder) {
  FilePlaces places;
  places.user_folder_ = places.data_folder_ = QDir::cleanPath(program_folder);
  return places;
}

QString FilePlaces::data_folder_for(const QString& program_folder) {
  const QString program = QDir::cleanPath(program_folder);
  if (QFileInfo::exists(in_folder(program, QStringLiteral("config.dat")))) return program;
  const QString shipped = QDir::cleanPath(in_folder(program, QStringLiteral(ZORVANE_DATA_FROM_PROGRAM)));
  return QFileInfo::exists(in_folder(shipped, QStringLiteral("config.dat"))) ? shipped : program;
}

FilePlaces FilePlaces::choose(const QString& program_folder, const QString& user_folder) {
  FilePlaces places = portable(program_folder);
  places.data_folder_ = data_folder_for(program_folder);
  // A standard install is never written to, even by a user who could (root, say): the
  // package manager owns those files.
  places.installed_ = places.data_folder_ != places.user_folder_ || !QFileInfo(places.user_folder_).isWritable();
  if (!places.installed_) return places;
  if (user_folder.isEmpty()) {
    places.user_folder_ = places.data_folder_;
    places.problem_ = QStringLiteral("No folder for your own files was found (is HOME set?).");
    return places;
  }
  places.user_folder_ = QDir::cleanPath(user_folder);
  places.fill_user_folder();
  return places;
}

FilePlaces FilePlaces::at_start_up(const QString& program_folder) {
  FilePlaces places =
      choose(program_folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
  if (!places.problem_.isEmpty()) qWarning("%s", qPrintable(places.problem_));
  return places;
}

void FilePlaces::fill_user_folder() {
  const QFileInfo folder(user_folder_);
  // Only this user reads their log and saves.
  if (!folder.isDir() && !(QDir().mkpath(folder.absolutePath()) &&
                           QDir().mkdir(user_folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))) {
    problem_ = QStringLiteral("The folder for your own files \"%1\" could not be made.")
                   .arg(QDir::toNativeSeparators(user_folder_));
    return;
  }
  QStringList problems;
  for (const QString& name : kUserDefaults) {
    const QString mine = in_folder(user_folder_, name);
    const QString shipped = in_folder(data_folder_, name);
    // A name that is taken in any way (even by a dangling link) is the user's business.
    if (QFileInfo(mine).exists() || QFileInfo(mine).isSymLink() || !QFileInfo::exists(shipped)) continue;
    const ReadResult read = read_file(path_bytes(shipped));
    const FileResult written = read.ok ? write_file_atomic(path_bytes(mine), read.bytes) : FileResult{false, read.error};
    if (!written.ok) {
      problems << QStringLiteral("The shipped \"%1\" could not be copied to \"%2\": %3.")
                      .arg(QDir::toNativeSeparators(shipped), QDir::toNativeSeparators(mine),
                           QString::fromLocal8Bit(written.error.c_str()));
    }
  }
  problem_ = problems.join(QLatin1Char('\n'));
}

QString FilePlaces::file(const QString& name) const {
  if (name == QLatin1String(kScenarioFileName) || name == QLatin1String(kResultFileName) ||
      name == QLatin1String("autosave.sav")) {
    return in_folder(scratch_folder(), name);
  }
  const QString mine = in_folder(user_folder_, name);
  if (!installed_ || written_at_run_time().contains(name) || QFileInfo::exists(mine)) return mine;
  const QString shipped = in_folder(data_folder_, name);
  return QFileInfo::exists(shipped) ? shipped : mine;
}

std::vector<std::string> FilePlaces::search_folders() const {
  std::vector<std::string> folders{path_bytes(user_folder_)};
  if (data_folder_ != user_folder_) folders.push_back(path_bytes(data_folder_));
  return folders;
}

std::string FilePlaces::resolve(std::string_view path) const { return resolve_in_folders(search_folders(), path); }

QString FilePlaces::folder_holding(std::string_view path) const {
  return path_text(zorvane::folder_holding(search_folders(), path));
}

QString FilePlaces::maps_folder() const {
  const QString maps = in_folder(data_folder_, QStringLiteral("maps"));
  return installed_ && QFileInfo(maps).isDir() ? maps : user_folder_;
}

QString FilePlaces::description() const {
  if (!installed_) {
    return QStringLiteral("Every file is kept in the program folder %1").arg(QDir::toNativeSeparators(user_folder_));
  }
  return QStringLiteral("Your settings, armies, battle log, autosave and snapshot are kept in %1\n"
                        "The shipped maps, help and tactical game are in %2")
      .arg(QDir::toNativeSeparators(user_folder_), QDir::toNativeSeparators(data_folder_));
}

}  // namespace zorvane
