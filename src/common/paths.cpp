#include "common/paths.h"

#include <filesystem>

#include "common/text.h"

namespace zorvane {
namespace {
bool is_separator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string GetPath(std::string_view FullFilePath) {
  if (FullFilePath.size() <= 4) return std::string(FullFilePath);
  // Positions counted from 1: the last one down to the third.
  for (std::size_t pos = FullFilePath.size(); pos >= 3; --pos) {
    if (is_separator(FullFilePath[pos - 1])) return std::string(FullFilePath.substr(0, pos - 1));
  }
  return std::string(FullFilePath);
}

std::string GetFileName(std::string_view FileNa) {
  const auto last = FileNa.find_last_of("\\/");
  if (last == std::string_view::npos) return std::string(FileNa);
  return std::string(FileNa.substr(last + 1));
}

char platform_separator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string join_path(std::string_view folder, std::string_view name) {
  const auto last = folder.find_last_of("\\/");
  const char separator = last == std::string_view::npos ? platform_separator() : folder[last];
  std::string out(folder);
  out += separator;
  out += name;
  return out;
}

std::string platform_join(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != platform_separator()) out += platform_separator();
  out += name;
  return out;
}

bool is_absolute_path(std::string_view path) {
  if (path.empty()) return false;
  if (is_separator(path[0])) return true;
  return path.size() >= 3 && path[1] == ':' && is_separator(path[2]) &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string resolve_in_folder(std::string_view folder, std::string_view path) {
  const std::string trimmed = trim(path);
  if (trimmed.empty() || is_absolute_path(trimmed) || folder.empty()) return std::string(path);
  std::string base(folder);
  while (base.size() > 1 && is_separator(base.back())) base.pop_back();
  std::string out = base;
  out += platform_separator();
  out += trimmed;
  return out;
}

std::string folder_holding(const std::vector<std::string>& folders, std::string_view path) {
  if (folders.empty()) return {};
  const std::string trimmed = trim(path);
  if (trimmed.empty() || is_absolute_path(trimmed)) return folders.front();
  for (const std::string& folder : folders) {
    std::error_code ec;
    if (std::filesystem::exists(resolve_in_folder(folder, trimmed), ec)) return folder;
  }
  return folders.front();
}

std::string resolve_in_folders(const std::vector<std::string>& folders, std::string_view path) {
  return resolve_in_folder(folder_holding(folders, path), path);
}

}  // namespace zorvane
