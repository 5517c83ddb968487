#include "shell/army_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "campaign/state.h"
#include "shell/list_text.h"
#include "shell/qt_text.h"

namespace zorvane {

ArmyPanel::ArmyPanel(QWidget* parent) : Panel(QStringLiteral("Picture11"), parent) {
  add_title(QStringLiteral("Label36"), QStringLiteral("Kribble Army Selection"));
  auto* columns = new QHBoxLayout;

  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Kribble Storage"), this));
  storage_list = new QListWidget(this);
  storage_list->setObjectName(QStringLiteral("List4"));
  storage_list->setFixedSize(150, 230);
  storage_list->setUniformItemSizes(true);
  left->addWidget(storage_list);
  columns->addLayout(left);

  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  add_button = new QPushButton(QStringLiteral(">"), this);
  add_button->setObjectName(QStringLiteral("Command13"));
  add_button->setFixedWidth(36);
  middle->addWidget(add_button);
  remove_button = new QPushButton(QStringLiteral("<"), this);
  remove_button->setObjectName(QStringLiteral("Command17"));
  remove_button->setFixedWidth(36);
  middle->addWidget(remove_button);
  middle->addStretch(1);
  columns->addLayout(middle);

  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("Army Selection"), this));
  auto* teams = new QGridLayout;
  for (int k = 1; k <= 10; ++k) {
    auto* option = new QRadioButton(qt_text(team_letter(k)), this);
    option->setObjectName(QStringLiteral("Option%1").arg(k));
    teams->addWidget(option, (k - 1) / 5, (k - 1) % 5);
    team_options[static_cast<std::size_t>(k - 1)] = option;
  }
  team_options[0]->setChecked(true);
  right->addLayout(teams);
  right->addWidget(new QLabel(QStringLiteral("Kribble Army Units"), this));
  army_list = new QListWidget(this);
  army_list->setObjectName(QStringLiteral("List5"));
  army_list->setFixedSize(200, 110);
  army_list->setUniformItemSizes(true);
  right->addWidget(army_list);
  auto* ok_row = new QHBoxLayout;
  ok_row->addStretch(1);
  ok_button = new QPushButton(QStringLiteral("OK"), this);
  ok_button->setObjectName(QStringLiteral("Command18"));
  ok_button->setAutoDefault(false);
  ok_row->addWidget(ok_button);
  right->addLayout(ok_row);
  columns->addLayout(right);

  body()->addLayout(columns);
}

int ArmyPanel::chosen_team() const {
  for (int k = 0; k < 10; ++k) {
    if (team_options[static_cast<std::size_t>(k)]->isChecked()) return k + 1;
  }
  return 1;
}

void ArmyPanel::show_lists(const ArmySelection& model) {
  const auto fill = [](QListWidget* list, const std::vector<std::string>& items) {
    list->clear();
    for (const auto& item : items) list->addItem(list_text(item));
  };
  fill(storage_list, model.storage);
  fill(army_list, model.army);
}

}  // namespace zorvane
