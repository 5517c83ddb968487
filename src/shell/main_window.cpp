#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "common/paths.h"
#include "common/text.h"
#include "display/sprites.h"
#include "shell/action_panel.h"
#include "shell/army_panel.h"
#include "shell/config_panels.h"
#include "shell/folder_claim.h"
#include "shell/labels.h"
#include "shell/map_area.h"
#include "shell/play.h"
#include "shell/qt_text.h"
#include "shell/settings_panels.h"
#include "shell/stats_panel.h"
#include "shell/viewer_panel.h"

namespace zorvane {
namespace {

constexpr int kFallbackWidth = 640;
constexpr int kFallbackHeight = 480;

QString version_text() {
  return QStringLiteral("v%1.%2.%3").arg(ZORVANE_VERSION_MAJOR).arg(ZORVANE_VERSION_MINOR).arg(ZORVANE_VERSION_PATCH);
}

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

MainWindow::MainWindow(const QString& program_folder, Dialogs& dialogs, QWidget* parent)
    : MainWindow(FilePlaces::portable(program_folder), dialogs, parent) {}

MainWindow::MainWindow(FilePlaces places, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      places_(std::move(places)),
      folder_claim_(std::make_unique<FolderClaim>(places_.user_folder())),
      program_folder_(places_.user_folder()),
      dialogs_(dialogs) {
  // Before anything is written: a second copy on this folder must not share its battle files.
  const QString shared = folder_claim_->claim();
  places_.keep_scratch_in(folder_claim_->files_folder());
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Zorvane"));
  inner_ = new QWidget(this);
  inner_->setObjectName(QStringLiteral("InnerArea"));
  setCentralWidget(inner_);
  build_menus();
  build_panels();

  // Before a campaign starts, a window resized (or maximized late by the window manager)
  // gets its map picture and background fitted again; once the cells have a size, it stays.
  refit_timer_ = new QTimer(this);
  refit_timer_->setSingleShot(true);
  refit_timer_->setInterval(150);
  connect(refit_timer_, &QTimer::timeout, this, [this] {
    if (!activated_ || play_->engine().started()) return;
    const WaitCursor wait;
    map_area_->area_resized();
    viewer_->fit_within(inner_->size());
  });

  // Start-up, in order.
  setWindowIcon(QIcon(QPixmap::fromImage(window_icon_image())));
  for (QWidget* w : std::initializer_list<QWidget*>{findChild<QWidget*>(QStringLiteral("Label35")), turn_indicator_}) {
    w->setToolTip(places_.description());
  }
  for (QWidget* w : std::initializer_list<QWidget*>{action_panel_, viewer_, stats_panel_}) w->hide();
  if (!shared.isEmpty()) notice(shared);
  settings_panels_->load_settings();
  settings_panels_->load_rosters();
  apply_window_size();
  set_campaign_menus(false);
  turn_indicator_->setText(QStringLiteral("No campaign: File, New or File, Load"));
}

MainWindow::~MainWindow() = default;

CampaignState& MainWindow::state() { return play_->engine().state(); }

QString MainWindow::program_file(const QString& name) const { return QDir::toNativeSeparators(places_.file(name)); }

void MainWindow::build_menus() {
  const auto add = [this](QMenu* menu, const QString& name, const QString& caption, auto handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  new_action_ = add(file, QStringLiteral("mnuNew"), QStringLiteral("&New"), &MainWindow::new_campaign_from_menu);
  save_action_ = add(file, QStringLiteral("mnuSave"), QStringLiteral("&Save"), &MainWindow::save_campaign);
  load_action_ = add(file, QStringLiteral("mnuLoad"), QStringLiteral("&Load"), &MainWindow::load_campaign_from_menu);
  snapshot_action_ = add(file, QStringLiteral("mnusnapshot"), QStringLiteral("Sna&pshot"), [this] { play_->take_snapshot(false); });
  add(file, QStringLiteral("mnuConfig"), QStringLiteral("&Configure"), [this] { show_panel(settings_panels_->config_panel()); });
  add(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), &MainWindow::close);

  info_menu_ = menuBar()->addMenu(QStringLiteral("&Info"));
  info_menu_->setObjectName(QStringLiteral("mnuStats"));
  add(info_menu_, QStringLiteral("mnuScore"), QStringLiteral("&Statistics"), [this] { play_->show_statistics(); });
  add(info_menu_, QStringLiteral("mnulastbattle"), QStringLiteral("&Last Battle"), &MainWindow::show_last_battle);
  add(info_menu_, QStringLiteral("mnuLog"), QStringLiteral("Lo&g"), &MainWindow::show_log);
  add(info_menu_, QStringLiteral("mnuBattles"), QStringLiteral("&Battles"), &MainWindow::show_battles);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("mnuView"));
  QAction* owner_colours = view->addAction(QStringLiteral("&Owner colours"));
  owner_colours->setObjectName(QStringLiteral("mnuOwnerColours"));
  owner_colours->setCheckable(true);
  owner_colours->setChecked(true);
  connect(owner_colours, &QAction::toggled, this, [this](bool on) { play_->set_owner_colours(on); });

  QAction* help = menuBar()->addAction(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  connect(help, &QAction::triggered, this, &MainWindow::show_help);

  // Whose turn it is, in the menu bar's corner where it hides nothing of the map.
  turn_indicator_ = new QLabel(menuBar());
  turn_indicator_->setObjectName(QStringLiteral("TurnIndicator"));
  turn_indicator_->setContentsMargins(8, 0, 8, 0);
  // The menu bar sizes its corner once; leave room for the longest text it will show.
  turn_indicator_->setMinimumWidth(turn_indicator_->fontMetrics().horizontalAdvance(
                                       QStringLiteral("Turn 88888: team J to move (computer, waiting: see File, Configure)")) + 16);
  menuBar()->setCornerWidget(turn_indicator_, Qt::TopRightCorner);

  // The last battle, as text the player can read, select and copy.
  battle_report_ = new QLabel(statusBar());
  battle_report_->setObjectName(QStringLiteral("BattleReport"));
  battle_report_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  battle_report_->setAccessibleName(QStringLiteral("Last battle"));
  statusBar()->addWidget(battle_report_, 1);
  statusBar()->setSizeGripEnabled(false);

  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &MainWindow::escape_pressed);
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), this);
    connect(enter, &QShortcut::activated, this, &MainWindow::enter_pressed);
  }
}

