#include "display/picture_file.h"

#include <QFileInfo>
#include <QImageReader>

namespace zorvane {

PictureRead read_picture_file(const QString& path) {
  PictureRead read;
  const QFileInfo info(path);
  if (!info.exists()) {
    read.reason = QStringLiteral("the file does not exist");
  } else if (!info.isFile()) {
    read.reason = info.isDir() ? QStringLiteral("it is a folder, not a file") : QStringLiteral("it is not a plain file");
  } else {
    QImageReader reader(path);
    read.image = reader.read();
    if (read.image.isNull()) read.reason = reader.errorString();
  }
  return read;
}

}  // namespace zorvane
