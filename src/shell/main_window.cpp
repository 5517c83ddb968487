#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <memory>
#include <utility>

#include "bridge/battle_runner.h"
#include "campaign/battle_log.h"
#include "campaign/map_file.h"
#include "campaign/save_file.h"
#include "common/linefile.h"
#include "common/paths.h"
#include "common/text.h"
#include "display/map_painter.h"
#include "display/snapshot.h"
#include "display/splash.h"
#include "display/sprites.h"
#include "display/stretch.h"
#include "shell/action_panel.h"
#include "shell/army_panel.h"
#include "shell/autosave.h"
#include "shell/battle_panel.h"
#include "shell/config_panels.h"
#include "shell/folder_claim.h"
#include "shell/labels.h"
#include "shell/qt_text.h"
#include "shell/setting_controls.h"
#include "shell/stats_panel.h"
#include "shell/viewer_panel.h"
#include "turn/computer_player.h"

namespace zorvane {
namespace {

constexpr int kFallbackWidth = 640;
constexpr int kFallbackHeight = 480;
// Where neither a cell nor the background image is drawn.
const QColor kPlainMap(72, 72, 80);
// The viewer shows at most this much of a file, and says what it leaves out: laying out a
// huge battle report or log would freeze the window.
constexpr std::uint64_t kViewerMaxBytes = 1u << 20;
constexpr std::size_t kViewerMaxLines = 20000;
constexpr std::size_t kViewerMaxLineBytes = 4096;

QString amount_text(std::uint64_t bytes) {
  if (bytes >= (1u << 20)) return QStringLiteral("%1 MiB").arg(static_cast<double>(bytes) / (1u << 20), 0, 'f', 1);
  if (bytes >= (1u << 10)) return QStringLiteral("%1 KiB").arg(static_cast<double>(bytes) / (1u << 10), 0, 'f', 1);
  return QStringLiteral("%1 bytes").arg(bytes);
}

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
    : QMainWindow(parent),
      program_folder_(QDir::cleanPath(program_folder)),
      folder_claim_(std::make_unique<FolderClaim>(program_folder_)),
      dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Zorvane"));
  inner_ = new QWidget(this);
  inner_->setObjectName(QStringLiteral("InnerArea"));
  setCentralWidget(inner_);
  build_menus();
  build_panels();

  battle_runner_ = new BattleRunner(this);
  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(2000);
  connect(timer1_, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
  autosave_ = new Autosave(this);
  connect(autosave_, &Autosave::written, this, [this] { autosave_failed_ = false; });
  connect(autosave_, &Autosave::failed, this, [this](const QString& error) {
    if (autosave_failed_) return;
    autosave_failed_ = true;
    notice(error + QStringLiteral("\nPlay goes on without the autosave; this is said once until an autosave works again."));
  });
  ai_random_ = std::make_unique<AiRandom>(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));

  // Before a campaign starts, a window resized (or maximized late by the window manager)
  // gets its map picture and background fitted again; once the cells have a size, it stays.
  refit_timer_ = new QTimer(this);
  refit_timer_->setSingleShot(true);
  refit_timer_->setInterval(150);
  connect(refit_timer_, &QTimer::timeout, this, [this] {
    if (!activated_ || campaign_started_ || picture1_->surface().size() == inner_->size()) return;
    const WaitCursor wait;
    fit_map_picture();
    centre_in_parent(picture8_);
    label35_->move(inner_->width() - label35_->width() - 5, inner_->height() - label35_->height());
    picture4_->fit_within(inner_->size());
  });

