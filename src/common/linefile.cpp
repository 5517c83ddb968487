#include "common/linefile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zorvane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunk = 64u << 10;

std::string errno_text(int code) { return std::error_code(code, std::generic_category()).message(); }

template <typename IsEnd>
std::vector<std::string> split(std::string_view text, IsEnd is_end) {
  std::vector<std::string> lines;
  std::string current;
  std::size_t i = 0;
  bool pending = false;  // text after the last line end
  while (i < text.size()) {
    const char c = text[i];
    if (is_end(c)) {
      lines.push_back(std::move(current));
      current.clear();
      pending = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
      pending = true;
    }
    ++i;
  }
  if (pending) lines.push_back(std::move(current));
  return lines;
}

#ifndef _WIN32
// Why something of this kind is no file to read or replace, or "" for a plain file.
std::string kind_problem(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a named pipe, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is not a plain file";
}

std::string missing_or(int code) {
  return code == ENOENT || code == ENOTDIR ? "the file does not exist" : errno_text(code);
}

// Opens a plain file for reading. The kind is checked before opening (opening some devices
// has effects of its own) and again on the descriptor; O_NONBLOCK keeps a pipe that slips
// in between from blocking the open.
int open_plain(const std::string& path, std::uint64_t& size, std::string& error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error = missing_or(errno);
    return -1;
  }
  if (error = kind_problem(st.st_mode); !error.empty()) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = missing_or(errno);
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    error = errno_text(errno);
  } else {
    error = kind_problem(st.st_mode);
  }
  if (!error.empty()) {
    ::close(fd);
    return -1;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  return fd;
}

// Bytes read into buffer, 0 at the end, -1 with errno set on failure.
long read_some(int fd, char* buffer, std::size_t size) {
  while (true) {
    const ssize_t got = ::read(fd, buffer, size);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

void close_fd(int fd) { ::close(fd); }

bool write_all(int fd, std::string_view bytes, int& code) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      code = errno;
      return false;
    }
    if (put == 0) {
      code = EIO;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}
#else
int open_plain(const std::string& path, std::uint64_t& size, std::string& error) {
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    error = "the file does not exist";
    return -1;
  }
  if (fs::is_directory(status)) {
    error = "it is a folder, not a file";
    return -1;
  }
  if (!fs::is_regular_file(status)) {
    error = "it is not a plain file";
    return -1;
  }
  const int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    error = errno_text(errno);
    return -1;
  }
  size = static_cast<std::uint64_t>(fs::file_size(path, ec));
  return fd;
}

long read_some(int fd, char* buffer, std::size_t size) {
  return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

void close_fd(int fd) { ::_close(fd); }
#endif

std::string too_large(std::uint64_t max_bytes) { return "the file is larger than " + size_text(max_bytes); }

}  // namespace

std::vector<std::string> split_lines_cr(std::string_view text) {
  return split(text, [](char c) { return c == '\r'; });
}

std::vector<std::string> split_lines_any(std::string_view text) {
  return split(text, [](char c) { return c == '\r' || c == '\n'; });
}

