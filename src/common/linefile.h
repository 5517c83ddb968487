// Line files and safe file replacement. File contents are byte strings, so files in any
// 8-bit code page round-trip byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
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
  // A rewrite in place failed part way: the old file may be damaged (error says so too).
  bool old_file_damaged = false;
};

struct ReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;
};

// The largest file read_file takes in unless told otherwise.
inline constexpr std::uint64_t kDefaultMaxFileBytes = 64u << 20;

// "512 bytes", "3 KiB", "16 MiB": a byte count for messages, in KiB or MiB when it is a
// whole number of them.
std::string size_text(std::uint64_t bytes);

// Reads a whole plain file. Fails with a reason for a missing file, a folder, a named
// pipe, a device, an unreadable file or one larger than max_bytes.
ReadResult read_file(const std::string& path, std::uint64_t max_bytes = kDefaultMaxFileBytes);

enum class LineEnds {
  cr,   // CR LF or CR alone ends a line; LF alone is a character (as split_lines_cr)
  any,  // CR LF, CR or LF ends a line (as split_lines_any)
};

struct LineLimits {
  // A longer line keeps its first max_line_bytes bytes; the rest is passed over.
  std::size_t max_line_bytes = SIZE_MAX;
  // Needing bytes beyond this to finish a line fails the read ("larger than ...").
  std::uint64_t max_bytes = kDefaultMaxFileBytes;
};

// Reads lines one at a time from a plain file (or from bytes in memory), so memory
// follows the longest line kept, not the file. Lines split as split_lines_cr or
// split_lines_any do.
class LineReader {
 public:
  LineReader(const std::string& path, LineEnds ends, LineLimits limits = {});
  LineReader(std::string_view bytes, LineEnds ends, LineLimits limits = {});
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line into `line`; false at the end of the input or when reading failed.
  bool next(std::string& line);
  bool failed() const { return !error_.empty(); }
  // Why reading failed ("the file does not exist", "it is a named pipe, not a file", ...).
  const std::string& error() const { return error_; }
  // Whether the last line returned lost bytes to max_line_bytes.
  bool line_cut() const { return line_cut_; }
  // Bytes of the input up to the end of the last line returned, its line end included.
  std::uint64_t bytes_used() const { return used_; }
  // The input's size when it was opened.
  std::uint64_t input_size() const { return size_; }

 private:
  bool fill();  // more bytes into the buffer; false at the end or on failure

  LineEnds ends_;
  LineLimits limits_;
  std::string error_;
  int fd_ = -1;
  std::string_view memory_;
  bool from_memory_ = false;
  std::string buffer_;
  std::size_t at_ = 0;     // next unread byte in buffer_
  std::size_t held_ = 0;   // bytes held in buffer_
  bool eof_ = false;
  bool skip_lf_ = false;  // a CR ended the last chunk: an LF starting the next is its partner
  bool line_cut_ = false;
  std::uint64_t used_ = 0;
  std::uint64_t size_ = 0;
};

// Whether a replacement is forced to disk before it is renamed over the old file: the
// user's files and what the program keeps are; scratch files another program reads at once
// need only the rename, which no reader ever sees half done.
enum class Flush { to_disk, no };

// How a replacement treats a symbolic link found at the path.
enum class Links {
  write_through,  // the user's own files: the link stays and its target is replaced
  replace,        // files the program generates: the link itself is replaced by the file
};

// Replaces a file atomically: writes a temporary file beside it (under a name of its own,
// created exclusively, so two writers never share one), flushes it to disk and renames it
// over the old one. On failure the old file stays whole and the temporary file is removed.
// With Links::write_through a symbolic link is written through: its target is replaced, in
// the target's folder. An existing file keeps its permissions. Where the folder cannot
// take the temporary file but the file itself is writable, the file is rewritten in place
// instead (not atomic, but every step checked, in the order of in_place_steps).
FileResult write_file_atomic(const std::string& path, std::string_view bytes, Links links = Links::write_through,
                             Flush flush = Flush::to_disk);

// Writes a file the program generates (the battle's scenario and result files, the
// autosave, the snapshot, the campaign runner's outputs): as write_file_atomic, but a
// symbolic link planted at the path is replaced, never written through, so a link in a
// shared folder cannot turn the write onto another file.
FileResult write_generated_file(const std::string& path, std::string_view bytes);

// A generated file that another program reads at once (the battle's scenario, the reset of
// its result): as write_generated_file, but not forced to disk.
FileResult write_scratch_file(const std::string& path, std::string_view bytes);

// One step of a rewrite in place: bytes written at offset, or the file cut to offset bytes.
struct InPlaceStep {
  std::uint64_t offset = 0;
  std::string_view bytes;
  bool truncate = false;
};

// The steps that rewrite a file in place with these bytes (views into them). The first
// byte is a carriage return from the first step until the last, so a rewrite cut at any
// point leaves either the old file, the new one, or a file whose line 1 is empty, which a
// save's reader refuses.
std::vector<InPlaceStep> in_place_steps(std::string_view bytes);

// Appends bytes to a plain file, creating it when missing; refuses a pipe or a device, and
// with Links::replace (a file the program generates) a symbolic link too.
FileResult append_file(const std::string& path, std::string_view bytes, Links links = Links::write_through);

}  // namespace zorvane
