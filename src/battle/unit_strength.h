// How strong a unit is in battle, as a computer player may judge it: from the stand-in
// game's unit program (its key=value lines) when it can be read, else as an average unit,
// so with another game every unit counts alike and force is judged on counts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorvane {

struct UnitStrength {
  double hull = 0;       // hit points it can take, its repair over a battle counted in
  double firepower = 0;  // damage it deals a round: chance to hit, hit less armor, reach
  friend bool operator==(const UnitStrength&, const UnitStrength&) = default;
};

// A unit program's strength from its bytes; nothing when none of the game's keys
// (hull, armor, attack, range, speed, accuracy, repair) is in it: another game's program.
// Keys and values are read as the stand-in game reads them (whole numbers, held to their
// ranges, a missing or garbled value taking its default).
std::optional<UnitStrength> parse_unit_strength(std::string_view program);

// What a unit whose program cannot be read counts as: the game's default unit.
UnitStrength default_unit_strength();

// Strengths by unit program file name in lower case, as the unit slots name them.
using UnitStrengths = std::unordered_map<std::string, UnitStrength>;

// The unit's strength from the table (its name in any case), or the default.
UnitStrength strength_of(const UnitStrengths& strengths, std::string_view unit);

// A stack's fighting strength: the square root of its summed hull times its summed
// firepower, so n equal units are n times as strong as one, and the ratio of two stacks'
// strengths is the attack's odds (at 1.6 the attackers win about 19 battles in 20).
double stack_strength(const std::vector<UnitStrength>& units);

}  // namespace zorvane