std::string join_crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string size_text(std::uint64_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

ReadResult read_file(const std::string& path, std::uint64_t max_bytes) {
  ReadResult result;
  std::uint64_t size = 0;
  const int fd = open_plain(path, size, result.error);
  if (fd < 0) return result;
  if (size > max_bytes) {
    close_fd(fd);
    result.error = too_large(max_bytes);
    return result;
  }
  // The size may change while reading; it only sets how much room to take at first.
  result.bytes.reserve(static_cast<std::size_t>(size));
  char buffer[kChunk];
  while (true) {
    const long got = read_some(fd, buffer, sizeof buffer);
    if (got < 0) {
      result.error = errno_text(errno);
      break;
    }
    if (got == 0) break;
    if (result.bytes.size() + static_cast<std::uint64_t>(got) > max_bytes) {
      result.error = too_large(max_bytes);
      break;
    }
    result.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  close_fd(fd);
  if (!result.error.empty()) {
    result.bytes = std::string();
    return result;
  }
  result.ok = true;
  return result;
}

// ---------------------------------------------------------------------------------------

LineReader::LineReader(const std::string& path, LineEnds ends, LineLimits limits) : ends_(ends), limits_(limits) {
  fd_ = open_plain(path, size_, error_);
}

LineReader::LineReader(std::string_view bytes, LineEnds ends, LineLimits limits)
    : ends_(ends), limits_(limits), memory_(bytes), from_memory_(true), size_(bytes.size()) {}

LineReader::~LineReader() {
  if (fd_ >= 0) close_fd(fd_);
}

bool LineReader::fill() {
  at_ = 0;
  held_ = 0;
  if (eof_ || failed()) return false;
  if (from_memory_) {
    eof_ = true;
    held_ = memory_.size();
    return held_ > 0;
  }
  if (fd_ < 0) return false;
  buffer_.resize(kChunk);
  const long got = read_some(fd_, buffer_.data(), buffer_.size());
  if (got < 0) {
    error_ = errno_text(errno);
    return false;
  }
  if (got == 0) {
    eof_ = true;
    return false;
  }
  held_ = static_cast<std::size_t>(got);
  return true;
}

bool LineReader::next(std::string& line) {
  line.clear();
  line_cut_ = false;
  if (failed()) return false;
  bool any = false;  // bytes of this line seen, so an end of input still makes a line
  while (true) {
    if (at_ == held_ && !fill()) return !failed() && any;
    const char* data = (from_memory_ ? memory_.data() : buffer_.data());
    const char* begin = data + at_;
    const char* end = data + held_;
    if (skip_lf_) {
      skip_lf_ = false;
      if (*begin == '\n') {
        ++at_;
        ++used_;
        continue;
      }
    }
    const char* stop = ends_ == LineEnds::cr
                           ? static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(end - begin)))
                           : std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
    if (stop == end) stop = nullptr;
    const std::size_t n = static_cast<std::size_t>((stop ? stop : end) - begin);
    const std::size_t room = limits_.max_line_bytes - std::min(limits_.max_line_bytes, line.size());
    line.append(begin, std::min(n, room));
    if (n > room) line_cut_ = true;
    any = any || n > 0;
    at_ += n;
    used_ += n;
    if (stop) {
      ++at_;
      ++used_;
      if (*stop == '\r') {
        // CR LF is one line end; the LF may be the first byte of the next chunk.
        if (at_ < held_) {
          if (data[at_] == '\n') {
            ++at_;
            ++used_;
          }
        } else {
          skip_lf_ = true;
        }
      }
    }
    if (used_ > limits_.max_bytes) {
      error_ = too_large(limits_.max_bytes);
      line.clear();
      return false;
    }
    if (stop) return true;
  }
}

// ---------------------------------------------------------------------------------------
// Writing

namespace {

// The file a path finally names: symbolic links followed, relative targets taken against
// the link's own folder. A link is written through, not replaced by a plain file.
bool resolve_links(const std::string& path, std::string& target, std::string& error) {
  fs::path at(path);
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(at, ec)) || ec) break;
    if (hops == 40) {
      error = "it is a chain of more than 40 symbolic links";
      return false;
    }
    const fs::path link = fs::read_symlink(at, ec);
    if (ec) {
      error = ec.message();
      return false;
    }
    at = link.is_absolute() ? link : at.parent_path() / link;
  }
  target = at.string();
  return true;
}

// Whether a written file is forced to disk before it replaces the old one.
enum class Flush { to_disk, no };

#ifndef _WIN32
// Flushes the file to disk (unless told not to) and closes it, keeping the first failure's
// code.
bool sync_and_close(int fd, bool ok, int& code, Flush flush = Flush::to_disk) {
  if (ok && flush == Flush::to_disk && ::fsync(fd) != 0) {
    ok = false;
    code = errno;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    code = errno;
  }
  return ok;
}

