#include "shell/play.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "bridge/battle_runner.h"
#include "bridge/unit_programs.h"
#include "campaign/battle_log.h"
#include "campaign/save_file.h"
#include "display/map_painter.h"
#include "display/snapshot.h"
#include "display/stats_painter.h"
#include "shell/action_panel.h"
#include "shell/autosave.h"
#include "shell/battle_panel.h"
#include "shell/panel.h"
#include "shell/qt_text.h"
#include "shell/stats_panel.h"
#include "turn/computer_player.h"
#include "turn/players.h"
#include "turn/selection.h"

namespace zorvane {
namespace {

// How a campaign ended, for the turn indicator: "Team A won", or at the turn limit
// "Turn limit: team B leads with 37 cells".
QString end_text(const CampaignState& state) {
  const Score score = count_score(state);
  if (score.winner) return QStringLiteral("Team %1 won").arg(qt_text(team_letter(*score.winner)));
  const int teams = std::clamp(state.team_count, 1, kTeamCount);
  const int most = *std::max_element(score.land.begin(), score.land.begin() + teams);
  QStringList leaders;
  for (int t = 1; t <= teams; ++t) {
    if (score.land[static_cast<std::size_t>(t - 1)] == most) leaders << qt_text(team_letter(t));
  }
  const QString cells = most == 1 ? QStringLiteral("1 cell") : QStringLiteral("%1 cells").arg(most);
  if (leaders.size() == 1) return QStringLiteral("Turn limit: team %1 leads with %2").arg(leaders[0], cells);
  return QStringLiteral("Turn limit: teams %1 lead with %2 each").arg(leaders.join(QStringLiteral(", ")), cells);
}

}  // namespace

PlayController::PlayController(const FilePlaces& places, Dialogs& dialogs, const Settings& settings,
                               const Roster& rosters, PlayViews views, QObject* parent)
    : QObject(parent),
      places_(places),
      dialogs_(dialogs),
      settings_(settings),
      rosters_(rosters),
      views_(views),
      engine_(settings, rosters),
      random_(std::make_unique<AiRandom>(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()))) {
  battles_ = new BattleRunner(this);
  connect(battles_, &BattleRunner::battle_started, this, [this] {
    // The progress panel with its abort button sits over the window while the game runs.
    battle_panel_ = std::make_unique<BattlePanel>(views_.battle_parent);
    connect(battle_panel_.get(), &BattlePanel::abort_requested, battles_, &BattleRunner::abort);
    battle_panel_->show();
    battle_panel_->raise();
  });
  connect(battles_, &BattleRunner::finished, this, &PlayController::battle_finished);
  views_.map_view->set_overlay([this](QPainter& painter) { draw_owner_outlines(painter); });

  clock_ = new QTimer(this);
  clock_->setObjectName(QStringLiteral("Timer1"));
  clock_->setInterval(2000);
  connect(clock_, &QTimer::timeout, this, &PlayController::computer_tick);

  autosave_ = new Autosave(this);
  connect(autosave_, &Autosave::written, this, [this] { autosave_failed_ = false; });
  connect(autosave_, &Autosave::failed, this, [this](const QString& error) {
    if (autosave_failed_) return;
    autosave_failed_ = true;
    notice(error + QStringLiteral("\nPlay goes on without the autosave; this is said once until an autosave works again."));
  });
}

PlayController::~PlayController() = default;

QString PlayController::program_file(const QString& name) const { return QDir::toNativeSeparators(places_.file(name)); }

void PlayController::notice(const QString& text) { dialogs_.message(text, QStringLiteral("Notice")); }

bool PlayController::battle_running() const { return engine_.battle_pending() || battles_->is_running(); }

// ---------------------------------------------------------------------------------------
// Starting a campaign

bool PlayController::start_new(const QString& map_path) {
  if (battle_running()) return false;
  const QImage& surface = views_.map_view->surface();
  if (const auto error = engine_.start_new(text_bytes(map_path), surface.width(), surface.height())) {
    notice(qt_text(*error));
    return false;
  }
  const FileResult log = reset_battle_log(text_bytes(program_file(QString::fromLatin1(kBattleLogFileName))));
  if (!log.ok) notice(QStringLiteral("The battle log could not be started afresh: %1").arg(qt_text(log.error)));
  emit starting();
  draw_campaign_map(views_.map_view->surface(), engine_.state());
  begin();
  return true;
}

