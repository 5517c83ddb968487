// The configuration panel "Configure", the AI panel and the display size panel
// "Resolution": their controls, bound to the settings, and their buttons.
#pragma once

#include <array>

#include "config/settings.h"
#include "shell/panel.h"

class QComboBox;
class QPushButton;
class QLineEdit;

namespace zorvane {

class ConfigPanel : public Panel {
  Q_OBJECT
 public:
  ConfigPanel(Settings& settings, QWidget* parent);

  // Browse buttons "...": Command7 (game), Command8..Command12 (terrain maps), Command19
  // (background image).
  QPushButton* browse_game;
  std::array<QPushButton*, kTerrainMaps> browse_maps;
  QPushButton* browse_background;
  QPushButton* close_button;     // Command6 "Close"
  QPushButton* kribbles_button;  // Command16 "Kribbles"
  QPushButton* ai_button;        // Command15 "AI"
  QPushButton* size_button;      // Command21 "Size"
  QPushButton* ok_button;        // Command5 "OK"
};

class AiPanel : public Panel {
  Q_OBJECT
 public:
  AiPanel(Settings& settings, QWidget* parent);
  // Shows which computer player plays each team, as the settings say now.
  void show_players(const Settings& settings);
  // Beside each team's box, the computer player that plays it: Combo1 (A) .. Combo10 (J).
  std::array<QComboBox*, 10> player_boxes;
  QPushButton* ok_button;  // Command14 "OK"
};

class SizePanel : public Panel {
  Q_OBJECT
 public:
  SizePanel(Settings& settings, QWidget* parent);
  QLineEdit* width_text;   // Text24
  QLineEdit* height_text;  // Text25
  QPushButton* ok_button;  // Command20 "OK"
};

// Tooltips that say what the settings with short captions do (LBA, DSN, SOH, BM, Snap,
// Kribbles, the movement patterns), on the controls found under `root`.
void add_setting_tooltips(QWidget* root);

}  // namespace zorvane
