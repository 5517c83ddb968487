// The "battle in progress" indicator shown over the window while the tactical game runs,
// with the button that aborts the battle.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace zorvane {

class BattlePanel : public QFrame {
  Q_OBJECT
 public:
  // Shown centred over the parent; without a parent it is a small window of its own.
  explicit BattlePanel(QWidget* parent = nullptr);

  QLabel* label() const { return label_; }
  QPushButton* abort_button() const { return abort_button_; }

 signals:
  // The user asked to end the battle; the button then stays disabled.
  void abort_requested();

 private:
  QLabel* label_;
  QPushButton* abort_button_;
};

}  // namespace zorvane
