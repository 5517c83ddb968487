// One battle from the shell's side: writes the scenario, resets the result file, runs the
// tactical game and reads its report. Applying the report to the defending cell is left to
// the caller (battle_outcome, apply_battle_outcome), so nothing of the campaign changes
// here. Needs Qt Core only, so a program without a display can fight battles too.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "bridge/game_launcher.h"
#include "config/settings.h"

namespace zorvane {

// The environment variable that tells the game each unit's side: one digit per "unit="
// line of the scenario, in order, "1" for an attacker and "2" for a defender.
inline constexpr char kBattleSidesVariable[] = "ZORVANE_BATTLE_SIDES";

// The sides of the units that get a "unit=" line (rows holding a unit), in roster order.
std::string battle_sides(const BattleRoster& roster);

struct BattleRunResult {
  // The game ran and the report below decides the battle (also after an abort, when the
  // report is "no report" and the defenders hold). False: no battle took place (the game
  // could not start, its files could not be written, or it failed before it reported),
  // and the caller should undo the attack with no units lost.
  bool fought = false;
  bool aborted = false;  // the user ended the battle
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

  // Fights the battle for an attack on a cell of this terrain. attackers and defenders
  // are the action panel's lists ("New" and "Current"). The scenario and result files
  // live in files_folder (by default the program folder); the game is the settings'
  // game_exe_path, taken against program_folder when relative. Returns when the game has
  // ended; meanwhile events run. A call while a battle runs returns busy at once.
  BattleRunResult run_battle(const QString& program_folder, const Settings& settings, std::string_view terrain,
                             const std::vector<std::string>& attackers, const std::vector<std::string>& defenders,
                             const QString& files_folder = QString());

  bool is_running() const { return running_; }
  GameLauncher& launcher() { return launcher_; }

 public slots:
  // Ends the running battle; the defenders hold. Nothing happens when none runs.
  void abort();

 signals:
  void battle_started();
  void battle_finished();

 private:
  GameLauncher launcher_;
  bool running_ = false;
};

}  // namespace zorvane