void MainWindow::build_panels() {
  // Stacking, bottom to top: splash and version label, the map picture, then the floating
  // panels (the action panel first).
  map_area_ = new MapArea(places_, settings_, [this](const QString& text) { notice(text); }, inner_);
  map_view_ = map_area_->map_view();
  inner_->installEventFilter(this);
  action_panel_ = new ActionPanel(inner_);
  map_area_->stretch_progress = [this](int row) { action_panel_->source_label->setText(QString::number(row)); };
  settings_panels_ = new SettingsPanels(places_, dialogs_, settings_, cdata_, this, inner_);
  stats_panel_ = new StatsPanel(inner_);
  viewer_ = new ViewerPanel(inner_);
  for (QWidget* w : std::initializer_list<QWidget*>{action_panel_, stats_panel_, viewer_}) {
    w->raise();
  }
  connect(viewer_->close_label, &ClickLabel::clicked, viewer_, &QWidget::hide);
  connect(stats_panel_->close_label, &ClickLabel::clicked, stats_panel_, &QWidget::hide);

  play_ = new PlayController(places_, dialogs_, settings_, cdata_,
                             PlayViews{map_view_, map_area_->map_frame(), action_panel_, stats_panel_, turn_indicator_, this, save_action_,
                                      battle_report_},
                             this);
  connect(map_view_, &SurfaceWidget::mouse_down, play_,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { play_->map_click(x, y); });
  connect(action_panel_->add_button, &QPushButton::clicked, play_, &PlayController::choose_unit);
  connect(action_panel_->remove_button, &QPushButton::clicked, play_, &PlayController::unchoose_unit);
  connect(action_panel_->ok_button, &QPushButton::clicked, play_, &PlayController::confirm_action);
  connect(action_panel_->cancel_button, &QPushButton::clicked, play_, &PlayController::cancel_action);
  connect(action_panel_->available, &QListWidget::currentRowChanged, play_, &PlayController::select_available);
  connect(action_panel_->chosen, &QListWidget::currentRowChanged, play_, &PlayController::select_chosen);
  connect(play_, &PlayController::starting, settings_panels_, &SettingsPanels::reload_rosters);
  connect(play_, &PlayController::started, this, [this] { set_campaign_menus(true); });
  connect(play_, &PlayController::ended, this, [this] { set_campaign_menus(true, true); });
  connect(settings_panels_, &SettingsPanels::closed, play_, &PlayController::resume_computer_players);
}

