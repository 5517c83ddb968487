#include "config/roster.h"

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {

void clear_roster(Roster& cdata) {
  for (auto& team : cdata) team.fill(std::string());
}

void read_roster(const std::vector<std::string>& lines, Roster& cdata) {
  clear_roster(cdata);
  std::size_t next = 0;
  while (next < lines.size()) {
    for (std::size_t i = 0; i < kRosterLines; ++i) {
      if (next >= lines.size()) return;
      cdata[i / kRosterSlots][i % kRosterSlots] = trim(lines[next++]);
    }
  }
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
