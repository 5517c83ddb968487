// Play in the main window: map clicks, the action panel, resolving actions through the
// turn engine, the statistics panel, the autosave and the turn indicator.
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include "bridge/battle_runner.h"
#include "campaign/battle_log.h"
#include "campaign/save_file.h"
#include "common/text.h"
#include "display/map_painter.h"
#include "display/stats_painter.h"
#include "shell/action_panel.h"
#include "shell/autosave.h"
#include "shell/main_window.h"
#include "shell/panel.h"
#include "shell/qt_text.h"
#include "shell/stats_panel.h"
#include "turn/computer_player.h"
#include "turn/resolution.h"
#include "turn/scoring.h"
#include "turn/selection.h"

namespace zorvane {

// The turn engine's view of the window: battles through the battle runner, drawing on the
// map picture, the log in the program folder, the window's message boxes.
class WindowWorld : public TurnWorld {
 public:
  explicit WindowWorld(MainWindow& w) : w_(w) {}

  BattleAnswer fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                            const std::vector<std::string>& defenders) override {
    // Nothing may start a second action while the game runs.
    w_.picture2_->setEnabled(false);
    BattleRunResult run = w_.fight_battle(terrain, attackers, defenders);
    w_.picture2_->setEnabled(true);
    if (!run.no_report.isEmpty()) w_.notice(run.no_report);
    return BattleAnswer{run.fought, std::move(run.report), text_bytes(run.error)};
  }
  void draw_owner_badge(int cell, int team) override {
    QPainter painter(&w_.picture1_->surface());
    zorvane::draw_owner_badge(painter, w_.state_, cell, team);
    w_.picture1_->update();
  }
  void draw_count_badge(int cell, int team, const Value& shown) override {
    QPainter painter(&w_.picture1_->surface());
    zorvane::draw_count_badge(painter, w_.state_, cell, team, shown);
    w_.picture1_->update();
  }
  void append_log(const BattleLogEntry& entry) override {
    const FileResult written =
        append_battle_log(text_bytes(w_.program_file(QString::fromLatin1(kBattleLogFileName))), entry);
    if (written.ok || w_.log_failed_) return;
    w_.log_failed_ = true;
    w_.notice(qt_text(written.error) + QStringLiteral("\nPlay goes on; this is said only once."));
  }
  void message(const std::string& text, const std::string& title) override {
    // The panel closes before the message, not behind it.
    w_.picture2_->show_model(w_.panel_model_);
    w_.dialogs_.message(qt_text(text), qt_text(title));
  }
  void snapshot() override { w_.take_snapshot(true); }
  void show_statistics() override {
    create_stats(w_.picture6_->surface(), w_.state_);
    w_.picture6_->update();
    w_.picture6_->show();
    w_.picture6_->raise();
  }
  void end_campaign() override {
    w_.campaign_over_ = true;
    w_.timer1_->stop();
    w_.update_turn_indicator();
  }
  void hide_map() override { w_.picture1_->hide(); }

 private:
  MainWindow& w_;
};

void MainWindow::draw_frames(const std::vector<Frame>& frames) {
  if (frames.empty()) return;
  QPainter painter(&picture1_->surface());
  for (const Frame& f : frames) draw_cell_frame(painter, CellBox{f.x, f.y, state_.cell_w, state_.cell_h}, f.colour);
  picture1_->update();
}

void MainWindow::Picture1_MouseDown(int x, int y) {
  // While an action is resolved (a battle runs) a click could start a second one.
  if (!campaign_started_ || resolving_ || battle_running()) return;
  const ClickResult click = map_click(state_, x, y);
  draw_frames(click.frames);
  if (!click.run_b_mode) return;
  if (const auto removal = b_mode(state_, panel_model_, cdata_, state_.source_cell, state_.target_cell)) {
    draw_frames({*removal});
    return;
  }
  picture2_->show_model(panel_model_);
}

