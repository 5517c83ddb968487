#include "battle/unit_strength.h"

#include <algorithm>
#include <cmath>

#include "common/linefile.h"
#include "common/text.h"

namespace zorvane {
namespace {

// The stand-in game's default unit and the ranges it holds values to.
struct Key {
  std::string_view name;
  int fallback;
  int low;
  int high;
};
constexpr Key kHull{"hull", 100, 1, 1000};
constexpr Key kArmor{"armor", 3, 0, 50};
constexpr Key kAttack{"attack", 15, 1, 200};
constexpr Key kRange{"range", 3, 1, 20};
constexpr Key kSpeed{"speed", 2, 0, 10};
constexpr Key kAccuracy{"accuracy", 65, 1, 100};
constexpr Key kRepair{"repair", 0, 0, 50};
constexpr Key kKeys[] = {kHull, kArmor, kAttack, kRange, kSpeed, kAccuracy, kRepair};

// Rounds of a typical battle, over which a unit's repair counts.
constexpr double kRepairRounds = 10;
// The cover of a typical battle map, taken off every shot's chance, and the armor of a
// typical target, taken off every hit.
constexpr int kTypicalCover = 15;
constexpr double kTypicalArmor = 3;

// A whole number filling the whole value, held to the key's range; anything else keeps
// the default, as the game reads it.
void read_value(std::string_view text, const Key& key, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return;
  long long number = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return;
    number = std::min<long long>(number * 10 + (text[i] - '0'), 1'000'000'000);
  }
  value = static_cast<int>(std::clamp<long long>(negative ? -number : number, key.low, key.high));
}

std::string_view trim_blanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

UnitStrength strength(const int (&v)[std::size(kKeys)]) {
  const double hull = v[0] + kRepairRounds * v[6];
  const double chance = std::max(5, v[5] - kTypicalCover) / 100.0;
  const double hit = std::max(1.0, v[2] - kTypicalArmor);
  // Reach lets a unit fire before it is fired on.
  return {hull, chance * hit * (1 + v[3] / 10.0)};
}

}  // namespace

std::optional<UnitStrength> parse_unit_strength(std::string_view program) {
  int values[std::size(kKeys)];
  for (std::size_t k = 0; k < std::size(kKeys); ++k) values[k] = kKeys[k].fallback;
  bool any_key = false;
  for (const std::string& line : split_lines_any(program)) {
    const std::string_view stripped = trim_blanks(line);
    if (stripped.empty() || stripped[0] == '#' || stripped[0] == ';') continue;
    const auto eq = stripped.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = to_lower_ascii(trim_blanks(stripped.substr(0, eq)));
    for (std::size_t k = 0; k < std::size(kKeys); ++k) {
      if (key != kKeys[k].name) continue;
      any_key = true;
      read_value(trim_blanks(stripped.substr(eq + 1)), kKeys[k], values[k]);
    }
  }
  if (!any_key) return std::nullopt;
  return strength(values);
}

UnitStrength default_unit_strength() {
  int values[std::size(kKeys)];
  for (std::size_t k = 0; k < std::size(kKeys); ++k) values[k] = kKeys[k].fallback;
  return strength(values);
}

UnitStrength strength_of(const UnitStrengths& strengths, std::string_view unit) {
  const auto found = strengths.find(to_lower_ascii(trim(unit)));
  return found != strengths.end() ? found->second : default_unit_strength();
}

double stack_strength(const std::vector<UnitStrength>& units) {
  double hull = 0, firepower = 0;
  for (const UnitStrength& unit : units) {
    hull += unit.hull;
    firepower += unit.firepower;
  }
  return std::sqrt(hull * firepower);
}

}  // namespace zorvane