// Rewrites a file in place, for a folder that cannot take a temporary file. The room is
// taken first, so a full disk fails before the old contents are touched.
FileResult write_in_place(const std::string& path, std::string_view bytes, int folder_code) {
  FileResult result;
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    result.error = errno_text(folder_code);
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    result.error = errno_text(errno);
  } else {
    result.error = kind_problem(st.st_mode);
  }
  if (!result.error.empty()) {
    ::close(fd);
    return result;
  }
  int code = 0;
  bool ok = true;
  if (!bytes.empty()) {
    const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    if (reserved == ENOSPC || reserved == EFBIG) {
      ::close(fd);
      result.error = errno_text(reserved);
      return result;
    }
  }
  bool touched = false;
  if (::lseek(fd, 0, SEEK_SET) != 0) {
    ok = false;
    code = errno;
  }
  touched = ok;
  if (ok) ok = write_all(fd, bytes, code);
  if (ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
    ok = false;
    code = errno;
  }
  ok = sync_and_close(fd, ok, code);
  if (!ok) {
    result.error = errno_text(code ? code : EIO);
    if (touched) {
      result.error += " (its folder takes no new file, so it was being rewritten in place and may be damaged)";
      result.old_file_damaged = true;
    }
    return result;
  }
  result.ok = true;
  return result;
}
#endif

FileResult replace_file(const std::string& path, std::string_view bytes, Flush flush) {
  FileResult result;
  std::string target;
  if (!resolve_links(path, target, result.error)) return result;
  const std::string temp = target + ".saving";
#ifndef _WIN32
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    result.error = "a folder of that name is in the way";
    return result;
  }
  if (exists && !S_ISREG(old.st_mode)) {
    result.error = kind_problem(old.st_mode);
    return result;
  }
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int code = errno;
    if (exists && (code == EACCES || code == EPERM)) return write_in_place(target, bytes, code);
    result.error = errno_text(code);
    return result;
  }
  int code = 0;
  bool ok = true;
  if (exists) {
    // The replacement keeps the old file's owner (where allowed) and its permissions.
    [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
      ok = false;
      code = errno;
    }
  }
  if (ok) ok = write_all(fd, bytes, code);
  ok = sync_and_close(fd, ok, code, flush);
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    result.error = errno_text(code ? code : EIO);
    return result;
  }
  // The rename itself reaches the disk with the folder; a failure here loses nothing.
  const std::string folder = fs::path(target).parent_path().string();
  const int dir = flush == Flush::to_disk
                      ? ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                      : -1;
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
#else
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    result.error = "a folder of that name is in the way";
    return result;
  }
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) {
    result.error = errno_text(errno);
    return result;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int code = ok ? 0 : errno;
  if (ok && std::fflush(file) != 0) {
    ok = false;
    code = errno;
  }
  if (ok && flush == Flush::to_disk && _commit(_fileno(file)) != 0) {
    ok = false;
    code = errno;
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok) {
    fs::rename(temp, target, ec);
    if (ec) {
      fs::remove(temp, ec);
      result.error = ec.message();
      return result;
    }
  } else {
    fs::remove(temp, ec);
    result.error = errno_text(code ? code : EIO);
    return result;
  }
#endif
  result.ok = true;
  return result;
}

}  // namespace

FileResult write_file_atomic(const std::string& path, std::string_view bytes) {
  return replace_file(path, bytes, Flush::to_disk);
}

FileResult write_scratch_file(const std::string& path, std::string_view bytes) {
  return replace_file(path, bytes, Flush::no);
}

FileResult append_file(const std::string& path, std::string_view bytes) {
  FileResult result;
#ifndef _WIN32
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    result.error = kind_problem(st.st_mode);
    return result;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    result.error = errno_text(errno);
    return result;
  }
  int code = 0;
  bool ok = true;
  if (::fstat(fd, &st) != 0) {
    ok = false;
    code = errno;
  } else if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    result.error = kind_problem(st.st_mode);
    return result;
  }
  if (ok) ok = write_all(fd, bytes, code);
  if (::close(fd) != 0 && ok) {
    ok = false;
    code = errno;
  }
#else
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) {
    result.error = errno_text(errno);
    return result;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int code = ok ? 0 : errno;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    code = errno;
  }
#endif
  if (!ok) {
    result.error = errno_text(code ? code : EIO);
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace zorvane
