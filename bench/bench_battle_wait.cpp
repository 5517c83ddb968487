// Processor time the shell spends while it waits for a battle: the stand-in game is told
// to take two seconds (/D:2000), and the shell's own CPU time (user + system, all its
// threads) across launch_game is reported as a percentage of the wall time. Goal: under
// 1% of one core. BM_BusyPollWait shows what a processEvents() poll loop costs instead.
// The game is looked for at ZORVANE_VANTOR, else ../zorvane/vantor/Vantor.exe from here.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <string>

#include "battle/scenario.h"
#include "common/linefile.h"
#include "bridge/game_launcher.h"
#include "bench_main.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

double cpu_seconds() {
#ifdef Q_OS_UNIX
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

QString vantor_path() {
  const QString configured = qEnvironmentVariable("ZORVANE_VANTOR");
  if (!configured.isEmpty()) return configured;
  return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../zorvane/vantor/Vantor.exe");
}

// A battle of four units in a temporary program folder.
struct BattleFiles {
  QTemporaryDir dir;
  QString scenario;
  QString result;

  BattleFiles() {
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    zorvane::write_file_atomic(folder + "/tank.ai", "name=Tank\r\nhull=220\r\narmor=9\r\nattack=26\r\n");
    zorvane::write_file_atomic(folder + "/scout.ai", "name=Scout\r\nhull=70\r\nrange=4\r\nspeed=5\r\n");
    zorvane::Settings settings;
    settings.game_exe_path = folder + "/Vantor.exe";
    settings.battle_damage = settings.battle_fuel = settings.battle_ammo = "100";
    settings.battle_click_limit = "500";
    const auto s = zorvane::build_scenario("1", settings, {"tank.ai", "scout.ai"}, {"tank.ai", "scout.ai"});
    scenario = dir.path() + "/zorvtmp.scn";
    result = dir.path() + "/zorvtmp.txt";
    zorvane::write_file_atomic(QFile::encodeName(scenario).toStdString(), s.bytes());
  }
  QStringList arguments() const {
    return zorvane::game_arguments(scenario, result) << QStringLiteral("/D:2000") << QStringLiteral("/R:1");
  }
};

void BM_WaitForTwoSecondBattle(benchmark::State& state) {
  BattleFiles files;
  zorvane::GameLauncher launcher;
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    zorvane::reset_result_file(files.result);
    QElapsedTimer clock;
    clock.start();
    const double cpu_before = cpu_seconds();
    const zorvane::LaunchResult launched = launcher.launch_game(vantor_path(), files.arguments());
    cpu += cpu_seconds() - cpu_before;
    wall += static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (launched.status != zorvane::LaunchStatus::finished || launched.exit_code != 0) {
      state.SkipWithError(("the stand-in game did not run: " + launched.error.toStdString()).c_str());
      return;
    }
  }
  state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
  state.counters["cpu_ms_per_battle"] = 1000.0 * cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WaitForTwoSecondBattle)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison only: the same battle waited for by polling with processEvents().
void BM_BusyPollWait(benchmark::State& state) {
  BattleFiles files;
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    QProcess process;
    process.start(vantor_path(), files.arguments());
    QElapsedTimer clock;
    clock.start();
    const double cpu_before = cpu_seconds();
    while (process.state() != QProcess::NotRunning) QCoreApplication::processEvents();
    cpu += cpu_seconds() - cpu_before;
    wall += static_cast<double>(clock.nsecsElapsed()) / 1e9;
  }
  state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
}
BENCHMARK(BM_BusyPollWait)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return zorvane::run_benchmarks_in<QCoreApplication>(argc, argv); }