  // Start-up, in order.
  setWindowIcon(QIcon(QPixmap::fromImage(window_icon_image())));
  label35_->clear();
  for (QWidget* w : std::initializer_list<QWidget*>{picture2_, picture1_, picture3_, picture4_, picture5_, picture6_,
                                                     picture8_, picture11_, picture12_}) {
    w->hide();
  }
  if (const QString shared = folder_claim_->claim(); !shared.isEmpty()) notice(shared);
  loadconfig();
  getCdata();
  apply_window_size();
  set_campaign_menus(false);
}

MainWindow::~MainWindow() = default;

QString MainWindow::program_file(const QString& name) const { return folder_claim_->file(name); }

void MainWindow::build_menus() {
  const auto add = [this](QMenu* menu, const QString& name, const QString& caption, auto handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  mnuFile_ = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile_->setObjectName(QStringLiteral("mnuFile"));
  mnuNew_ = add(mnuFile_, QStringLiteral("mnuNew"), QStringLiteral("&New"), &MainWindow::mnuNew_Click);
  mnuSave_ = add(mnuFile_, QStringLiteral("mnuSave"), QStringLiteral("&Save"), &MainWindow::mnuSave_Click);
  mnuLoad_ = add(mnuFile_, QStringLiteral("mnuLoad"), QStringLiteral("&Load"), &MainWindow::mnuLoad_Click);
  mnusnapshot_ =
      add(mnuFile_, QStringLiteral("mnusnapshot"), QStringLiteral("Sna&pshot"), &MainWindow::mnusnapshot_Click);
  mnuConfig_ = add(mnuFile_, QStringLiteral("mnuConfig"), QStringLiteral("&Configure"), &MainWindow::mnuConfig_Click);
  mnuExit_ = add(mnuFile_, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), &MainWindow::mnuExit_Click);

  mnuStats_ = menuBar()->addMenu(QStringLiteral("&Info"));
  mnuStats_->setObjectName(QStringLiteral("mnuStats"));
  mnuScore_ = add(mnuStats_, QStringLiteral("mnuScore"), QStringLiteral("&Statistics"), &MainWindow::mnuScore_Click);
  mnulastbattle_ =
      add(mnuStats_, QStringLiteral("mnulastbattle"), QStringLiteral("&Last Battle"), &MainWindow::mnulastbattle_Click);
  mnuLog_ = add(mnuStats_, QStringLiteral("mnuLog"), QStringLiteral("Lo&g"), &MainWindow::mnuLog_Click);

  mnuHelp_ = menuBar()->addAction(QStringLiteral("&Help"));
  mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
  connect(mnuHelp_, &QAction::triggered, this, &MainWindow::mnuHelp_Click);

  // Whose turn it is, in the menu bar's corner where it hides nothing of the map.
  turn_indicator_ = new QLabel(menuBar());
  turn_indicator_->setObjectName(QStringLiteral("TurnIndicator"));
  turn_indicator_->setContentsMargins(8, 0, 8, 0);
  // The menu bar sizes its corner once; leave room for the longest text it will show.
  turn_indicator_->setMinimumWidth(turn_indicator_->fontMetrics().horizontalAdvance(
                                       QStringLiteral("Turn 88888: team J to move (computer, waiting: see File, Configure)")) + 16);
  menuBar()->setCornerWidget(turn_indicator_, Qt::TopRightCorner);
}

void MainWindow::build_panels() {
  // Stacking, bottom to top: splash and version label, the map picture (with the action
  // panel inside it), then the floating panels.
  picture8_ = new SurfaceWidget(QStringLiteral("Picture8"), inner_);
  label35_ = new QLabel(inner_);
  label35_->setObjectName(QStringLiteral("Label35"));
  picture7_ = new SurfaceWidget(QStringLiteral("Picture7"), inner_);
  picture7_->hide();
  picture1_ = new SurfaceWidget(QStringLiteral("Picture1"), inner_);
  picture2_ = new ActionPanel(picture1_);

  picture12_ = new SizePanel(settings_, inner_);
  picture11_ = new ArmyPanel(inner_);
  picture6_ = new StatsPanel(inner_);
  picture5_ = new AiPanel(settings_, inner_);
  picture4_ = new ViewerPanel(inner_);
  picture3_ = new ConfigPanel(settings_, inner_);
  for (QWidget* w : std::initializer_list<QWidget*>{picture12_, picture11_, picture6_, picture5_, picture4_, picture3_}) {
    w->raise();
  }

  connect(picture3_->ok_button, &QPushButton::clicked, this, &MainWindow::Command5_Click);
  connect(picture3_->close_button, &QPushButton::clicked, this, &MainWindow::Command6_Click);
  connect(picture3_->ai_button, &QPushButton::clicked, this, &MainWindow::Command15_Click);
  connect(picture3_->kribbles_button, &QPushButton::clicked, this, &MainWindow::do_assign);
  connect(picture3_->size_button, &QPushButton::clicked, this, &MainWindow::Command21_Click);
  connect(picture3_->browse_game, &QPushButton::clicked, this, &MainWindow::Command7_Click);
  connect(picture3_->browse_background, &QPushButton::clicked, this, &MainWindow::Command19_Click);
  for (int k = 0; k < kTerrainMaps; ++k) {
    connect(picture3_->browse_maps[static_cast<std::size_t>(k)], &QPushButton::clicked, this,
            [this, k] { browse_terrain_map(k); });
  }
  connect(picture5_->ok_button, &QPushButton::clicked, this, &MainWindow::Command14_Click);
  connect(picture12_->ok_button, &QPushButton::clicked, this, &MainWindow::Command20_Click);
  connect(picture11_->add_button, &QPushButton::clicked, this, &MainWindow::Command13_Click);
  connect(picture11_->remove_button, &QPushButton::clicked, this, &MainWindow::Command17_Click);
  connect(picture11_->ok_button, &QPushButton::clicked, this, &MainWindow::Command18_Click);
  for (QRadioButton* option : picture11_->team_options) {
    connect(option, &QRadioButton::clicked, this, &MainWindow::assignments);
  }
  connect(picture4_->close_label, &ClickLabel::clicked, this, &MainWindow::Label34_Click);
  connect(picture1_, &SurfaceWidget::mouse_down, this,
          [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { Picture1_MouseDown(x, y); });
  connect(picture2_->add_button, &QPushButton::clicked, this, &MainWindow::Command1_Click);
  connect(picture2_->remove_button, &QPushButton::clicked, this, &MainWindow::Command2_Click);
  connect(picture2_->ok_button, &QPushButton::clicked, this, &MainWindow::Command3_Click);
  connect(picture2_->cancel_button, &QPushButton::clicked, this, &MainWindow::Command4_Click);
  connect(picture2_->available, &QListWidget::currentRowChanged, this, &MainWindow::List1_Click);
  connect(picture2_->chosen, &QListWidget::currentRowChanged, this, &MainWindow::List2_Click);
  connect(picture6_->close_label, &ClickLabel::clicked, this, &MainWindow::Label33_Click);
}

void MainWindow::set_campaign_menus(bool running) {
  mnuNew_->setEnabled(!running);
  mnuLoad_->setEnabled(!running);
  mnuSave_->setEnabled(running);
  mnusnapshot_->setEnabled(running);
  mnuStats_->setEnabled(running);
  mnuStats_->menuAction()->setEnabled(running);
}

// ---------------------------------------------------------------------------------------
// Settings and rosters

void MainWindow::loadconfig() {
  const bool complete = apply_config_lines(read_config_lines(text_bytes(program_file(QStringLiteral("config.dat")))),
                                           settings_);
  show_settings(this, settings_);
  if (!complete) {
    dialogs_.message(QStringLiteral("Please update your configuration"), QStringLiteral("Configuration Missing"));
    show_panel(picture3_);
  }
}

bool MainWindow::replace_program_file(const QString& name, const std::string& bytes, const QString& what) {
  const QString path = program_file(name);
  const FileResult written = write_file_atomic(text_bytes(path), bytes);
  if (!written.ok) {
    const QString previous = written.old_file_damaged ? QStringLiteral("The previous file may be damaged")
                                                      : QStringLiteral("The previous file is unchanged");
    notice(QStringLiteral("The %1 could not be saved to \"%2\": %3.\n%4; the new %1 stay in force until the program "
                          "ends.")
               .arg(what, path, qt_text(written.error), previous));
  }
  return written.ok;
}

void MainWindow::save_settings_file() {
  replace_program_file(QStringLiteral("config.dat"), config_file_bytes(settings_), QStringLiteral("settings"));
}

void MainWindow::getCdata() {
  read_roster_file(text_bytes(program_file(QStringLiteral("c_data.dat"))), cdata_);
}

void MainWindow::putCdata() {
  // Until they are saved, the edited armies stay in force: a campaign started now must not
  // reread the old file.
  rosters_unsaved_ =
      !replace_program_file(QStringLiteral("c_data.dat"), roster_file_bytes(cdata_), QStringLiteral("armies"));
}

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
  if (!activated_) Form_Activate();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (activated_ && !campaign_started_) refit_timer_->start();
}

void MainWindow::Form_Activate() {
  if (activated_) return;
  activated_ = true;
  const WaitCursor wait;
  picture8_->set_surface(make_splash_image());
  centre_in_parent(picture8_);
  picture8_->show();
  load_background();
  fit_map_picture();
  for (QWidget* panel :
       std::initializer_list<QWidget*>{picture2_, picture3_, picture5_, picture6_, picture4_, picture11_, picture12_}) {
    centre_in_parent(panel);
  }
  label35_->setText(version_text());
  label35_->adjustSize();
  label35_->move(inner_->width() - label35_->width() - 5, inner_->height() - label35_->height());
  picture4_->fit_within(inner_->size());
  if (!pending_notice_.isEmpty()) picture8_->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture8_ && event->type() == QEvent::Paint && !pending_notice_.isEmpty()) {
    picture8_->removeEventFilter(this);
    // After this paint has reached the screen.
    QTimer::singleShot(0, this, [this] {
      const QString text = std::exchange(pending_notice_, QString());
      if (!text.isEmpty()) notice(text);
    });
  }
  return QMainWindow::eventFilter(watched, event);
}

