// The action panel as plain data, and the handlers that fill and change it: opening it for a
// source and a target cell, ">" and "<" moving units between its lists, "Cancel" closing
// it, and the action it describes for the turn engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/state.h"
#include "common/palette.h"
#include "config/roster.h"
#include "turn/engine.h"

namespace zorvane {

// The action kinds Label6 shows. "Ocupied" is the name the panel has always shown.
inline constexpr std::string_view kAdvance = "Advance";
inline constexpr std::string_view kAugment = "Augment";
inline constexpr std::string_view kOccupied = "Ocupied";

// Label4's background: red over an enemy's or a neighbour's units, blue over one's own.
inline constexpr ColorValue kAdvanceHeader = rgb(255, 0, 0);
inline constexpr ColorValue kAugmentHeader = rgb(0, 0, 255);

// A cell can hold at most this many units after a player's action.
inline constexpr int kMaxChosenUnits = 5;

enum class PanelIcon { none, flag, unit };

struct ActionPanelModel {
  bool visible = false;            // Picture2
  std::string mode = "?";          // Label6
  int source = 0;                  // Label1
  int target = 0;                  // Label2
  std::vector<std::string> available;  // List1 "Available"
  std::vector<std::string> chosen;     // List2 "New"
  std::vector<std::string> current;    // List3 "Current"
  int available_selected = -1;     // selected row of List1, -1 for none
  int chosen_selected = -1;        // selected row of List2
  bool add_enabled = true;         // Command1 ">"
  bool remove_enabled = true;      // Command2 "<"
  bool ok_enabled = true;          // Command3 "OK"
  PanelIcon icon = PanelIcon::none;  // Picture10 flag or Picture9 unit
  std::optional<ColorValue> current_header;  // Label4's background once the panel opened
};

// A selection frame to draw: the cell box at (x, y) of the state's cell size, in a colour.
struct Frame {
  int x = 0;
  int y = 0;
  ColorValue colour = 0;
  friend bool operator==(const Frame&, const Frame&) = default;
};

// The colour that removes a frame: the framed cell's own colour (sel_color).
ColorValue frame_colour(const Value& colour);

// Opens the panel for an action from cell `from` to cell `to` (the map's second click).
// When the source does not belong to the team whose turn it is, the selection is dropped,
// nothing opens and the frame to remove (the one now at sel_x, sel_y) is returned.
std::optional<Frame> open_action_panel(CampaignState& state, ActionPanelModel& panel, const Roster& cdata, int from,
                                       int to);

// A row of List1 / List2 selected (the row already set): enable the matching button.
void select_available(ActionPanelModel& panel);
void select_chosen(ActionPanelModel& panel);
// ">": copies the selected available entry into "New" (for an advance it moves it) while
// fewer than five units are counted. Does nothing without a selected entry.
void choose_unit(CampaignState& state, ActionPanelModel& panel);
// "<": moves the selected "New" entry back to the end of "Available".
void unchoose_unit(CampaignState& state, ActionPanelModel& panel);
// "Cancel": hides the panel; the frames stay as they are.
void cancel_action_panel(CampaignState& state, ActionPanelModel& panel);

// Empties the three lists and hides the panel, as after a resolved action.
void close_panel(CampaignState& state, ActionPanelModel& panel);

// The action the open panel describes ("OK"); nothing when it is closed or only offers Cancel.
std::optional<Action> panel_action(const ActionPanelModel& panel);

}  // namespace zorvane
