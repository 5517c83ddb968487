// The action panel: shows the chosen source and target cells, the units available, chosen
// and already standing on the target, and the buttons that move them and confirm.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "shell/panel.h"
#include "turn/action_panel.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zorvane {

class DragLabel;

class ActionPanel : public SurfaceWidget {
  Q_OBJECT
 public:
  explicit ActionPanel(QWidget* parent);
  DragLabel* mode_label;      // Label6, the action kind; also the title strip
  QLabel* source_label;       // Label1
  QLabel* target_label;       // Label2
  QLabel* available_header;   // Label5 "Available"
  QLabel* new_header;         // Label3 "New"
  QLabel* current_header;     // Label4 "Current"
  QListWidget* available;     // List1
  QListWidget* chosen;        // List2
  QListWidget* current;       // List3
  QPushButton* add_button;    // Command1 ">"
  QPushButton* remove_button; // Command2 "<"
  QPushButton* ok_button;     // Command3 "OK"
  QPushButton* cancel_button; // Command4 "Cancel"
  SurfaceWidget* flag_icon;   // Picture10
  SurfaceWidget* unit_icon;   // Picture9

  // Shows the model: texts, lists and their selected rows, buttons, icon, header colour,
  // visibility. While it refills the lists, `refilling()` is true, so selection signals
  // it causes can be told from the user's.
  void show_model(const ActionPanelModel& model);
  bool refilling() const { return refilling_; }

 private:
  bool refilling_ = false;
  std::array<std::vector<std::string>, 3> shown_;  // what the three lists hold now
};

}  // namespace zorvane
