// Saved campaign reader: parse_campaign_save on any bytes. The save rereads the map named on
// its line 1, so the target writes a few small maps once into a temporary folder (the program
// folder of the load). The first input byte picks the map for line 1 and the picture size;
// the rest of the input is the save from line 2 on. When it picks no map, the input's own
// line 1 names the map, but only as a plain name inside the folder (no separators), so the
// fuzzer never reads elsewhere on disk. A save that loads must save again and load back
// equal, byte for byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "campaign/save_file.h"
#include "fuzz_check.h"

namespace {

namespace fs = std::filesystem;
using namespace zorvane;

struct MapFile {
  const char* name;
  const char* bytes;  // nullptr: a folder of that name; "": no file at all
};

// Small maps, each a different shape of the format: CR LF, a blank row, ten teams with no
// final line end, CR alone with a line feed as a cell, a map that is not square, a folder
// in place of a map, and a name with no file.
constexpr MapFile kMaps[] = {
    {"duel.aim", "A1\r\n2B\r\n"},
    {"gap.aim", "AB\r\n  \r\n"},
    {"ten.aim", "ABCD\r\nEFGH\r\nIJ12\r\n3450"},
    {"cr.aim", "A\n3\r1B2\r345\r"},
    {"broken.aim", "AB\r\n1\r\n"},
    {"folder.aim", nullptr},
    {"missing.aim", ""},
};
constexpr std::size_t kMapCount = sizeof kMaps / sizeof kMaps[0];
constexpr int kPictureSizes[] = {641, 0, 1, 1921};

// The program folder with the maps, removed at exit.
class MapFolder {
 public:
  MapFolder() {
    std::string pattern = (fs::temp_directory_path() / "zorvane-fuzz-save-XXXXXX").string();
    if (!mkdtemp(pattern.data())) zorvane::fuzz::invariant_broken("mkdtemp", __FILE__, __LINE__);
    path_ = pattern;
    for (const MapFile& map : kMaps) {
      const fs::path file = fs::path(path_) / map.name;
      if (!map.bytes) {
        fs::create_directory(file);
      } else if (*map.bytes) {
        std::ofstream(file, std::ios::binary) << map.bytes;
      }
    }
  }
  ~MapFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& program_folder() {
  static const MapFolder folder;
  return folder.path();
}

void check_loaded(const CampaignState& state, std::string_view map_line) {
  FUZZ_CHECK(state.map_file == map_line);
  FUZZ_CHECK(state.team_count >= 1 && state.team_count <= kTeamCount);
  FUZZ_CHECK(state.current_team >= 1 && state.current_team <= state.team_count);
  FUZZ_CHECK(state.turn == 0 && state.action_count == 0);
  FUZZ_CHECK(state.grid_rows >= 1 && state.grid_cols >= 1 && state.cell_count() <= kMaxCells);
  for (int n = 1; n <= kMaxCells; ++n) {
    for (int f = 1; f <= kFieldCount; ++f) {
      const Value& value = state.field(n, f);
      if (n > state.cell_count()) {
        FUZZ_CHECK(value.is_empty());
      } else if (f == x_px || f == y_px) {
        // Recomputed for the picture: a number for the map's cells, empty for a blank row's.
        FUZZ_CHECK(value.is_number() || value.is_empty());
      } else {
        FUZZ_CHECK(value.is_text());
        FUZZ_CHECK(value.to_text().find('\r') == std::string::npos);
      }
    }
  }
}

bool same_campaign(const CampaignState& a, const CampaignState& b) {
  return a.cells == b.cells && a.map_file == b.map_file && a.current_team == b.current_team &&
         a.team_count == b.team_count && a.grid_rows == b.grid_rows && a.grid_cols == b.grid_cols &&
         a.first_line_cols == b.first_line_cols && a.cell_w == b.cell_w && a.cell_h == b.cell_h &&
         a.turn == b.turn && a.action_count == b.action_count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string& folder = program_folder();
  const std::uint8_t pick = data[0];
  const std::string_view rest = zorvane::fuzz::as_text(data + 1, size - 1);
  std::string save;
  if (pick % (kMapCount + 1) < kMapCount) {
    save = std::string(kMaps[pick % (kMapCount + 1)].name) + "\r\n";
    save += rest;
  } else {
    // Line 1 as the input gives it: a name inside the folder, nothing that leaves it.
    const std::string_view line1 = rest.substr(0, rest.find('\r'));
    if (line1.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return 0;
    save = std::string(rest);
  }
  const int width = kPictureSizes[(pick >> 3) & 3];
  const int height = kPictureSizes[(pick >> 5) & 3];

  const CampaignLoadResult loaded = parse_campaign_save(save, "fuzz.sav", folder, width, height);
  FUZZ_CHECK(loaded.ok() == loaded.error.empty());
  if (!loaded.ok()) return 0;
  const CampaignState& state = *loaded.state;
  const std::string_view map_line = std::string_view(save).substr(0, save.find('\r'));
  check_loaded(state, map_line);

  // A loaded campaign can always be saved, and the save loads back as the same campaign.
  FUZZ_CHECK(!campaign_save_problem(state).has_value());
  const std::string again = campaign_save_bytes(state);
  FUZZ_CHECK(std::count(again.begin(), again.end(), '\r') == 3 + kFieldCount * state.cell_count());
  const CampaignLoadResult reloaded = parse_campaign_save(again, "fuzz.sav", folder, width, height);
  FUZZ_CHECK(reloaded.ok());
  FUZZ_CHECK(same_campaign(state, *reloaded.state));
  FUZZ_CHECK(campaign_save_bytes(*reloaded.state) == again);
  return 0;
}
