// Line files and safe file replacement. File contents are byte strings, so files in any
// 8-bit code page round-trip byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

// Splits text into lines where CR LF or CR alone ends a line; LF alone stays a character
// of the line. A final line without a line end counts; an empty text has no lines.
std::vector<std::string> split_lines_cr(std::string_view text);

// Splits text where CR LF, CR or LF ends a line. For files whose values can never hold
// a line break (settings, rosters), so a file saved with LF endings still reads.
std::vector<std::string> split_lines_any(std::string_view text);

// Joins lines, each followed by CR LF.
std::string join_crlf(const std::vector<std::string>& lines);

struct FileResult {
  bool ok = false;
  std::string error;  // why it failed, for the user; empty on success
};

struct ReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;
};

// Reads a whole file. Fails with a reason for a missing file, a folder, an unreadable
// file or one larger than max_bytes.
ReadResult read_file(const std::string& path, std::size_t max_bytes = 64u << 20);

// Replaces a file atomically: writes a temporary file beside it, flushes it to disk and
// renames it over the old one. On failure the old file stays whole.
FileResult write_file_atomic(const std::string& path, std::string_view bytes);

// Appends bytes to a file, creating it when missing.
FileResult append_file(const std::string& path, std::string_view bytes);

}  // namespace zorvane
