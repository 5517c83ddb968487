#include "common/linefile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
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

// Writes all bytes at the file position, or at `offset` when one is given.
bool write_all(int fd, std::string_view bytes, int& code, off_t offset = -1) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = offset < 0 ? ::write(fd, bytes.data() + done, bytes.size() - done)
                                   : ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                              offset + static_cast<off_t>(done));
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
    }
    if (used_ > limits_.max_bytes) {
      error_ = too_large(limits_.max_bytes);
      line.clear();
      return false;
    }
    if (!stop) continue;
    // CR LF is one line end; the LF may be the first byte of the next chunk. The line ended
    // at the CR, so an LF just past the limit does not cost it, as a CR or LF alone would not.
    if (*stop == '\r') {
      if (at_ < held_) {
        if (data[at_] == '\n') {
          ++at_;
          ++used_;
        }
      } else {
        skip_lf_ = true;
      }
    }
    return true;
  }
}

// ---------------------------------------------------------------------------------------
// Writing

std::vector<InPlaceStep> in_place_steps(std::string_view bytes) {
  if (bytes.empty()) return {InPlaceStep{0, {}, true}};
  // A CR first makes line 1 read empty until the very last step puts the real first byte
  // back: a rewrite cut anywhere between leaves a save that no reader takes for a campaign.
  static constexpr char kUnfinished[] = "\r";
  return {InPlaceStep{0, std::string_view(kUnfinished, 1), false}, InPlaceStep{1, bytes.substr(1), false},
          InPlaceStep{bytes.size(), {}, true}, InPlaceStep{0, bytes.substr(0, 1), false}};
}

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

// A temporary name beside target that no other writer picks: 64 random bits, and the file
// is created exclusively anyway.
std::string temp_name(const std::string& target) {
  thread_local std::mt19937_64 bits(
      (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.saving", static_cast<unsigned long long>(bits()));
  return target + suffix;
}

#ifndef _WIN32
// Creates a new temporary file beside target under a name of its own, exclusively, so it
// is never another writer's file nor a link planted at that name. -1 with code set on failure.
int create_temp(const std::string& target, std::string& temp, int& code) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = temp_name(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  code = errno;
  return -1;
}

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
// taken first, so a full disk fails before the old contents are touched; then the steps of
// in_place_steps, each on the disk before the next begins.
FileResult write_in_place(const std::string& path, std::string_view bytes, int folder_code, Links links) {
  FileResult result;
  const int no_follow = links == Links::replace ? O_NOFOLLOW : 0;
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | no_follow);
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
  for (const InPlaceStep& step : in_place_steps(bytes)) {
    if (touched && ::fdatasync(fd) != 0) {
      ok = false;
      code = errno;
      break;
    }
    touched = true;
    if (step.truncate) {
      if (::ftruncate(fd, static_cast<off_t>(step.offset)) != 0) {
        ok = false;
        code = errno;
      }
    } else {
      ok = write_all(fd, step.bytes, code, static_cast<off_t>(step.offset));
    }
    if (!ok) break;
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

}  // namespace

FileResult write_file_atomic(const std::string& path, std::string_view bytes, Links links, Flush flush) {
  FileResult result;
  std::string target = path;
  if (links == Links::write_through && !resolve_links(path, target, result.error)) return result;
#ifndef _WIN32
  struct stat old {};
  // A link where a generated file goes is looked at, not through: the rename replaces it.
  const bool exists = (links == Links::replace ? ::lstat(target.c_str(), &old) : ::stat(target.c_str(), &old)) == 0;
  const bool plain = exists && S_ISREG(old.st_mode);
  if (exists && S_ISDIR(old.st_mode)) {
    result.error = "a folder of that name is in the way";
    return result;
  }
  if (exists && !plain && !S_ISLNK(old.st_mode)) {
    result.error = kind_problem(old.st_mode);
    return result;
  }
  std::string temp;
  int code = 0;
  const int fd = create_temp(target, temp, code);
  if (fd < 0) {
    if (plain && (code == EACCES || code == EPERM)) return write_in_place(target, bytes, code, links);
    result.error = errno_text(code);
    return result;
  }
  bool ok = true;
  if (plain) {
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
  // "x": created exclusively, never another writer's temporary file.
  std::string temp;
  std::FILE* file = nullptr;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    temp = temp_name(target);
    file = std::fopen(temp.c_str(), "wbx");
    if (!file && errno != EEXIST) break;
  }
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

FileResult write_generated_file(const std::string& path, std::string_view bytes) {
  return write_file_atomic(path, bytes, Links::replace);
}

FileResult write_scratch_file(const std::string& path, std::string_view bytes) {
  return write_file_atomic(path, bytes, Links::replace, Flush::no);
}

FileResult append_file(const std::string& path, std::string_view bytes, Links links) {
  FileResult result;
#ifndef _WIN32
  struct stat st {};
  const bool own = links == Links::replace;
  if ((own ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st)) == 0 && !S_ISREG(st.st_mode)) {
    // A generated file appended to cannot replace a planted link without losing its lines.
    result.error = S_ISLNK(st.st_mode) ? "it is a symbolic link, not a file" : kind_problem(st.st_mode);
    return result;
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                                          (own ? O_NOFOLLOW : 0), 0666);
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
  (void)links;
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
