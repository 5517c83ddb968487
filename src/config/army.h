// The army selection panel's model: the unit programs found in the game's folder, the
// chosen team's army list and the counter that limits it to five entries.
#pragma once

#include <string>
#include <vector>

#include "config/roster.h"

namespace zorvane {

// Unit program files ("*.ai", any case) in a folder: ordinary, non-hidden files, names in
// lower case, sorted. Names that are blank or hold a control character are skipped, since
// they would break the roster and scenario files. A folder that cannot be searched
// gives no names. An empty folder name searches the root folder.
std::vector<std::string> list_unit_programs(const std::string& folder);

struct ArmySelection {
  std::vector<std::string> storage;  // List4, "Kribble Storage"
  std::vector<std::string> army;     // List5, "Kribble Army Units"
  int army_count = 0;
};

// Fills both lists for a team (1..10): the storage list from the names given, the army
// list from the team's non-blank roster entries; army_count ends as the last filled slot.
void assignments(ArmySelection& panel, const Roster& cdata, int team, std::vector<std::string> storage);

// ">": appends storage entry `selected` to the army list when it exists and fewer than
// five are counted. Returns whether anything changed.
bool army_add(ArmySelection& panel, int selected);

// "<": removes army entry `selected` when it exists. Returns whether anything changed.
bool army_remove(ArmySelection& panel, int selected);

// Copies the army list into the team's roster, packed from slot 1; slots past the list,
// and blank entries, become empty.
void c_update(const ArmySelection& panel, Roster& cdata, int team);

}  // namespace zorvane
