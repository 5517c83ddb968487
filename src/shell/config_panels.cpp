#include "shell/config_panels.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "shell/qt_text.h"
#include "shell/setting_controls.h"

namespace zorvane {
namespace {

QPushButton* make_button(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QLabel* make_label(const QString& caption, QWidget* parent) { return new QLabel(caption, parent); }

QLabel* make_heading(const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

// A label over a text box with its "..." button at the right.
QPushButton* add_path_row(QVBoxLayout* body, Settings& settings, int line, const QString& button_name,
                          QWidget* parent) {
  body->addWidget(make_label(QString::fromLatin1(setting_table()[static_cast<std::size_t>(line - 1)].caption), parent));
  auto* row = new QHBoxLayout;
  auto* edit = make_text_control(settings, line, parent);
  edit->setMinimumWidth(320);
  row->addWidget(edit, 1);
  auto* browse = make_button(button_name, QStringLiteral("..."), parent);
  browse->setFixedWidth(32);
  row->addWidget(browse);
  body->addLayout(row);
  return browse;
}

}  // namespace

ConfigPanel::ConfigPanel(Settings& settings, QWidget* parent) : Panel(QStringLiteral("Picture3"), parent) {
  add_title(QStringLiteral("Label7"), QStringLiteral("Configure"));
  QVBoxLayout* b = body();
  browse_game = add_path_row(b, settings, 1, QStringLiteral("Command7"), this);
  browse_background = add_path_row(b, settings, 35, QStringLiteral("Command19"), this);
  for (int k = 0; k < kTerrainMaps; ++k) {
    browse_maps[static_cast<std::size_t>(k)] =
        add_path_row(b, settings, 2 + k, QStringLiteral("Command%1").arg(8 + k), this);
  }

  auto* numbers = new QGridLayout;
  const int number_lines[] = {7, 8, 9, 10, 36};
  for (int column = 0; column < 5; ++column) {
    const int line = number_lines[column];
    numbers->addWidget(make_label(QString::fromLatin1(setting_table()[static_cast<std::size_t>(line - 1)].caption), this),
                       0, column);
    auto* edit = make_text_control(settings, line, this);
    edit->setFixedWidth(64);
    numbers->addWidget(edit, 1, column);
  }
  b->addLayout(numbers);

  auto* checks = new QHBoxLayout;
  for (int line : {11, 12, 13, 14, 37}) checks->addWidget(make_check_control(settings, line, this));
  checks->addStretch(1);
  b->addLayout(checks);

  auto* buttons = new QHBoxLayout;
  close_button = make_button(QStringLiteral("Command6"), QStringLiteral("Close"), this);
  kribbles_button = make_button(QStringLiteral("Command16"), QStringLiteral("Kribbles"), this);
  ai_button = make_button(QStringLiteral("Command15"), QStringLiteral("AI"), this);
  size_button = make_button(QStringLiteral("Command21"), QStringLiteral("Size"), this);
  ok_button = make_button(QStringLiteral("Command5"), QStringLiteral("OK"), this);
  for (auto* button : {close_button, kribbles_button, ai_button, size_button, ok_button}) buttons->addWidget(button);
  b->addLayout(buttons);
}

AiPanel::AiPanel(Settings& settings, QWidget* parent) : Panel(QStringLiteral("Picture5"), parent) {
  add_title(QStringLiteral("Label19"), QStringLiteral("AI"));
  QVBoxLayout* b = body();
  for (int first : {15, 20}) {
    auto* row = new QHBoxLayout;
    for (int line = first; line < first + 5; ++line) {
      row->addWidget(make_check_control(settings, line, this));
      const auto team = static_cast<std::size_t>(line - 15);
      auto* box = new QComboBox(this);
      box->setObjectName(QStringLiteral("Combo%1").arg(team + 1));
      for (const PlayerKind kind : kPlayerKinds) box->addItem(qt_text(std::string(player_name(kind))));
      connect(box, &QComboBox::currentIndexChanged, this, [&settings, team](int index) {
        if (index >= 0) settings.computer_players[team] = kPlayerKinds[index];
      });
      player_boxes[team] = box;
      row->addWidget(box);
    }
    row->addStretch(1);
    b->addLayout(row);
  }
  show_players(settings);
  b->addWidget(make_heading(QStringLiteral("Internal Logic"), this));
  auto* logic = new QGridLayout;
  logic->addWidget(make_label(QStringLiteral("Augment area if below"), this), 0, 0);
  auto* below = make_text_control(settings, 25, this);
  below->setFixedWidth(48);
  logic->addWidget(below, 0, 1);
  logic->addWidget(make_label(QStringLiteral("Maximum augmentation fill"), this), 1, 0);
  auto* fill = make_text_control(settings, 26, this);
  fill->setFixedWidth(48);
  logic->addWidget(fill, 1, 1);
  b->addLayout(logic);

  b->addWidget(make_heading(QStringLiteral("Random Movement Paterns"), this));
  auto* patterns_row = new QHBoxLayout;
  auto* patterns = new QGridLayout;
  for (int k = 0; k < kMovementPatterns; ++k) {
    auto* edit = make_text_control(settings, 27 + k, this);
    edit->setFixedWidth(96);
    patterns->addWidget(edit, k / 2, k % 2);
  }
  patterns_row->addLayout(patterns);
  // The compass key for the direction digits, in a fixed-pitch font.
  auto* key = new QLabel(QStringLiteral("8 1 2\n7   3\n6 5 4"), this);
  key->setObjectName(QStringLiteral("DirectionKey"));
  key->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  key->setFrameStyle(QFrame::Box);
  key->setMargin(4);
  patterns_row->addWidget(key);
  patterns_row->addStretch(1);
  b->addLayout(patterns_row);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_button = make_button(QStringLiteral("Command14"), QStringLiteral("OK"), this);
  buttons->addWidget(ok_button);
  b->addLayout(buttons);
}

void AiPanel::show_players(const Settings& settings) {
  for (std::size_t team = 0; team < player_boxes.size(); ++team) {
    const QSignalBlocker block(player_boxes[team]);
    player_boxes[team]->setCurrentIndex(settings.computer_players[team] == PlayerKind::general ? 1 : 0);
  }
}

SizePanel::SizePanel(Settings& settings, QWidget* parent) : Panel(QStringLiteral("Picture12"), parent) {
  add_fixed_title(QStringLiteral("Resolution"));
  QVBoxLayout* b = body();
  b->addWidget(make_option_control(settings, 38, this));
  b->addWidget(make_option_control(settings, 39, this));
  auto* frame = new QGroupBox(this);
  auto* grid = new QGridLayout(frame);
  grid->addWidget(make_label(QStringLiteral("Width"), frame), 0, 0);
  width_text = make_text_control(settings, 40, frame);
  width_text->setFixedWidth(64);
  grid->addWidget(width_text, 0, 1);
  grid->addWidget(make_label(QStringLiteral("Height"), frame), 1, 0);
  height_text = make_text_control(settings, 41, frame);
  height_text->setFixedWidth(64);
  grid->addWidget(height_text, 1, 1);
  b->addWidget(frame);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_button = make_button(QStringLiteral("Command20"), QStringLiteral("OK"), this);
  buttons->addWidget(ok_button);
  buttons->addStretch(1);
  b->addLayout(buttons);
}

void add_setting_tooltips(QWidget* root) {
  const QString pattern_tip = QStringLiteral(
      "A movement pattern for the computer player: up to eight direction digits tried in order, "
      "1 north, 2 north-east, 3 east, 4 south-east, 5 south, 6 south-west, 7 west, 8 north-west "
      "(the key beside them). For each of its cells the computer picks one of the eight patterns "
      "at random and advances to the first neighbour it may take.");
  const std::pair<const char*, QString> tips[] = {
      {"Check1", QStringLiteral("LBA, last alive bonus: the last unit alive in a battle earns a bonus "
                                "(lastalivebonus in the scenario).")},
      {"Check2", QStringLiteral("DSN, disable strategy node: battles are fought without the repair node "
                                "(disablestrategynode in the scenario).")},
      {"Check3", QStringLiteral("SOH, shield overheat: a unit's armour weakens as it takes hits "
                                "(shieldoverheat in the scenario).")},
      {"Check4", QStringLiteral("BM, blood mode: hits do more damage (bloodmode in the scenario).")},
      {"Check15", QStringLiteral("Snap: after every action a snapshot of the map is saved to ZIDizizi.bmp "
                                 "without asking.")},
      {"Command16", QStringLiteral("Kribbles: choose each team's army roster, the unit programs it "
                                   "reinforces its cells from.")},
      {"DirectionKey", QStringLiteral("The direction digits of the movement patterns.")},
  };
  for (const auto& [name, tip] : tips) {
    if (auto* w = root->findChild<QWidget*>(QString::fromLatin1(name))) w->setToolTip(tip);
  }
  for (int k = 0; k < kMovementPatterns; ++k) {
    if (auto* w = root->findChild<QWidget*>(QStringLiteral("Text%1").arg(14 + k))) w->setToolTip(pattern_tip);
  }
}

}  // namespace zorvane