// Sizes the map picture to the inner area and stretches the background held in Picture7
// over it.
void MainWindow::fit_map_picture() {
  picture1_->make_surface(inner_->size(), kPlainMap);
  const QImage& src = picture7_->surface();
  if (src.isNull()) return;
  QImage& dest = picture1_->surface();
  smooth_stretch(src, 0, 0, src.width(), src.height(), dest.width(), dest.height(), 0, 0, dest, 1,
                 [this](int row) { picture2_->source_label->setText(QString::number(row)); });
  picture1_->update();
}

void MainWindow::load_background() {
  const std::string setting = settings_.background_image;
  if (is_blank(setting)) {
    picture7_->set_surface(QImage());
    return;
  }
  const QString path = qt_text(resolve_in_folder(text_bytes(program_folder_), trim(setting)));
  const QFileInfo info(path);
  QImage image;
  QString reason;
  if (!info.exists()) {
    reason = QStringLiteral("the file does not exist");
  } else if (!info.isFile()) {
    // Opening a named pipe or a device to read it would wait for ever.
    reason = info.isDir() ? QStringLiteral("it is a folder, not a file") : QStringLiteral("it is not a plain file");
  } else {
    QImageReader reader(path);
    image = reader.read();
    if (image.isNull()) reason = reader.errorString();
  }
  if (image.isNull()) {
    picture7_->set_surface(QImage());
    // Said once the window has painted, so the notice does not stand over an empty screen.
    pending_notice_ =
        QStringLiteral("The background image \"%1\" could not be read: %2.\nThe map is shown on a plain background.")
            .arg(path, reason);
    return;
  }
  picture7_->set_surface(image.convertToFormat(QImage::Format_RGB32));
}

