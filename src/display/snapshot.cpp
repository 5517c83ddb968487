#include "display/snapshot.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include "common/paths.h"

namespace zorvane {

std::string snapshot_path(std::string_view program_folder) { return join_path(program_folder, kSnapshotFileName); }

std::string save_snapshot(const QImage& surface, const std::string& path) {
  const std::string failed = "The snapshot cannot be saved to \"" + path + "\": ";
  if (surface.isNull()) return failed + "there is no map picture to save.";
  QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::WriteOnly)) return failed + file.errorString().toStdString() + ".";
  QImageWriter writer(&file, "bmp");
  const bool written = writer.write(surface);
  // Take the reason before anything else touches the file: after a failed commit the
  // error text can read "Unknown error".
  if (!written || file.error() != QFileDevice::NoError) {
    const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    file.cancelWriting();  // the temporary file is discarded; the old snapshot stays
    return failed + reason.toStdString() + ".";
  }
  if (!file.commit()) {
    const QString reason = file.errorString();
    return failed + (reason.isEmpty() ? QStringLiteral("the file could not be replaced") : reason).toStdString() + ".";
  }
  return {};
}

}  // namespace zorvane
