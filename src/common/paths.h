// Path helpers. Paths are byte strings; both '\' and '/' count as separators, so
// Windows-style settings keep working on any platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

// The folder part of a path. A text of 4 characters or fewer is returned unchanged;
// otherwise positions from the last down to the third are searched for a separator and
// everything before the first one found is returned; none found: the text unchanged.
// C:\Games\Vantor.exe -> C:\Games, C:\Vantor.exe -> C:, C:\a -> C:\a.
std::string GetPath(std::string_view FullFilePath);

// The file-name part of a path: the text after the last separator, or the whole text.
std::string GetFileName(std::string_view FileNa);

// The platform's separator: '\' on Windows, '/' elsewhere.
char platform_separator();

// Joins a folder and a name. The separator is the one the folder already uses (the last
// one in it), else the platform's, so C:\Games joins as C:\Games\a.ai everywhere.
std::string join_path(std::string_view folder, std::string_view name);

// Joins a folder of this system (from the command line, or the program's own folders) and a
// name with the platform's separator: on Linux a backslash in such a folder is part of a
// name, not a separator.
std::string platform_join(std::string_view folder, std::string_view name);

// True for "/x", "\x" and drive paths such as "C:\x" or "C:/x".
bool is_absolute_path(std::string_view path);

// A setting that names a file may be relative; it is taken against the program folder
// at the moment of use, so the program folder can be moved. Blank stays as it is.
std::string resolve_in_folder(std::string_view folder, std::string_view path);

// Of several folders (a user's own files before the shipped ones), the first in which the
// relative path names something that exists; the first folder when none holds it, and for
// blank or absolute paths. "" when there are no folders.
std::string folder_holding(const std::vector<std::string>& folders, std::string_view path);

// resolve_in_folder against folder_holding(folders, path).
std::string resolve_in_folders(const std::vector<std::string>& folders, std::string_view path);

}  // namespace zorvane
