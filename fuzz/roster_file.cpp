// c_data.dat: read_roster on any bytes, then roster_file_bytes. Every entry must
// be the trimmed text of the last line that reached its slot (the file is read in cycles of
// 50 lines), and the written file must be 50 CR LF lines that read back to the same roster
// and the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/linefile.h"
#include "common/text.h"
#include "config/roster.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvane;
  const std::string_view text = zorvane::fuzz::as_text(data, size);
  std::vector<std::string> lines = split_lines_any(text);
  for (std::string& line : lines) line.resize(std::min(line.size(), kMaxRosterLineBytes));
  Roster roster;
  roster[9][4] = "left from before";
  read_roster(text, roster);

  const std::size_t cycle = kRosterLines;
  for (std::size_t i = 0; i < cycle; ++i) {
    const std::string& entry = roster[i / kRosterSlots][i % kRosterSlots];
    FUZZ_CHECK(entry == trim(entry));
    FUZZ_CHECK(entry.find_first_of("\r\n") == std::string::npos);
    if (i >= lines.size()) {
      FUZZ_CHECK(entry.empty());
    } else {
      const std::size_t last = i + (lines.size() - 1 - i) / cycle * cycle;  // last line of this slot
      FUZZ_CHECK(entry == trim(lines[last]));
    }
  }

  const std::string file = roster_file_bytes(roster);
  const std::vector<std::string> written = split_lines_any(file);
  FUZZ_CHECK(written.size() == cycle);
  FUZZ_CHECK(join_crlf(written) == file);
  Roster back;
  read_roster(file, back);
  FUZZ_CHECK(back == roster);
  FUZZ_CHECK(roster_file_bytes(back) == file);
  return 0;
}