void MainWindow::take_list_selection() {
  panel_model_.available_selected = picture2_->available->currentRow();
  panel_model_.chosen_selected = picture2_->chosen->currentRow();
}

void MainWindow::List1_Click() {
  if (picture2_->refilling()) return;
  take_list_selection();
  zorvane::List1_Click(panel_model_);
  picture2_->show_model(panel_model_);
}

void MainWindow::List2_Click() {
  if (picture2_->refilling()) return;
  take_list_selection();
  zorvane::List2_Click(panel_model_);
  picture2_->show_model(panel_model_);
}

void MainWindow::Command1_Click() {
  take_list_selection();
  zorvane::Command1_Click(state_, panel_model_);
  picture2_->show_model(panel_model_);
}

void MainWindow::Command2_Click() {
  take_list_selection();
  zorvane::Command2_Click(state_, panel_model_);
  picture2_->show_model(panel_model_);
}

void MainWindow::Command4_Click() {
  zorvane::Command4_Click(state_, panel_model_);
  picture2_->show_model(panel_model_);
}

void MainWindow::Command3_Click() {
  if (resolving_ || battle_running()) return;
  resolving_ = true;
  WindowWorld world(*this);
  const ActionOutcome outcome = zorvane::Command3_Click(state_, panel_model_, settings_, world);
  resolving_ = false;
  picture2_->show_model(panel_model_);
  if (outcome == ActionOutcome::resolved) after_action();
}

void MainWindow::Timer1_Timer() {
  if (!campaign_started_ || campaign_over_ || computer_waits_ || resolving_ || battle_running()) return;
  for (int k = 1; k <= kTeamCount; ++k) {
    if (settings_.computer_controlled[static_cast<std::size_t>(k - 1)] != 1 || state_.current_team != k) continue;
    if (!comp_ai_turn()) return;
  }
}

bool MainWindow::comp_ai_turn() {
  timer1_->stop();
  resolving_ = true;
  WindowWorld world(*this);
  // The choice is made without letting events run: no click can change the campaign under it.
  const AiOutcome outcome = comp_ai(state_, panel_model_, settings_, cdata_, world, *ai_random_);
  resolving_ = false;
  picture2_->show_model(panel_model_);
  if (outcome == AiOutcome::undone) {
    // Said once (by the undone attack's message); trying again every tick would repeat it.
    computer_waits_ = true;
    update_turn_indicator();
    return false;
  }
  after_action();
  if (campaign_over_) return false;
  timer1_->start();
  return true;
}

void MainWindow::resume_computer_players() {
  if (!computer_waits_) return;
  computer_waits_ = false;
  update_turn_indicator();
  if (campaign_started_ && !campaign_over_) timer1_->start();
}

void MainWindow::mnuScore_Click() {
  WindowWorld world(*this);
  zorvane::mnuScore_Click(state_, world);
}

void MainWindow::after_action() {
  if (!campaign_over_) skip_landless_players(state_, settings_);
  update_turn_indicator();
  if (campaign_save_problem(state_)) return;  // a campaign with a line break in a text cannot be saved
  autosave_->save(text_bytes(program_file(QStringLiteral("autosave.sav"))), campaign_save_bytes(state_));
}

void MainWindow::update_turn_indicator() {
  if (!campaign_started_) {
    turn_indicator_->clear();
    return;
  }
  QString text = QStringLiteral("Turn %1: ").arg(state_.turn);
  if (campaign_over_) {
    text = QStringLiteral("Game over");
  } else {
    const int team = state_.current_team;
    const bool computer = team >= 1 && team <= kTeamCount && settings_.computer_controlled[static_cast<std::size_t>(team - 1)] == 1;
    const QString who = !computer ? QString()
                        : computer_waits_ ? QStringLiteral(" (computer, waiting: see File, Configure)")
                                          : QStringLiteral(" (computer)");
    text += QStringLiteral("team %1 to move%2").arg(qt_text(team_letter(team)), who);
  }
  turn_indicator_->setText(text);
}

}  // namespace zorvane