// ---------------------------------------------------------------------------------------
// Campaigns

void MainWindow::show_panel(QWidget* panel) {
  panel->show();
  panel->raise();
}

void MainWindow::notice(const QString& text) { dialogs_.message(text, QStringLiteral("Notice")); }

FileDialogRequest MainWindow::program_folder_dialog(const QString& title, const QString& filter,
                                                    const QString& file_name) {
  // These dialogs start in the program folder, which also becomes the current folder.
  QDir::setCurrent(program_folder_);
  return FileDialogRequest{title, filter, 1, program_folder_, file_name};
}

void MainWindow::mnuNew_Click() {
  const std::optional<QString> chosen = dialogs_.open_file(
      program_folder_dialog(QStringLiteral("New campaign"), QStringLiteral("AIM Files (*.AIM)|*.aim|AIM Files")));
  if (chosen) new_campaign(*chosen);
}

void MainWindow::new_campaign(const QString& map_path) {
  // The map is read and checked in full before anything changes, so a rejected map leaves
  // the campaign, the menus, the clock and the log as they were.
  const WaitCursor wait;
  const MapReadResult read = read_map_file(text_bytes(map_path));
  if (!read.ok()) {
    notice(qt_text(read.error));
    return;
  }
  const FileResult log = reset_battle_log(text_bytes(program_file(QString::fromLatin1(kBattleLogFileName))));
  if (!log.ok) notice(QStringLiteral("The battle log could not be started afresh: %1").arg(qt_text(log.error)));
  if (!rosters_unsaved_) getCdata();
  CampaignState fresh = state_;
  apply_map(*read.map, picture1_->surface().width(), picture1_->surface().height(), fresh);
  state_ = std::move(fresh);
  draw_campaign_map(picture1_->surface(), state_);
  start_campaign();
}

