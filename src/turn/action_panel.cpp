#include "turn/action_panel.h"

#include "common/text.h"

namespace zorvane {
namespace {

bool valid_row(const std::vector<std::string>& list, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < list.size();
}

// The non-blank texts of slots unit_1..unit_5 of a cell, in slot order, as stored.
void add_units(const CampaignState& state, int n, std::vector<std::string>& list, int* counter = nullptr) {
  for (int slot = unit_1; slot < unit_1 + kMaxChosenUnits; ++slot) {
    const Value& unit = state.field(n, slot);
    if (unit.is_blank()) continue;
    list.push_back(unit.to_text());
    if (counter) ++*counter;
  }
}

}  // namespace

ColorValue frame_colour(const Value& colour) { return static_cast<ColorValue>(colour.to_whole()) & 0xFFFFFFu; }

std::optional<Frame> open_action_panel(CampaignState& state, ActionPanelModel& panel, const Roster& cdata, int from,
                                       int to) {
  const std::string source_owner = state.field(from, owner).to_text();
  const std::string target_owner = state.field(to, owner).to_text();
  if (source_owner != team_letter(state.current_team)) {
    state.sel_state = 0;
    return Frame{state.sel_x, state.sel_y, frame_colour(state.sel_color)};
  }
  panel.source = from;
  panel.target = to;
  panel.add_enabled = false;
  panel.remove_enabled = false;
  panel.ok_enabled = true;
  panel.available.clear();
  panel.chosen.clear();
  panel.current.clear();
  panel.available_selected = -1;
  panel.chosen_selected = -1;
  state.new_count = 0;
  add_units(state, to, panel.current, &state.new_count);
  // Units standing on someone else's cell do not count towards the mover's five.
  if (target_owner != source_owner) state.new_count = 0;

  if (from != to) {
    panel.mode = kAdvance;
    panel.icon = PanelIcon::flag;
    panel.current_header = kAdvanceHeader;
    add_units(state, from, panel.available);
  } else if (state.new_count >= kMaxChosenUnits) {
    panel.mode = kOccupied;
    panel.ok_enabled = false;
  } else {
    panel.icon = PanelIcon::unit;
    panel.mode = kAugment;
    panel.current_header = kAugmentHeader;
    const int team = state.current_team;
    if (team >= 1 && team <= kTeamCount) {
      for (const std::string& entry : cdata[static_cast<std::size_t>(team - 1)]) {
        if (!is_blank(entry)) panel.available.push_back(entry);
      }
    }
  }
  panel.visible = true;
  return std::nullopt;
}

void select_available(ActionPanelModel& panel) {
  if (panel.available.empty()) return;
  panel.add_enabled = true;
  panel.remove_enabled = false;
}

void select_chosen(ActionPanelModel& panel) {
  if (panel.chosen.empty()) return;
  panel.remove_enabled = true;
  panel.add_enabled = false;
}

void choose_unit(CampaignState& state, ActionPanelModel& panel) {
  if (state.new_count >= kMaxChosenUnits || !valid_row(panel.available, panel.available_selected)) return;
  const auto row = static_cast<std::size_t>(panel.available_selected);
  panel.chosen.push_back(panel.available[row]);
  if (panel.mode == kAdvance) {
    panel.available.erase(panel.available.begin() + static_cast<std::ptrdiff_t>(row));
    panel.available_selected = -1;
    panel.add_enabled = false;
  }
  ++state.new_count;
}

void unchoose_unit(CampaignState& state, ActionPanelModel& panel) {
  if (!valid_row(panel.chosen, panel.chosen_selected)) return;
  const auto row = static_cast<std::size_t>(panel.chosen_selected);
  panel.available.push_back(panel.chosen[row]);
  panel.chosen.erase(panel.chosen.begin() + static_cast<std::ptrdiff_t>(row));
  panel.chosen_selected = -1;
  panel.remove_enabled = false;
  --state.new_count;
}

void cancel_action_panel(CampaignState& state, ActionPanelModel& panel) {
  panel.visible = false;
  state.new_count = 0;
}

void close_panel(CampaignState& state, ActionPanelModel& panel) {
  state.new_count = 0;
  panel.visible = false;
  panel.available.clear();
  panel.chosen.clear();
  panel.current.clear();
  panel.available_selected = -1;
  panel.chosen_selected = -1;
}

std::optional<Action> panel_action(const ActionPanelModel& panel) {
  if (!panel.visible || !panel.ok_enabled) return {};
  if (panel.mode == kAdvance) return Action{ActionKind::advance, panel.source, panel.target, panel.chosen, panel.available, 0};
  return Action{ActionKind::augment, panel.source, panel.target, panel.chosen, {}, 0};
}

}  // namespace zorvane
