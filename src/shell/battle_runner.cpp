#include "shell/battle_runner.h"

#include <QFile>
#include <QWidget>
#include <memory>

#include "common/linefile.h"
#include "common/paths.h"
#include "shell/battle_panel.h"

namespace zorvane {
namespace {

std::string to_bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString from_bytes(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

BattleRunner::BattleRunner(QObject* parent) : QObject(parent) {}

void BattleRunner::abort() { launcher_.abort(); }

BattleRunResult BattleRunner::run_battle(const QString& program_folder, const Settings& settings,
                                         std::string_view terrain, const std::vector<std::string>& attackers,
                                         const std::vector<std::string>& defenders, QWidget* parent) {
  BattleRunResult result;
  if (running_) {
    result.busy = true;
    result.error = tr("A battle is already in progress.");
    return result;
  }
  running_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{running_};

  const std::string folder = to_bytes(program_folder);
  const std::string scenario_path = join_path(folder, kScenarioFileName);
  const std::string result_path = join_path(folder, kResultFileName);
  result.scenario_path = from_bytes(scenario_path);
  result.result_path = from_bytes(result_path);

  const QString program = game_program_path(program_folder, settings.game_exe_path);
  // The unit lines name the game's own folder, so they must see the path actually started.
  Settings resolved = settings;
  resolved.game_exe_path = resolve_in_folder(folder, settings.game_exe_path);
  const Scenario scenario = build_scenario(terrain, resolved, attackers, defenders);
  result.report.roster = scenario.roster;

  const FileResult written = write_file_atomic(scenario_path, scenario.bytes());
  if (!written.ok) {
    result.error = tr("The battle scenario could not be written to %1: %2")
                       .arg(result.scenario_path, QString::fromLocal8Bit(written.error.c_str()));
    return result;
  }
  QString reset_error;
  if (!reset_result_file(result.result_path, &reset_error)) {
    result.error = tr("The battle result file could not be written to %1: %2").arg(result.result_path, reset_error);
    return result;
  }

  std::unique_ptr<BattlePanel> panel(new BattlePanel(parent));
  connect(panel.get(), &BattlePanel::abort_requested, &launcher_, &GameLauncher::abort);
  panel->show();
  panel->raise();
  emit battle_started();
  const LaunchResult launched = launcher_.launch_game(program, game_arguments(result.scenario_path, result.result_path));
  panel.reset();

  if (!launched.started()) {
    result.error = launched.error;
  } else if (launched.status == LaunchStatus::aborted) {
    result.fought = true;
    result.aborted = true;
    // Whatever the game managed to write before it was stopped does not count.
    reset_result_file(result.result_path);
    result.report = read_battle_report(scenario.roster, kNoReportMarker);
  } else {
    result.fought = true;
    result.report = read_battle_report_file(scenario.roster, result_path);
  }
  emit battle_finished();
  return result;
}

}  // namespace zorvane
