#include "bridge/unit_programs.h"

#include <QFile>
#include <filesystem>

#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

namespace zorvane {

UnitStrengths read_unit_strengths(const std::string& folder) {
  namespace fs = std::filesystem;
  UnitStrengths strengths;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path("/") : fs::path(folder),
                            fs::directory_options::skip_permission_denied, ec);
  int read = 0;
  for (const fs::directory_iterator end; !ec && it != end && read < kMaxUnitPrograms; it.increment(ec)) {
    const std::string name = to_lower_ascii(it->path().filename().string());
    if (name.size() < 4 || name.compare(name.size() - 3, 3, ".ai") != 0) continue;
    ++read;
    const ReadResult file = read_file(it->path().string(), kMaxUnitProgramBytes);
    if (!file.ok) continue;
    if (const auto strength = parse_unit_strength(file.bytes)) strengths.emplace(name, *strength);
  }
  return strengths;
}

const UnitStrengths& game_unit_strengths(const QString& program_folder, const Settings& settings) {
  // One game at a time: read again only when the game's folder changes.
  static std::string folder;
  static UnitStrengths strengths;
  static bool read = false;
  const std::string program = QFile::encodeName(program_folder).toStdString();
  const std::string game_folder = GetPath(trim(resolve_in_folder(program, settings.game_exe_path)));
  if (!read || game_folder != folder) {
    folder = game_folder;
    strengths = read_unit_strengths(game_folder);
    read = true;
  }
  return strengths;
}

}  // namespace zorvane
