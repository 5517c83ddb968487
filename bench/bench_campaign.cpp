// Campaign speed: reading and drawing a 40 by 40 map on a 1920 by 1080 surface, saving and
// loading a 40 by 40 campaign (the load redraws the map). Goals on the development machine:
// map under 5 ms, save under 5 ms, load with its redraw under 10 ms; a load whose owner
// texts are 400 bytes long well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <QGuiApplication>
#include <QImage>

#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/linefile.h"
#include "display/map_painter.h"
#include "bench_main.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace zorvane {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A scratch folder holding a 40 by 40 map with ten teams and a save of a campaign played
// for a while: half the cells owned, one to five units in each.
class Fixture {
 public:
  Fixture() {
    folder_ = fs::temp_directory_path() / ("zorvane-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    std::string map;
    const char terrains[] = "1234512301";
    for (int r = 0; r < 40; ++r) {
      for (int c = 0; c < 40; ++c) map += terrains[(r * 7 + c * 3 + (r * c) % 5) % 10];
      if (r % 4 == 1) map[map.size() - 20] = static_cast<char>('A' + r / 4);
      map += "\r\n";
    }
    map_path_ = (folder_ / "bench-40.aim").string();
    write_file_atomic(map_path_, map);

    const MapReadResult parsed = read_map_file(map_path_);
    if (!parsed.ok()) {
      std::fprintf(stderr, "%s\n", parsed.error.c_str());
      std::abort();
    }
    apply_map(*parsed.map, kWidth, kHeight, state_);
    const char* units[] = {"brawler.ai", "scout.ai", "tank.ai", "sniper.ai", "medic.ai"};
    for (int n = 1; n <= 1600; n += 2) {
      if (state_.field(n, terrain).to_text() == "0") continue;
      state_.field(n, owner) = Value::text(team_letter(1 + n % 10));
      for (int k = 0; k <= n % 5; ++k) state_.field(n, unit_1 + k) = Value::text(units[(n + k) % 5]);
    }
    save_path_ = (folder_ / "bench-40.sav").string();
    write_campaign_save(save_path_, state_);

    // The same campaign with a different 400-byte owner text in every cell: a damaged or
    // hostile save whose badge texts run far off the map.
    CampaignState long_owners = state_;
    for (int n = 1; n <= 1600; ++n) {
      std::string text = team_letter(1 + n % 10) + std::to_string(n);
      text.resize(400, static_cast<char>('a' + n % 26));
      long_owners.field(n, owner) = Value::text(std::move(text));
    }
    long_owner_save_path_ = (folder_ / "bench-40-long-owners.sav").string();
    write_campaign_save(long_owner_save_path_, long_owners);
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  const std::string& map_path() const { return map_path_; }
  const std::string& save_path() const { return save_path_; }
  const std::string& long_owner_save_path() const { return long_owner_save_path_; }
  std::string scratch(const char* name) const { return (folder_ / name).string(); }
  const CampaignState& state() const { return state_; }

 private:
  fs::path folder_;
  std::string map_path_;
  std::string save_path_;
  std::string long_owner_save_path_;
  CampaignState state_;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

QImage screen_surface() {
  QImage surface(kWidth, kHeight, QImage::Format_RGB32);
  surface.fill(Qt::darkGray);
  return surface;
}

void BM_ReadAndDrawMap40(benchmark::State& bench) {
  QImage surface = screen_surface();
  CampaignState state;
  for (auto _ : bench) {
    const MapReadResult map = read_map_file(fixture().map_path());
    apply_map(*map.map, kWidth, kHeight, state);
    draw_campaign_map(surface, state);
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_ReadAndDrawMap40)->Unit(benchmark::kMillisecond);

void BM_DrawMap40(benchmark::State& bench) {
  QImage surface = screen_surface();
  const CampaignState& state = fixture().state();
  for (auto _ : bench) {
    draw_campaign_map(surface, state);
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_DrawMap40)->Unit(benchmark::kMillisecond);

// Building the bytes plus a plain write: the save's own work, without waiting for the disk.
void BM_SaveCampaign40(benchmark::State& bench) {
  const std::string path = fixture().scratch("plain.sav");
  for (auto _ : bench) {
    const std::string bytes = campaign_save_bytes(fixture().state());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
}
BENCHMARK(BM_SaveCampaign40)->Unit(benchmark::kMillisecond);

// What File, Save does: checks, bytes, temporary file, flush to disk, rename.
void BM_SaveCampaign40Atomic(benchmark::State& bench) {
  const std::string path = fixture().scratch("atomic.sav");
  for (auto _ : bench) {
    const FileResult result = write_campaign_save(path, fixture().state());
    benchmark::DoNotOptimize(result.ok);
  }
}
BENCHMARK(BM_SaveCampaign40Atomic)->Unit(benchmark::kMillisecond);

// What File, Load does: read and check the save, reread its map, build the state, then
// draw the map and the loaded badges.
void BM_LoadCampaign40(benchmark::State& bench) {
  QImage surface = screen_surface();
  for (auto _ : bench) {
    const CampaignLoadResult loaded = load_campaign_save(fixture().save_path(), "", kWidth, kHeight);
    draw_loaded_campaign(surface, *loaded.state);
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_LoadCampaign40)->Unit(benchmark::kMillisecond);

// The same load with a 400-byte owner in every cell. Goal: well under a second, and only
// what can be seen is rendered (peak memory a few tens of MB above a normal load).
void BM_LoadCampaign40LongOwners(benchmark::State& bench) {
  QImage surface = screen_surface();
  for (auto _ : bench) {
    const CampaignLoadResult loaded = load_campaign_save(fixture().long_owner_save_path(), "", kWidth, kHeight);
    draw_loaded_campaign(surface, *loaded.state);
    benchmark::DoNotOptimize(surface.constBits());
  }
}
BENCHMARK(BM_LoadCampaign40LongOwners)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) { return zorvane::run_benchmarks_in<QGuiApplication>(argc, argv); }
