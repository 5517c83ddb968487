// What the configured game's unit programs ("*.ai" in the game's folder) say of their
// strength, for the computer players. Files are read here; the rules get plain data.
#pragma once

#include <QString>
#include <string>

#include "battle/unit_strength.h"
#include "config/settings.h"

namespace zorvane {

// The most unit programs read from one folder, and the most bytes read of each.
inline constexpr int kMaxUnitPrograms = 1000;
inline constexpr std::uint64_t kMaxUnitProgramBytes = 64u << 10;

// The strengths of the unit programs in the folder, by lower-case file name. Programs that
// cannot be read, or say nothing of strength (another game's), are left out.
UnitStrengths read_unit_strengths(const std::string& folder);

// The strengths for the game the settings name now (taken against the program folder when
// relative), read once per game folder and kept: a computer player asks before every move.
const UnitStrengths& game_unit_strengths(const QString& program_folder, const Settings& settings);

}  // namespace zorvane
