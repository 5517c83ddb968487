// The action panel as plain data, and the handlers that fill and change it: b_mode opens it
// for a source and a target cell, ">" and "<" move units between its lists, "Cancel" closes
// it. The window shows this model; the computer player drives the same model directly.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "campaign/state.h"
#include "common/palette.h"
#include "config/roster.h"

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
  std::string source = "0";        // Label1
  std::string target = "0";        // Label2
  std::vector<std::string> available;  // List1 "Available"
  std::vector<std::string> chosen;     // List2 "New"
  std::vector<std::string> current;    // List3 "Current"
  int available_selected = -1;     // selected row of List1, -1 for none
  int chosen_selected = -1;        // selected row of List2
  bool add_enabled = true;         // Command1 ">"
  bool remove_enabled = true;      // Command2 "<"
  bool ok_enabled = true;          // Command3 "OK"
  PanelIcon icon = PanelIcon::none;  // Picture10 flag or Picture9 unit
  std::optional<ColorValue> current_header;  // Label4's background once b_mode has set it
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

// Opens the panel for an action from cell `from` to cell `to`. When the source does not
// belong to the team whose turn it is, the selection is dropped, nothing opens and the
// frame to remove (the one now at sel_x, sel_y) is returned.
std::optional<Frame> b_mode(CampaignState& state, ActionPanelModel& panel, const Roster& cdata, int from, int to);

// List1 / List2 clicked (the selected row already set): enable the matching button.
void List1_Click(ActionPanelModel& panel);
void List2_Click(ActionPanelModel& panel);
// ">": copies the selected available entry into "New" (for an advance it moves it) while
// fewer than five units are counted. Does nothing without a selected entry.
void Command1_Click(CampaignState& state, ActionPanelModel& panel);
// "<": moves the selected "New" entry back to the end of "Available".
void Command2_Click(CampaignState& state, ActionPanelModel& panel);
// "Cancel": hides the panel; the frames stay as they are.
void Command4_Click(CampaignState& state, ActionPanelModel& panel);

// Empties the three lists and hides the panel, as after a resolved action.
void close_panel(CampaignState& state, ActionPanelModel& panel);

}  // namespace zorvane
