#include "campaign/battle_log.h"

namespace zorvane {
namespace {

FileResult named(FileResult result, const std::string& path) {
  if (!result.ok) result.error = "The battle log \"" + path + "\" cannot be written: " + result.error + ".";
  return result;
}

}  // namespace

std::string battle_log_line(const BattleLogEntry& entry) {
  std::string line;
  line.reserve(64);
  for (const std::string& value :
       {std::to_string(entry.from_cell), entry.from_team, std::to_string(entry.units), entry.type, entry.action,
        std::to_string(entry.to_cell), entry.to_team}) {
    line += value;
    line += '\t';
  }
  line += "\r\n";
  return line;
}

FileResult reset_battle_log(const std::string& path, Links links) {
  return named(write_file_atomic(path, kBattleLogHeader, links), path);
}

FileResult append_battle_log(const std::string& path, const BattleLogEntry& entry, Links links) {
  return named(append_file(path, battle_log_line(entry), links), path);
}

}  // namespace zorvane
