#include "config/roster.h"

#include <vector>

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {

void clear_roster(Roster& cdata) {
  for (auto& team : cdata) team.fill(std::string());
}

namespace {
// Line `index` (from 0) of the file fills its slot of the current 50-line cycle.
void put_line(Roster& cdata, std::size_t index, std::string_view line) {
  const std::size_t i = index % kRosterLines;
  cdata[i / kRosterSlots][i % kRosterSlots] = trim(line);
}


// The whole table from a reader; a reader that fails leaves the table empty.
void read_roster_lines(LineReader& reader, Roster& cdata) {
  Roster read;
  clear_roster(read);
  std::string line;
  for (std::size_t i = 0; reader.next(line); ++i) put_line(read, i, line);
  if (reader.failed()) clear_roster(read);
  cdata = std::move(read);
}
}  // namespace

void read_roster_file(const std::string& path, Roster& cdata) {
  LineReader reader(path, LineEnds::any, {.max_line_bytes = kMaxRosterLineBytes});
  read_roster_lines(reader, cdata);
}

void read_roster(std::string_view bytes, Roster& cdata) {
  LineReader reader(bytes, LineEnds::any, {.max_line_bytes = kMaxRosterLineBytes});
  read_roster_lines(reader, cdata);
}

std::string roster_file_bytes(const Roster& cdata) {
  std::vector<std::string> lines;
  lines.reserve(kRosterLines);
  for (const auto& team : cdata) {
    for (const auto& entry : team) lines.push_back(entry);
  }
  return join_crlf(lines);
}

}  // namespace zorvane