bool PlayController::start_saved(const QString& save_path) {
  if (battle_running()) return false;
  const QImage& surface = views_.map_view->surface();
  if (const auto error = engine_.start_saved(text_bytes(save_path), places_.search_folders(), surface.width(),
                                             surface.height())) {
    notice(qt_text(*error));
    return false;
  }
  emit starting();
  draw_loaded_campaign(views_.map_view->surface(), engine_.state());
  begin();
  return true;
}

void PlayController::begin() {
  close_panel();
  computer_waits_ = false;
  // Starting over after an end: nothing of the last campaign stays in sight.
  views_.stats_panel->hide();
  battles_told_.clear();
  views_.battle_report->clear();
  views_.map_frame->show();
  views_.map_view->update();
  clock_->start();
  update_turn_indicator();
  emit started();
}

// ---------------------------------------------------------------------------------------
// The map and the action panel

void PlayController::map_click(int x, int y) {
  // While a battle runs, a click could start a second action.
  if (!engine_.started() || battle_running()) return;
  CampaignState& state = engine_.state();
  const ClickResult click = zorvane::map_click(state, x, y);
  std::vector<Frame> frames = click.frames;
  if (click.open_panel) {
    if (const auto removal = open_action_panel(state, panel_, rosters_, state.source_cell, state.target_cell)) {
      frames.push_back(*removal);
    } else {
      panel_team_ = state.current_team;
    }
  }
  draw_frames(frames);
  if (panel_.visible) show_panel();
}

void PlayController::draw_frames(const std::vector<Frame>& frames) {
  if (frames.empty()) return;
  const CampaignState& state = engine_.state();
  QPainter painter(&views_.map_view->surface());
  for (const Frame& f : frames) draw_cell_frame(painter, CellBox{f.x, f.y, state.cell_w, state.cell_h}, f.colour);
  views_.map_view->update();
}

void PlayController::drop_selection() {
  if (!engine_.started() || battle_running()) return;
  if (const auto removal = clear_selection(engine_.state())) draw_frames({*removal});
}

void PlayController::set_owner_colours(bool on) {
  owner_colours_ = on;
  views_.map_view->update();
}

