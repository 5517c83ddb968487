// Conversions between the program's byte-string texts and Qt strings. Texts and paths are
// in the system's 8-bit encoding (the active code page on Windows, UTF-8 elsewhere), which
// is also what the operating system takes for file names.
#pragma once

#include <QString>
#include <string>

namespace zorvane {

inline QString qt_text(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string text_bytes(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace zorvane
