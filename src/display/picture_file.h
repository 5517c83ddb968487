// Reading a picture file the user named (the map's background), with the reason when it
// cannot be read. Only plain files are opened: a named pipe or a device would wait for ever.
#pragma once

#include <QImage>
#include <QString>

namespace zorvane {

struct PictureRead {
  QImage image;    // null when the file could not be read
  QString reason;  // why, for a message: "the file does not exist", the reader's error
};

PictureRead read_picture_file(const QString& path);

}  // namespace zorvane
