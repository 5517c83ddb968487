// One battle from the shell's side: writes the scenario, resets the result file, runs the
// tactical game and reads its report, without blocking the caller. Applying the report to the defending cell is left to
// the caller (battle_outcome, apply_battle_outcome), so nothing of the campaign changes
// here. Needs Qt Core only, so a program without a display can fight battles too.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "bridge/game_launcher.h"
#include "config/settings.h"
#include "turn/engine.h"

namespace zorvane {

// The environment variable that tells the game each unit's side: one digit per "unit="
// line of the scenario, in order, "1" for an attacker and "2" for a defender.
inline constexpr char kBattleSidesVariable[] = "ZORVANE_BATTLE_SIDES";

// The sides of the units that get a "unit=" line (rows holding a unit), in roster order.
std::string battle_sides(const BattleRoster& roster);

// The environment variable that gives the game the battle's random seed, a whole number,
// so that a campaign played again with its seed fights the same battles.
inline constexpr char kBattleSeedVariable[] = "ZORVANE_BATTLE_SEED";

// The seed of a campaign's battle: its number (from 1) mixed into the campaign's seed, so
// that neighbouring campaign seeds give unrelated battles.
std::uint64_t battle_seed(std::uint64_t campaign_seed, long number);

struct BattleRunResult {
  // The game ran and the report below decides the battle. False: no battle took place (the
  // game could not start, its files could not be written, it failed before it reported,
  // or the user aborted it), and the attack is undone with no units lost.
  bool fought = false;
  bool aborted = false;  // the user ended the battle (not fought)
  bool busy = false;     // refused: another battle is still running
  QString error;         // why no battle took place, naming the file or program
  // A battle that was fought but left no report: the defenders hold, and this says so
  // with the game's last output. Empty otherwise.
  QString no_report;
  BattleReport report;   // the roster with its scores, and best_score
  QString scenario_path;
  QString result_path;
};

class BattleRunner : public QObject {
  Q_OBJECT
 public:
  explicit BattleRunner(QObject* parent = nullptr);

  // Starts the battle for an attack on a cell of this terrain and returns at once; `finished`
  // tells the result from the event loop. attackers and defenders are the units of each
  // side. The scenario and result files live in files_folder (by default the program
  // folder); the game is the settings' game_exe_path, taken against program_folder when
  // relative. With a seed, the game gets it in ZORVANE_BATTLE_SEED (and nothing else does);
  // without, the game picks its own. A call while a battle runs finishes busy.
  void start_battle(const QString& program_folder, const Settings& settings, std::string_view terrain,
                    const std::vector<std::string>& attackers, const std::vector<std::string>& defenders,
                    const QString& files_folder = QString(), std::optional<std::uint64_t> seed = std::nullopt);
  // start_battle, then waits in an event loop of its own for the result: for programs
  // without a window to keep live (the headless runner, tests).
  BattleRunResult run_battle(const QString& program_folder, const Settings& settings, std::string_view terrain,
                             const std::vector<std::string>& attackers, const std::vector<std::string>& defenders,
                             const QString& files_folder = QString(), std::optional<std::uint64_t> seed = std::nullopt);

  bool is_running() const { return running_; }
  GameLauncher& launcher() { return launcher_; }

 public slots:
  // Ends the running battle: it counts as not fought. Nothing happens when none runs.
  void abort();
  // Ends the running battle at once and returns after `finished` has told it: for a program
  // that is about to end.
  void abort_now();

 signals:
  void battle_started();
  void finished(const zorvane::BattleRunResult& result);

 private:
  void finish(BattleRunResult result);
  void game_finished(const LaunchResult& launched);

  GameLauncher launcher_;
  bool running_ = false;
  BattleRunResult pending_;  // what is known of the running battle
  QString program_;
};

// What the turn engine is told of a battle's result.
BattleAnswer battle_answer(const BattleRunResult& result);

}  // namespace zorvane
