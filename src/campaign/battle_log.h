// The battle log "blog.txt": the campaign's history, one tab-separated line per resolved
// action below a header line. Text builders plus the two file operations that write it.
#pragma once

#include <string>
#include <string_view>

#include "common/linefile.h"

namespace zorvane {

inline constexpr std::string_view kBattleLogFileName = "blog.txt";

// The header line with its line end: seven words, a tab between each two, none at the end.
inline constexpr std::string_view kBattleLogHeader = "From\tTeam\tFOCC\tType\tAction\tTo\tTeam\r\n";

// One resolved action, in the columns of the header.
struct BattleLogEntry {
  long long from_cell = 0;  // source cell (the augmented cell for a computer augmentation)
  std::string from_team;    // letter of the source's owner before the action
  long long units = 0;      // units moved or added (the maximum fill for a computer augmentation)
  std::string type;         // "Advance" or "Augment"
  std::string action;       // "Add", "Move", "Capture" or "Attack"
  long long to_cell = 0;    // target cell (the source itself for "Augment")
  std::string to_team;      // letter of the target's owner before the action; "" when none
};

// The data line with its line end: each of the seven values followed by a tab, numbers as
// plain digits ("3\tA\t2\tAdvance\tMove\t4\t\t\r\n").
std::string battle_log_line(const BattleLogEntry& entry);

// Replaces the log with one holding only the header (atomically, so a failure leaves the
// old log whole). On failure the result's error says why, naming the file. A log the
// program generates in a shared folder passes Links::replace (see write_file_atomic).
FileResult reset_battle_log(const std::string& path, Links links = Links::write_through);

// Appends one data line, creating the log when it is missing (with Links::replace, a
// symbolic link at the path is refused).
FileResult append_battle_log(const std::string& path, const BattleLogEntry& entry, Links links = Links::write_through);

}  // namespace zorvane
