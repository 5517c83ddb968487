#include "bridge/battle_runner.h"

#include <QEventLoop>
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

std::uint64_t battle_seed(std::uint64_t campaign_seed, long number) {
  // splitmix64's finaliser over the pair: every bit of both reaches every bit of the seed.
  std::uint64_t z = campaign_seed + 0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(number);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

BattleAnswer battle_answer(const BattleRunResult& result) {
  BattleAnswer answer;
  answer.kind = result.fought ? BattleAnswer::Kind::fought
                : result.aborted ? BattleAnswer::Kind::aborted
                                 : BattleAnswer::Kind::not_fought;
  answer.report = result.report;
  answer.reason = result.error.toLocal8Bit().toStdString();
  return answer;
}

BattleRunner::BattleRunner(QObject* parent) : QObject(parent) {
  connect(&launcher_, &GameLauncher::finished, this, &BattleRunner::game_finished);
}

void BattleRunner::abort() { launcher_.abort(); }

void BattleRunner::abort_now() { launcher_.kill_now(); }

void BattleRunner::finish(BattleRunResult result) {
  running_ = false;
  emit finished(result);
}

void BattleRunner::start_battle(const QString& program_folder, const Settings& settings, std::string_view terrain,
                                const std::vector<std::string>& attackers, const std::vector<std::string>& defenders,
                                const QString& files_folder, std::optional<std::uint64_t> seed) {
  BattleRunResult result;
  const auto refuse = [this](BattleRunResult refused) {
    QMetaObject::invokeMethod(this, [this, refused] { emit finished(refused); }, Qt::QueuedConnection);
  };
  if (running_) {
    result.busy = true;
    result.error = tr("A battle is already in progress.");
    return refuse(result);
  }

  const std::string folder = to_bytes(program_folder);
  const std::string files = files_folder.isEmpty() ? folder : to_bytes(files_folder);
  const std::string scenario_path = platform_join(files, kScenarioFileName);
  const std::string result_path = platform_join(files, kResultFileName);
  result.scenario_path = from_bytes(scenario_path);
  result.result_path = from_bytes(result_path);

  const QString program = game_program_path(program_folder, settings.game_exe_path);
  // The unit lines name the game's own folder, so they must see the path actually started.
  Settings resolved = settings;
  resolved.game_exe_path = resolve_in_folder(folder, settings.game_exe_path);
  const Scenario scenario = build_scenario(terrain, resolved, attackers, defenders);
  result.report.roster = scenario.roster;

  // A scratch file the game reads at once: generated, replaced whole, not forced to disk.
  const FileResult written = write_scratch_file(scenario_path, scenario.bytes());
  if (!written.ok) {
    result.error = tr("The battle scenario could not be written to %1: %2")
                       .arg(result.scenario_path, QString::fromLocal8Bit(written.error.c_str()));
    return refuse(result);
  }
  QString reset_error;
  if (!reset_result_file(result.result_path, &reset_error)) {
    result.error = tr("The battle result file could not be written to %1: %2").arg(result.result_path, reset_error);
    return refuse(result);
  }

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kBattleSidesVariable), QString::fromStdString(battle_sides(scenario.roster)));
  // A seed inherited from this program's own environment is not this battle's.
  environment.remove(QString::fromLatin1(kBattleSeedVariable));
  if (seed) environment.insert(QString::fromLatin1(kBattleSeedVariable), QString::number(*seed));
  running_ = true;
  pending_ = std::move(result);
  program_ = program;
  emit battle_started();
  if (!launcher_.start_game(program, game_arguments(pending_.scenario_path, pending_.result_path), environment)) {
    pending_.busy = true;
    pending_.error = tr("A battle is already in progress.");
    finish(std::move(pending_));
  }
}

void BattleRunner::game_finished(const LaunchResult& launched) {
  if (!running_) return;
  BattleRunResult result = std::move(pending_);
  const BattleRoster roster = result.report.roster;
  if (!launched.started()) {
    result.error = launched.error;
  } else if (launched.status == LaunchStatus::aborted) {
    result.aborted = true;
    result.error = tr("The battle was aborted.");
    // Whatever the game managed to write before it was stopped does not count.
    reset_result_file(result.result_path);
  } else {
    result.report = read_battle_report_file(roster, to_bytes(result.result_path));
    if (launched.failed() && !result.report.reported) {
      // A game that fails before it reports has not fought: nobody loses a unit.
      result.error = with_output(tr("The tactical game %1 ended with %2 before it reported the battle.")
                                     .arg(program_, launched.ending()),
                                 launched.output);
    } else {
      result.fought = true;
      if (!result.report.reported) {
        result.no_report = with_output(
            tr("The tactical game %1 ended without reporting the battle; the defenders hold.").arg(program_),
            launched.output);
      }
    }
  }
  finish(std::move(result));
}

BattleRunResult BattleRunner::run_battle(const QString& program_folder, const Settings& settings,
                                         std::string_view terrain, const std::vector<std::string>& attackers,
                                         const std::vector<std::string>& defenders, const QString& files_folder,
                                         std::optional<std::uint64_t> seed) {
  BattleRunResult result;
  QEventLoop loop;
  const QMetaObject::Connection done = connect(this, &BattleRunner::finished, &loop, [&](const BattleRunResult& r) {
    result = r;
    loop.quit();
  });
  start_battle(program_folder, settings, terrain, attackers, defenders, files_folder, seed);
  loop.exec();
  if (running_) abort_now();  // the loop was ended from outside: the program is quitting
  disconnect(done);
  return result;
}

}  // namespace zorvane