void MainWindow::set_campaign_menus(bool running, bool over) {
  new_action_->setEnabled(!running || over);
  load_action_->setEnabled(!running || over);
  save_action_->setEnabled(running);
  snapshot_action_->setEnabled(running);
  info_menu_->setEnabled(running);
  info_menu_->menuAction()->setEnabled(running);
}

void MainWindow::notice(const QString& text) { dialogs_.message(text, QStringLiteral("Notice")); }

// ---------------------------------------------------------------------------------------
// Window size and activation

void MainWindow::apply_window_size() {
  setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  long long width = whole_value(settings_.window_width);
  long long height = whole_value(settings_.window_height);
  // An empty or too small stored size (a first start without config.dat) opens at 640 by 480.
  if (width < kMinWindowWidth || height < kMinWindowHeight) {
    width = kFallbackWidth;
    height = kFallbackHeight;
  }
  constexpr long long kMaxExtent = 16384;
  resize(static_cast<int>(std::min(width, kMaxExtent)), static_cast<int>(std::min(height, kMaxExtent)));
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - this->width()) / 2, area.y() + (area.height() - this->height()) / 2);
  }
  // Maximized, the window still has the stored size to return to when the window manager
  // restores it.
  if (settings_.run_maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!activated_) activate();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (activated_ && !play_->engine().started()) refit_timer_->start();
}

void MainWindow::activate() {
  activated_ = true;
  const WaitCursor wait;
  map_area_->activate(version_text());
  // The floating panels stand centred when they are first shown; one shown at start-up (the
  // configuration when it is missing) is centred again now that the window has its size.
  for (QWidget* panel : std::initializer_list<QWidget*>{action_panel_, stats_panel_, settings_panels_->made_config_panel()}) {
    if (panel && (panel != settings_panels_->made_config_panel() || panel->isVisible())) centre_in_parent(panel);
  }
  viewer_->fit_within(inner_->size());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == inner_ && event->type() == QEvent::Resize) keep_children_inside(inner_, map_area_->map_frame());
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Campaigns

FileDialogRequest MainWindow::program_folder_dialog(const QString& title, const QString& filter,
                                                    const QString& file_name) {
  // These dialogs start in the user's folder (the program folder when portable), which also
  // becomes the current folder.
  QDir::setCurrent(places_.user_folder());
  return FileDialogRequest{title, filter, 1, places_.user_folder(), file_name};
}

void MainWindow::new_campaign_from_menu() {
  FileDialogRequest request =
      program_folder_dialog(QStringLiteral("New campaign"), QStringLiteral("AIM Files (*.AIM)|*.aim|AIM Files"));
  request.folder = places_.maps_folder();
  const std::optional<QString> chosen = dialogs_.open_file(request);
  if (chosen) new_campaign(*chosen);
}

