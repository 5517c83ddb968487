#include "common/linefile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zorvane {
namespace {

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

ReadResult read_file(const std::string& path, std::size_t max_bytes) {
  ReadResult result;
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) {
    result.error = "the file does not exist";
    return result;
  }
  if (std::filesystem::is_directory(status)) {
    result.error = "it is a folder, not a file";
    return result;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    result.error = errno_text(errno);
    return result;
  }
  char buffer[65536];
  while (true) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    if (got > 0) {
      if (result.bytes.size() + got > max_bytes) {
        std::fclose(file);
        result.bytes.clear();
        result.error = "the file is too large";
        return result;
      }
      result.bytes.append(buffer, got);
    }
    if (got < sizeof buffer) {
      if (std::ferror(file)) {
        const int code = errno;
        std::fclose(file);
        result.bytes.clear();
        result.error = errno_text(code ? code : EIO);
        return result;
      }
      break;
    }
  }
  std::fclose(file);
  result.ok = true;
  return result;
}

FileResult write_file_atomic(const std::string& path, std::string_view bytes) {
  FileResult result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    result.error = "a folder of that name is in the way";
    return result;
  }
  const std::string temp = path + ".saving";
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
#ifdef _WIN32
  if (ok && _commit(_fileno(file)) != 0) {
#else
  if (ok && fsync(fileno(file)) != 0) {
#endif
    ok = false;
    code = errno;
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok) {
    std::filesystem::rename(temp, path, ec);
    if (ec) {
      ok = false;
      result.error = ec.message();
    }
  } else {
    result.error = errno_text(code ? code : EIO);
  }
  if (!ok) {
    std::filesystem::remove(temp, ec);
    return result;
  }
  result.ok = true;
  return result;
}

FileResult append_file(const std::string& path, std::string_view bytes) {
  FileResult result;
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
  if (!ok) {
    result.error = errno_text(code ? code : EIO);
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace zorvane
