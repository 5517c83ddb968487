// The army rosters: ten teams by five unit program file names, and their file
// "c_data.dat" (50 lines, team-major, CR LF, empty line for an empty slot).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zorvane {

inline constexpr int kRosterSlots = 5;
inline constexpr int kRosterLines = 50;

// cdata[team - 1][slot - 1]
using Roster = std::array<std::array<std::string, kRosterSlots>, 10>;

void clear_roster(Roster& cdata);

// The most bytes a line of c_data.dat keeps: entries are unit program file names.
inline constexpr std::size_t kMaxRosterLineBytes = 4096;

// Replaces the table with c_data.dat: cycles of 50 lines, each trimmed of spaces; a cycle
// cut short by the end of the file keeps what it did not reach, so a file of 51 lines
// overwrites only team A's first slot in its second cycle. Read one line at a time (each
// cut to kMaxRosterLineBytes), so memory does not grow with the file. A file that cannot
// be read (missing, a folder, a named pipe, a device, too large) empties the table.
void read_roster_file(const std::string& path, Roster& cdata);
// The same rules for the bytes of a c_data.dat already in memory.
void read_roster(std::string_view bytes, Roster& cdata);

// The whole file: 50 lines, each entry unchanged, CR LF.
std::string roster_file_bytes(const Roster& cdata);

}  // namespace zorvane