void MainWindow::new_campaign(const QString& map_path) {
  // The map is read and checked in full before anything changes, so a rejected map leaves
  // the campaign, the menus, the clock and the log as they were.
  const WaitCursor wait;
  if (!play_->battle_running()) map_area_->fit_map_if_needed();
  play_->start_new(map_path);
}

void MainWindow::load_campaign_from_menu() {
  const std::optional<QString> chosen = dialogs_.open_file(
      program_folder_dialog(QStringLiteral("Load campaign"), QStringLiteral("Save Files (*.sav)|*.sav")));
  if (chosen) load_campaign(*chosen);
}

void MainWindow::load_campaign(const QString& save_path) {
  const WaitCursor wait;
  if (!play_->battle_running()) map_area_->fit_map_if_needed();
  play_->start_saved(save_path);
}

void MainWindow::save_campaign() {
  const std::optional<QString> chosen = dialogs_.save_file(program_folder_dialog(
      QStringLiteral("Save campaign"), QStringLiteral("Save Files (*.sav)|*.sav"), QStringLiteral("SaveGame.sav")));
  if (!chosen) return;
  const WaitCursor wait;
  play_->save_campaign(*chosen);
}

void MainWindow::open_command_line(const QStringList& files, const QString& start_folder) {
  const QString usage = QStringLiteral(
      "Usage: zorvane [FILE]\nFILE is a campaign map (.aim), opened as File, New opens it, or a saved campaign "
      "(.sav), loaded as File, Load loads it.");
  if (files.isEmpty()) return;
  if (files.size() > 1) {
    notice(QStringLiteral("Only one file can be opened at start; %1 were given.\n\n%2").arg(files.size()).arg(usage));
    return;
  }
  const QString path = QDir(start_folder).absoluteFilePath(files.first());
  if (path.endsWith(QLatin1String(".aim"), Qt::CaseInsensitive)) {
    new_campaign(path);
  } else if (path.endsWith(QLatin1String(".sav"), Qt::CaseInsensitive)) {
    load_campaign(path);
  } else {
    notice(QStringLiteral("\"%1\" is neither a campaign map (.aim) nor a saved campaign (.sav).\n\n%2").arg(path, usage));
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A running battle is given up only when the user agrees; its attack is then undone.
  if (!play_->end_battle_for_quitting()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------
// Keys and panels

void MainWindow::escape_pressed() {
  QWidget* front = front_panel();
  if (!front) {
    play_->drop_selection();
  } else if (front == action_panel_) {
    play_->cancel_action();
  } else if (front == settings_panels_->made_config_panel()) {
    settings_panels_->made_config_panel()->close_button->click();
  } else {
    front->hide();
  }
}

void MainWindow::enter_pressed() {
  if (front_panel() == action_panel_ && action_panel_->isEnabled() && action_panel_->ok_button->isEnabled()) {
    play_->confirm_action();
  }
}

QWidget* MainWindow::front_panel() const {
  return front_visible_child(inner_, [this](const QWidget* w) { return map_area_->is_ground(w); });
}

// ---------------------------------------------------------------------------------------
// Viewers

void MainWindow::show_help() { viewer_->show_file(QStringLiteral("Help"), program_file(QStringLiteral("Help.txt")), false); }

void MainWindow::show_last_battle() {
  viewer_->show_file(QStringLiteral("Summary from last battle"), program_file(QStringLiteral("zorvtmp.txt")), false);
}

void MainWindow::show_battles() {
  const QStringList battles = play_->battle_list();
  viewer_->show_text(QStringLiteral("Battles"), battles.isEmpty() ? QStringLiteral("No battle has been fought in this campaign.")
                                                                  : battles.join(QLatin1Char('\n')));
}

void MainWindow::show_log() {
  viewer_->show_file(QStringLiteral("Battle Log"), program_file(QStringLiteral("blog.txt")), true);
}

}  // namespace zorvane
