// One battle from the shell's side: writes the scenario, resets the result file, runs the
// tactical game while a "battle in progress" panel offers an abort, and reads the report.
// Applying the report to the defending cell is left to the caller (battle_outcome,
// apply_battle_outcome), so nothing of the campaign changes here.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battle_report.h"
#include "battle/scenario.h"
#include "config/settings.h"
#include "shell/game_launcher.h"

class QWidget;

namespace zorvane {

struct BattleRunResult {
  // The game ran and the report below decides the battle (also after an abort, when the
  // report is "no report" and the defenders hold). False: no battle took place, and the
  // caller should undo the attack with no units lost.
  bool fought = false;
  bool aborted = false;  // the user ended the battle
  bool busy = false;     // refused: another battle is still running
  QString error;         // why no battle took place, naming the file or program
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
  // live in program_folder; the game is the settings' game_exe_path, taken against
  // program_folder when relative. Returns when the game has ended; meanwhile events run
  // and a BattlePanel sits over parent. A call while a battle runs returns busy at once.
  BattleRunResult run_battle(const QString& program_folder, const Settings& settings, std::string_view terrain,
                             const std::vector<std::string>& attackers, const std::vector<std::string>& defenders,
                             QWidget* parent);

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
