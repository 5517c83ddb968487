// The computer players: Classic's choice on a 40 by 40 map with ten teams (goal: under
// 0.1 ms), the General's on the same map with the stand-in game's unit strengths (goal:
// under 1 ms), and a whole ten-team 40 by 40 campaign through the campaign runner with real
// battles by the stand-in game, reported in actions and battles per second (the battles'
// process starts dominate).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <sstream>

#include "campaign/map_file.h"
#include "bridge/unit_programs.h"
#include "runner/campaign_runner.h"
#include "turn/computer_player.h"
#include "turn/general_player.h"
#include "bench_main.h"

namespace zorvane {
namespace {

const std::string kProgramFolder = ZORVANE_PROGRAM_DIR;

// The shipped ten-team map, half its cells owned, with one to five units each.
CampaignState played_state() {
  CampaignState state;
  const MapReadResult map = read_map_file(kProgramFolder + "/maps/grand-melee-40.aim");
  if (!map.ok()) std::abort();
  apply_map(*map.map, 1920, 1080, state);
  for (int n = 1; n <= state.cell_count(); n += 2) {
    if (state.field(n, terrain).to_text() == "0") continue;
    state.field(n, owner) = Value::text(team_letter(1 + n % 10));
    for (int k = 0; k <= n % 5; ++k) state.field(n, unit_1 + k) = Value::text("tank.ai");
  }
  return state;
}

void BM_ComputerChoice40(benchmark::State& bench) {
  CampaignState state = played_state();
  Settings settings;
  settings.augment_below = "1";
  settings.movement_patterns = {"12345678", "87654321", "35172846", "53718264",
                                "24681357", "13572468", "31758642", "75318642"};
  AiRandom random(1);
  for (auto _ : bench) {
    state.current_team = 1 + static_cast<int>(bench.iterations() % 10);
    benchmark::DoNotOptimize(choose_ai_action(state, settings, random));
  }
}
BENCHMARK(BM_ComputerChoice40)->Unit(benchmark::kMicrosecond);

void BM_GeneralChoice40(benchmark::State& bench) {
  const CampaignState state = played_state();
  const UnitStrengths strengths = read_unit_strengths(kProgramFolder + "/vantor");
  Roster cdata{};
  read_roster_file(kProgramFolder + "/c_data.dat", cdata);
  AiRandom random(1);
  CampaignState turn = state;
  for (auto _ : bench) {
    turn.current_team = 1 + static_cast<int>(bench.iterations() % 10);
    benchmark::DoNotOptimize(general_choice(turn, cdata, strengths, random));
  }
}
BENCHMARK(BM_GeneralChoice40)->Unit(benchmark::kMicrosecond);

void BM_WholeCampaign40(benchmark::State& bench) {
  long long actions = 0, battles = 0;
  for (auto _ : bench) {
    QTemporaryDir out;
    std::ostringstream said, errors;
    CampaignRunner runner(RunnerOptions{kProgramFolder + "/maps/grand-melee-40.aim", kProgramFolder, std::nullopt, 5,
                                        std::nullopt, out.path().toStdString(), {}},
                          said, errors);
    if (runner.run() != kRunEnded) bench.SkipWithError(errors.str().c_str());
    actions += runner.actions();
    battles += runner.battles();
    bench.counters["battles"] = static_cast<double>(runner.battles());
  }
  bench.counters["actions_per_second"] = benchmark::Counter(static_cast<double>(actions), benchmark::Counter::kIsRate);
  bench.counters["battles_per_second"] = benchmark::Counter(static_cast<double>(battles), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeCampaign40)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) { return zorvane::run_benchmarks_in<QCoreApplication>(argc, argv); }
