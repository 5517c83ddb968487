// config.dat: split_lines_any and apply_config_lines on any bytes, then config_file_bytes.
// Every setting must come from its own line (missing lines empty, checks only 0, 1 or 2), the
// written file must be 41 CR LF lines that read back to the same settings and the same bytes,
// and both line splitters must give back their lines after join_crlf.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/linefile.h"
#include "config/settings.h"
#include "fuzz_check.h"

namespace {

using namespace zorvane;

void check_lines(std::string_view bytes) {
  const std::vector<std::string> any = split_lines_any(bytes);
  for (const auto& line : any) FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
  FUZZ_CHECK(split_lines_any(join_crlf(any)) == any);
  const std::vector<std::string> cr = split_lines_cr(bytes);
  for (const auto& line : cr) FUZZ_CHECK(line.find('\r') == std::string::npos);
  FUZZ_CHECK(split_lines_cr(join_crlf(cr)) == cr);
  FUZZ_CHECK(any.size() >= cr.size());
  FUZZ_CHECK(bytes.empty() == any.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = zorvane::fuzz::as_text(data, size);
  check_lines(bytes);

  const std::vector<std::string> lines = split_lines_any(bytes);
  Settings settings;
  const bool complete = apply_config_lines(lines, settings);
  FUZZ_CHECK(complete == (lines.size() >= static_cast<std::size_t>(kConfigLineCount)));
  const auto line_at = [&](int line) {
    const auto index = static_cast<std::size_t>(line - 1);
    return index < lines.size() ? lines[index] : std::string();
  };
  for (const auto& info : setting_table()) {
    if (info.kind == SettingKind::Text) FUZZ_CHECK(*text_setting(settings, info.line) == line_at(info.line));
    if (info.kind == SettingKind::Check) {
      const int check = *check_setting(settings, info.line);
      FUZZ_CHECK(check >= 0 && check <= 2);
      FUZZ_CHECK(check == parse_check(line_at(info.line)));
    }
  }

  const std::string file = config_file_bytes(settings);
  const std::vector<std::string> written = split_lines_any(file);
  FUZZ_CHECK(written.size() == static_cast<std::size_t>(kConfigLineCount));
  FUZZ_CHECK(join_crlf(written) == file);
  FUZZ_CHECK(written == config_lines(settings));

  // What was written reads back to the same settings, whatever they started from.
  Settings back;
  back.run_maximized = !settings.run_maximized;
  FUZZ_CHECK(apply_config_lines(written, back));
  FUZZ_CHECK(back.run_maximized == settings.run_maximized);
  FUZZ_CHECK(config_file_bytes(back) == file);
  return 0;
}
