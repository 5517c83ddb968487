#include "bridge/battle_runner.h"

#include <QFile>

#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"

namespace zorvane {
namespace {

std::string to_bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString from_bytes(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QString with_output(const QString& text, const QString& output) {
  if (output.isEmpty()) return text + QStringLiteral("\nIt printed nothing.");
  return text + QStringLiteral("\nIts last output:\n") + output;
}

}  // namespace

std::string battle_sides(const BattleRoster& roster) {
  std::string sides;
  for (const BattleRosterRow& row : roster) {
    if (!row.side.empty() && !trim(row.unit).empty()) sides += row.side;
  }
  return sides;
}

BattleRunner::BattleRunner(QObject* parent) : QObject(parent) {}

void BattleRunner::abort() { launcher_.abort(); }

BattleRunResult BattleRunner::run_battle(const QString& program_folder, const Settings& settings,
                                         std::string_view terrain, const std::vector<std::string>& attackers,
                                         const std::vector<std::string>& defenders, const QString& files_folder) {
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
  const std::string files = files_folder.isEmpty() ? folder : to_bytes(files_folder);
  const std::string scenario_path = join_path(files, kScenarioFileName);
  const std::string result_path = join_path(files, kResultFileName);
  result.scenario_path = from_bytes(scenario_path);
  result.result_path = from_bytes(result_path);

  const QString program = game_program_path(program_folder, settings.game_exe_path);
  // The unit lines name the game's own folder, so they must see the path actually started.
  Settings resolved = settings;
  resolved.game_exe_path = resolve_in_folder(folder, settings.game_exe_path);
  const Scenario scenario = build_scenario(terrain, resolved, attackers, defenders);
  result.report.roster = scenario.roster;

  const FileResult written = write_generated_file(scenario_path, scenario.bytes());
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

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kBattleSidesVariable), QString::fromStdString(battle_sides(scenario.roster)));
  emit battle_started();
  const LaunchResult launched =
      launcher_.launch_game(program, game_arguments(result.scenario_path, result.result_path), environment);

  if (!launched.started()) {
    result.error = launched.error;
  } else if (launched.status == LaunchStatus::aborted) {
    result.fought = true;
    result.aborted = true;
    // Whatever the game managed to write before it was stopped does not count.
    reset_result_file(result.result_path);
    result.report = read_battle_report(scenario.roster, kNoReportMarker);
  } else {
    result.report = read_battle_report_file(scenario.roster, result_path);
    if (launched.failed() && !result.report.reported) {
      // A game that fails before it reports has not fought: nobody loses a unit.
      result.error = with_output(tr("The tactical game %1 ended with %2 before it reported the battle.")
                                     .arg(program, launched.ending()),
                                 launched.output);
    } else {
      result.fought = true;
      if (!result.report.reported) {
        result.no_report = with_output(
            tr("The tactical game %1 ended without reporting the battle; the defenders hold.").arg(program),
            launched.output);
      }
    }
  }
  emit battle_finished();
  return result;
}

}  // namespace zorvane