void MainWindow::start_campaign() {
  campaign_started_ = true;
  set_campaign_menus(true);
  picture1_->show();
  picture1_->update();
  timer1_->start();
  update_turn_indicator();
}

void MainWindow::mnuSave_Click() {
  const std::optional<QString> chosen = dialogs_.save_file(program_folder_dialog(
      QStringLiteral("Save campaign"), QStringLiteral("Save Files (*.sav)|*.sav"), QStringLiteral("SaveGame.sav")));
  if (!chosen) return;
  const WaitCursor wait;
  if (const auto problem = campaign_save_problem(state_)) {
    notice(QStringLiteral("The campaign could not be saved to \"%1\": %2").arg(*chosen, qt_text(*problem)));
    return;
  }
  const FileResult written = write_campaign_save(text_bytes(*chosen), state_);
  if (!written.ok) {
    notice(QStringLiteral("The campaign could not be saved to \"%1\": %2.\n%3")
               .arg(*chosen, qt_text(written.error),
                    written.old_file_damaged ? QStringLiteral("An earlier file of that name may be damaged.")
                                             : QStringLiteral("An earlier file of that name is unchanged.")));
  }
}

void MainWindow::mnuLoad_Click() {
  const std::optional<QString> chosen = dialogs_.open_file(
      program_folder_dialog(QStringLiteral("Load campaign"), QStringLiteral("Save Files (*.sav)|*.sav")));
  if (chosen) load_campaign(*chosen);
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

void MainWindow::load_campaign(const QString& save_path) {
  const WaitCursor wait;
  CampaignLoadResult loaded = load_campaign_save(text_bytes(save_path), text_bytes(program_folder_),
                                                 picture1_->surface().width(), picture1_->surface().height());
  if (!loaded.ok()) {
    notice(qt_text(loaded.error));
    return;
  }
  if (!rosters_unsaved_) getCdata();
  state_ = std::move(*loaded.state);
  draw_loaded_campaign(picture1_->surface(), state_);
  start_campaign();
}

void MainWindow::mnusnapshot_Click() { take_snapshot(false); }

void MainWindow::take_snapshot(bool automatic) {
  const QString path = program_file(QString::fromLatin1(kSnapshotFileName));
  const std::string error = save_snapshot(picture1_->surface(), text_bytes(path));
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

// ---------------------------------------------------------------------------------------
// Menus

void MainWindow::flush_autosave() { autosave_->flush(); }

void MainWindow::mnuConfig_Click() { show_panel(picture3_); }

void MainWindow::mnuExit_Click() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  // Ending the program ends a running battle too; closing the last window quits the program.
  battle_runner_->abort();
  QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------
// Battles

BattleRunResult MainWindow::fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                                         const std::vector<std::string>& defenders) {
  const bool save_enabled = mnuSave_->isEnabled();
  mnuSave_->setEnabled(false);
  // The progress panel with its abort button sits over the window while the game runs.
  std::unique_ptr<BattlePanel> panel;
  const QMetaObject::Connection shown = connect(battle_runner_, &BattleRunner::battle_started, this, [&] {
    panel = std::make_unique<BattlePanel>(inner_);
    connect(panel.get(), &BattlePanel::abort_requested, battle_runner_, &BattleRunner::abort);
    panel->show();
    panel->raise();
  });
  BattleRunResult result = battle_runner_->run_battle(program_folder_, settings_, terrain, attackers, defenders,
                                                         folder_claim_->files_folder());
  disconnect(shown);
  panel.reset();
  mnuSave_->setEnabled(save_enabled && campaign_started_);
  return result;
}

bool MainWindow::battle_running() const { return battle_runner_->is_running(); }

void MainWindow::show_text_file(const QString& title, const QString& file_name, bool is_log) {
  picture4_->title->setText(title);
  const QString path = program_file(file_name);
  LineReader reader(text_bytes(path), LineEnds::any, {.max_line_bytes = kViewerMaxLineBytes});
  QString text;
  std::string line;
  std::size_t lines = 0;
  std::size_t cut_lines = 0;
  while (reader.bytes_used() < kViewerMaxBytes && lines < kViewerMaxLines && reader.next(line)) {
    text += qt_text(line);
    if (reader.line_cut()) {
      text += QChar(0x2026);
      ++cut_lines;
    }
    text += QLatin1Char('\n');
    ++lines;
  }
  // Stopped by a limit: whatever is left of the file is cut, if anything is.
  const std::uint64_t shown = reader.bytes_used();
  const bool cut = (lines == kViewerMaxLines || shown >= kViewerMaxBytes) && reader.next(line);
  if (reader.failed()) {
    text = is_log && QFileInfo::exists(path) ? QStringLiteral("Buffer exceeded...")
                                             : QStringLiteral("\"%1\" cannot be shown: %2.\n").arg(path, qt_text(reader.error()));
  } else {
    if (cut_lines > 0) {
      text += QStringLiteral("\n[%1 lines longer than %2 characters are cut short (\u2026).]\n").arg(cut_lines).arg(
          kViewerMaxLineBytes);
    }
    if (cut) {
      text += QStringLiteral("\n[Only the first %1 lines are shown; the remaining %2 of the file are cut.]\n")
                  .arg(lines)
                  .arg(amount_text(reader.input_size() - std::min(shown, reader.input_size())));
    }
  }
  show_panel(picture4_);
  picture4_->text->setPlainText(text);
}

void MainWindow::mnuHelp_Click() { show_text_file(QStringLiteral("Help"), QStringLiteral("Help.txt"), false); }

void MainWindow::mnulastbattle_Click() {
  show_text_file(QStringLiteral("Summary from last battle"), QStringLiteral("zorvtmp.txt"), false);
}

void MainWindow::mnuLog_Click() { show_text_file(QStringLiteral("Battle Log"), QStringLiteral("blog.txt"), true); }

void MainWindow::Label33_Click() { picture6_->hide(); }
void MainWindow::Label34_Click() { picture4_->hide(); }

}  // namespace zorvane
