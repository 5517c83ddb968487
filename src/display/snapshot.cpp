#include "display/snapshot.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "common/linefile.h"
#include "common/paths.h"

namespace zorvane {

std::string snapshot_path(std::string_view program_folder) { return join_path(program_folder, kSnapshotFileName); }

std::string save_snapshot(const QImage& surface, const std::string& path) {
  const std::string failed = "The snapshot cannot be saved to \"" + path + "\": ";
  if (surface.isNull()) return failed + "there is no map picture to save.";
  // Encoded first, then written as a generated file: a link planted where the snapshot
  // goes is replaced, not written through.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "bmp");
  if (!writer.write(surface)) return failed + writer.errorString().toStdString() + ".";
  const FileResult written =
      write_generated_file(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (!written.ok) return failed + written.error + ".";
  return {};
}

}  // namespace zorvane
