// The army selection panel "Kribble Army Selection": unit programs found in the game's
// folder, the chosen team's army and the team buttons A to J.
#pragma once

#include <array>

#include "config/army.h"
#include "shell/panel.h"

class QListWidget;
class QPushButton;
class QRadioButton;

namespace zorvane {

class ArmyPanel : public Panel {
  Q_OBJECT
 public:
  explicit ArmyPanel(QWidget* parent);

  // 1..10 for the chosen team button.
  int chosen_team() const;
  // Shows the model's two lists, long entries cut for display (see list_text.h).
  void show_lists(const ArmySelection& model);

  QListWidget* storage_list;  // List4
  QListWidget* army_list;     // List5
  QPushButton* add_button;    // Command13 ">"
  QPushButton* remove_button; // Command17 "<"
  QPushButton* ok_button;     // Command18 "OK"
  std::array<QRadioButton*, 10> team_options;  // Option1..Option10
};

}  // namespace zorvane