void PlayController::draw_owner_outlines(QPainter& painter) const {
  if (!owner_colours_ || !engine_.started()) return;
  const CampaignState& state = engine_.state();
  const int cells = std::min(state.cell_count(), kMaxCells);
  for (int n = 1; n <= cells; ++n) {
    const int team = team_index(state.field(n, owner).to_text());
    if (team == 0) continue;
    const QRect box(static_cast<int>(state.field(n, x_px).to_whole()), static_cast<int>(state.field(n, y_px).to_whole()),
                    state.cell_w, state.cell_h);
    if (!painter.clipBoundingRect().intersects(box)) continue;
    // A band in the team's colour between two black lines, seen on any terrain.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(1, 1, -2, -2));
    painter.drawRect(box.adjusted(5, 5, -6, -6));
    painter.setPen(QPen(to_qcolor(palette_color(team)), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(box.adjusted(3, 3, -4, -4));
  }
}

void PlayController::show_panel() { views_.action_panel->show_model(panel_); }

void PlayController::close_panel() {
  zorvane::close_panel(engine_.state(), panel_);
  show_panel();
}

// The rows the user selected in the panel's lists, taken into the model.
void PlayController::take_list_selection() {
  panel_.available_selected = views_.action_panel->available->currentRow();
  panel_.chosen_selected = views_.action_panel->chosen->currentRow();
}

void PlayController::select_available() {
  if (views_.action_panel->refilling()) return;
  take_list_selection();
  zorvane::select_available(panel_);
  show_panel();
}

void PlayController::select_chosen() {
  if (views_.action_panel->refilling()) return;
  take_list_selection();
  zorvane::select_chosen(panel_);
  show_panel();
}

void PlayController::choose_unit() {
  take_list_selection();
  zorvane::choose_unit(engine_.state(), panel_);
  show_panel();
}

void PlayController::unchoose_unit() {
  take_list_selection();
  zorvane::unchoose_unit(engine_.state(), panel_);
  show_panel();
}

void PlayController::cancel_action() {
  cancel_action_panel(engine_.state(), panel_);
  show_panel();
}

void PlayController::confirm_action() {
  if (battle_running()) return;
  const std::optional<Action> action = panel_action(panel_);
  if (!action) return;
  // A panel left open while the turn passed on is not the team to move's.
  if (panel_team_ != engine_.team_to_move()) {
    close_panel();
    return;
  }
  computer_battle_ = false;
  handle(engine_.act(*action));
}

// ---------------------------------------------------------------------------------------
// What the engine reports

void PlayController::handle(const TurnEvents& events) {
  switch (events.result) {
    case TurnEvents::Result::rejected:
      close_panel();
      return;
    case TurnEvents::Result::battle_pending:
      // The panel stays shown, but nothing in it may be pressed while the game fights.
      views_.action_panel->setEnabled(false);
      views_.save_action->setEnabled(false);
      start_battle(*events.battle);
      return;
    case TurnEvents::Result::undone:
      close_panel();
      if (events.summary) tell_battle(*events.summary);
      if (!quitting_) {
        notice(qt_text(events.reason) +
               QStringLiteral("\nThe attack was called off: no battle was fought and no unit was lost."));
      }
      update_turn_indicator();
      return;
    case TurnEvents::Result::resolved:
    case TurnEvents::Result::passed:
      break;
  }
  // The panel closes before any message of its action, not behind it.
  close_panel();
  draw_badges(events.badges);
  if (events.summary) tell_battle(*events.summary);
  if (events.log) append_log(*events.log);
  if (events.snapshot) take_snapshot(true);
  if (events.ended) announce_end(*events.ended);
  after_action();
  if (events.ended) emit ended();
}

void PlayController::tell_battle(const BattleSummary& summary) {
  battles_told_.push_back(qt_text(battle_summary_text(summary)));
  views_.battle_report->setText(battles_told_.back());
}

QStringList PlayController::battle_list() const {
  QStringList list;
  for (auto it = battles_told_.rbegin(); it != battles_told_.rend(); ++it) list << *it;
  return list;
}

void PlayController::draw_badges(const std::vector<Badge>& badges) {
  if (badges.empty()) return;
  QPainter painter(&views_.map_view->surface());
  for (const Badge& badge : badges) {
    if (badge.kind == Badge::Kind::owner) {
      draw_owner_badge(painter, engine_.state(), badge.cell, badge.team);
    } else {
      draw_count_badge(painter, engine_.state(), badge.cell, badge.team, Value::whole(badge.count));
    }
  }
  views_.map_view->update();
}

void PlayController::append_log(const BattleLogEntry& entry) {
  const FileResult written = append_battle_log(text_bytes(program_file(QString::fromLatin1(kBattleLogFileName))), entry);
  if (written.ok || log_failed_) return;
  log_failed_ = true;
  notice(qt_text(written.error) + QStringLiteral("\nPlay goes on; this is said only once."));
}

void PlayController::end_steps() {
  clock_->stop();
  update_turn_indicator();
  create_stats(views_.stats_panel->drawing_surface(), engine_.state());
  views_.stats_panel->update();
  views_.stats_panel->show();
  views_.stats_panel->raise();
  views_.map_frame->hide();
}

void PlayController::announce_end(const CampaignEnd& end) {
  update_turn_indicator();  // says how it ended while the message is read
  if (end.winner) {
    dialogs_.message(QStringLiteral("Team %1 WINS!").arg(qt_text(team_letter(*end.winner))), QStringLiteral("Game Over"));
    end_steps();
  }
  if (end.turn_limit) {
    dialogs_.message(QStringLiteral("Turn Limit Reached. Game Over"), QStringLiteral("Game Over"));
    clock_->stop();
    update_turn_indicator();
    show_statistics();
    views_.map_frame->hide();
  }
}

void PlayController::show_statistics() {
  const Score score = engine_.count();
  if (score.winner) {
    dialogs_.message(QStringLiteral("Team %1 WINS!").arg(qt_text(team_letter(*score.winner))), QStringLiteral("Game Over"));
    end_steps();
    emit ended();
  }
  create_stats(views_.stats_panel->drawing_surface(), engine_.state());
  views_.stats_panel->update();
  views_.stats_panel->show();
  views_.stats_panel->raise();
}

void PlayController::after_action() {
  // A panel opened for a team whose turn has passed must not act for it later.
  if (panel_.visible && panel_team_ != engine_.team_to_move()) close_panel();
  update_turn_indicator();
  const CampaignState& state = engine_.state();
  if (campaign_save_problem(state)) return;  // a campaign with a line break in a text cannot be saved
  autosave_->save(text_bytes(program_file(QStringLiteral("autosave.sav"))), campaign_save_bytes(state));
}

void PlayController::flush_autosave() { autosave_->flush(); }

void PlayController::save_campaign(const QString& path) {
  if (const auto problem = campaign_save_problem(engine_.state())) {
    notice(QStringLiteral("The campaign could not be saved to \"%1\": %2").arg(path, qt_text(*problem)));
    return;
  }
  const FileResult written = write_campaign_save(text_bytes(path), engine_.state());
  if (!written.ok) {
    notice(QStringLiteral("The campaign could not be saved to \"%1\": %2.\n%3")
               .arg(path, qt_text(written.error),
                    written.old_file_damaged ? QStringLiteral("An earlier file of that name may be damaged.")
                                             : QStringLiteral("An earlier file of that name is unchanged.")));
  }
}

void PlayController::take_snapshot(bool automatic) {
  const QString path = program_file(QString::fromLatin1(kSnapshotFileName));
  const std::string error = save_snapshot(views_.map_view->surface(), text_bytes(path));
  if (!error.empty()) {
    // An automatic snapshot after every action says once that it fails, not every time.
    if (!automatic || !snapshot_failed_) notice(qt_text(error));
    snapshot_failed_ = snapshot_failed_ || automatic;
    return;
  }
  if (automatic) snapshot_failed_ = false;
  if (settings_.auto_snapshot == 0) {
    dialogs_.message(QStringLiteral("Image Saved to 'ZIDizizi.bmp'."), QStringLiteral("Saved"));
  }
}

void PlayController::update_turn_indicator() {
  QLabel* indicator = views_.turn_indicator;
  if (!engine_.started()) {
    indicator->setText(QStringLiteral("No campaign: File, New or File, Load"));
    return;
  }
  if (engine_.ended()) {
    indicator->setText(end_text(engine_.state()));
    return;
  }
  const int team = engine_.team_to_move();
  const QString who = !engine_.computer_plays(team) ? QString()
                      : computer_waits_ ? QStringLiteral(" (computer, waiting: see File, Configure)")
                                        : QStringLiteral(" (computer: %1)").arg(qt_text(computer_player_name(settings_, team)));
  indicator->setText(QStringLiteral("Turn %1: team %2 to move%3").arg(engine_.state().turn).arg(qt_text(team_letter(team)), who));
}

// ---------------------------------------------------------------------------------------
// Battles

void PlayController::start_battle(const BattleRequest& request) {
  // The game is taken against the folder that holds it; the battle's files go to this copy's
  // scratch folder.
  battles_->start_battle(places_.folder_holding(settings_.game_exe_path), settings_, request.terrain, request.attackers,
                         request.defenders, places_.scratch_folder());
}

void PlayController::battle_finished(const BattleRunResult& result) {
  battle_panel_.reset();
  views_.action_panel->setEnabled(true);
  views_.save_action->setEnabled(engine_.started());
  if (!result.no_report.isEmpty() && !quitting_) notice(result.no_report);
  const TurnEvents events = engine_.answer_battle(battle_answer(result));
  handle(events);
  if (!computer_battle_ || quitting_) return;
  if (events.result == TurnEvents::Result::undone && !result.aborted) {
    // Said once (by the undone attack's message); trying again every tick would repeat it.
    computer_waits_ = true;
    update_turn_indicator();
    return;
  }
  // The rest of the tick: the computer teams after this one in letter order.
  if (play_computer_teams(events.team + 1) && !engine_.ended()) clock_->start();
}

bool PlayController::end_battle_for_quitting() {
  if (!battle_running()) return true;
  if (!dialogs_.ask(QStringLiteral("A battle is in progress. Quitting now aborts it and calls the attack off: no "
                                   "battle is fought and no unit is lost.\nQuit anyway?"),
                    QStringLiteral("Quit"))) {
    return false;
  }
  quitting_ = true;
  battles_->abort_now();
  return true;
}

// ---------------------------------------------------------------------------------------
// The computer player's clock

void PlayController::computer_tick() {
  if (!engine_.started() || engine_.ended() || computer_waits_ || battle_running()) return;
  play_computer_teams(1);
}

bool PlayController::play_computer_teams(int first) {
  for (int team = std::max(first, 1); team <= kTeamCount; ++team) {
    if (!engine_.computer_plays(team) || engine_.team_to_move() != team) continue;
    clock_->stop();
    computer_battle_ = true;
    // The choice is made without letting events run: no click can change the campaign under it.
    handle(engine_.act(choose_computer_action(
        engine_.state(), settings_, rosters_, *random_,
        game_unit_strengths(places_.folder_holding(settings_.game_exe_path), settings_))));
    if (engine_.battle_pending() || engine_.ended()) return false;
    clock_->start();
  }
  return true;
}

void PlayController::resume_computer_players() {
  if (!computer_waits_) return;
  computer_waits_ = false;
  update_turn_indicator();
  if (engine_.started() && !engine_.ended()) clock_->start();
}

}  // namespace zorvane
