#include "common/folder_lock.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <csignal>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace zorvane {
namespace {

std::string errno_text(int code) { return std::error_code(code, std::generic_category()).message(); }

long this_pid() {
#ifdef _WIN32
  return static_cast<long>(::_getpid());
#else
  return static_cast<long>(::getpid());
#endif
}

// Whether a process of this machine still runs. Where that cannot be told, it is taken
// to run: a lock is never taken from a live copy.
bool process_alive(long pid) {
#ifdef _WIN32
  return pid > 0;
#else
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

// The lock file opened for reading and writing, created when missing; a link planted in
// its place is not followed.
int open_lock_file(const std::string& path, std::string& error) {
#ifdef _WIN32
  const int fd = ::_open(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
#endif
  if (fd < 0) {
    error = "the lock file " + zorvane::quoted(path) + " cannot be opened: " + errno_text(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || (st.st_mode & S_IFMT) != S_IFREG) {
    error = "the lock file " + zorvane::quoted(path) + " is not a plain file";
#ifdef _WIN32
    ::_close(fd);
#else
    ::close(fd);
#endif
    return -1;
  }
  return fd;
}

void close_lock_file(int fd) {
#ifdef _WIN32
  ::_close(fd);
#else
  ::close(fd);
#endif
}

// What the holder wrote: its pid, host and program, a line each (at most 4 KiB are read).
FolderLockHolder read_holder(int fd) {
  std::string text(4096, '\0');
#ifdef _WIN32
  ::_lseek(fd, 0, SEEK_SET);
  const int got = ::_read(fd, text.data(), static_cast<unsigned>(text.size()));
#else
  const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
#endif
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  const std::vector<std::string> lines = split_lines_any(text);
  FolderLockHolder holder;
  if (!lines.empty()) holder.pid = std::strtol(lines[0].c_str(), nullptr, 10);
  if (lines.size() > 1) holder.host = lines[1];
  if (lines.size() > 2) holder.program = lines[2];
  return holder;
}

// Replaces the file's contents with text; false when that failed.
bool write_contents(int fd, const std::string& text) {
#ifdef _WIN32
  if (::_chsize(fd, 0) != 0 || ::_lseek(fd, 0, SEEK_SET) != 0) return false;
  return ::_write(fd, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size());
#else
  if (::ftruncate(fd, 0) != 0) return false;
  return ::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
#endif
}

}  // namespace

std::string FolderLock::identity() const {
  return std::to_string(this_pid()) + "\n" + this_host_name() + "\n" + program_ + "\n";
}

std::string this_host_name() {
#ifdef _WIN32
  const char* name = std::getenv("COMPUTERNAME");
  return name ? name : "";
#else
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
#endif
}

FolderLock::FolderLock(std::string folder, std::string program, Method method)
    : folder_(std::move(folder)), path_(join_path(folder_, kFileName)), program_(std::move(program)) {
  fd_ = open_lock_file(path_, error_);
  if (fd_ < 0) return;
#ifndef _WIN32
  if (method == Method::system) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      // A killed holder's lock went with it; what it wrote is simply replaced.
      write_contents(fd_, identity());
      state_ = State::taken;
      return;
    }
    if (errno == EWOULDBLOCK) {
      holder_ = read_holder(fd_);
      state_ = State::in_use;
      close_lock_file(fd_);
      fd_ = -1;
      return;
    }
    // This file system keeps no such locks: the pid in the file decides.
  }
#else
  (void)method;
#endif
  take_by_pid();
}

void FolderLock::take_by_pid() {
  const FolderLockHolder found = read_holder(fd_);
  const bool here = found.host.empty() || found.host == this_host_name();
  if (found.pid != 0 && (!here || process_alive(found.pid))) {
    holder_ = found;
    state_ = State::in_use;
    close_lock_file(fd_);
    fd_ = -1;
    return;
  }
  if (!write_contents(fd_, identity())) {
    error_ = "the lock file " + zorvane::quoted(path_) + " cannot be written: " + errno_text(errno);
    close_lock_file(fd_);
    fd_ = -1;
    return;
  }
  state_ = State::taken;
}

FolderLock::~FolderLock() {
  if (fd_ < 0) return;
  // Emptied while still held, so nobody later reads a pid that may by then name another
  // process.
  write_contents(fd_, {});
  close_lock_file(fd_);
}

std::string FolderLock::in_use_text() const {
  std::string text = "the folder " + folder_ + " is in use by another copy of Zorvane";
  if (holder_.pid == 0) return text;
  text += " (process " + std::to_string(holder_.pid);
  if (!holder_.host.empty() && holder_.host != this_host_name()) text += " on host " + holder_.host;
  return text + ")";
}

std::string make_private_folder(std::string_view prefix, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) {
    error = "there is no temporary folder: " + ec.message();
    return {};
  }
#ifdef _WIN32
  std::mt19937_64 bits(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path folder = base / (std::string(prefix) + std::to_string(bits() % 1000000000));
    if (fs::create_directory(folder, ec)) return folder.string();
    if (ec) break;
  }
  error = "no folder could be made in " + zorvane::quoted(base.string()) + (ec ? ": " + ec.message() : std::string());
  return {};
#else
  std::string pattern = (base / (std::string(prefix) + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) {
    error = "no folder could be made in " + zorvane::quoted(base.string()) + ": " + errno_text(errno);
    return {};
  }
  return pattern;
#endif
}

}  // namespace zorvane
