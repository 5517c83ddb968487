#include "vantor_game.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>
#include <utility>

namespace vantor {
namespace {

constexpr double kEdgeShare = 0.15;  // with sides, each starts in this share of the width at its edge

std::string trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Lines ended by CR LF, CR or LF.
std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end;
    if (start < text.size() && text[start] == '\r' && start + 1 < text.size() && text[start + 1] == '\n') ++start;
    if (start < text.size()) ++start;
  }
  return lines;
}

// Calls take(key, value) for every "key=value" line; keys lower case, both trimmed.
// Lines starting with '#' or ';' are comments.
template <typename Take>
void for_each_pair(std::string_view text, Take take) {
  for (const auto line : lines_of(text)) {
    const std::string stripped = trim(line);
    if (stripped.empty() || stripped[0] == '#' || stripped[0] == ';') continue;
    const auto eq = stripped.find('=');
    if (eq == std::string::npos) continue;
    take(lower(trim(std::string_view(stripped).substr(0, eq))), trim(std::string_view(stripped).substr(eq + 1)));
  }
}

// A whole number filling the whole value; anything else keeps the default.
void read_int(const std::string& value, int& target, int low, int high) {
  if (value.empty()) return;
  std::size_t i = 0;
  bool negative = false;
  if (value[0] == '+' || value[0] == '-') {
    negative = value[0] == '-';
    i = 1;
  }
  if (i >= value.size()) return;
  long long number = 0;
  for (; i < value.size(); ++i) {
    if (value[i] < '0' || value[i] > '9') return;
    number = std::min<long long>(number * 10 + (value[i] - '0'), 1'000'000'000);
  }
  if (negative) number = -number;
  target = static_cast<int>(std::clamp<long long>(number, low, high));
}

void read_switch(const std::string& value, bool& target) {
  const std::string v = lower(value);
  if (v == "yes") target = true;
  if (v == "no") target = false;
}

// Printable text only, at most max_length bytes: names end up in fixed report columns.
std::string clean(std::string_view text, std::size_t max_length) {
  std::string out;
  for (const char c : text) {
    if (out.size() >= max_length) break;
    const auto u = static_cast<unsigned char>(c);
    out += (u < 32 || u == 127) ? '?' : c;
  }
  return out;
}

double uniform(std::mt19937_64& random) { return static_cast<double>(random() >> 11) * 0x1.0p-53; }

std::size_t below(std::mt19937_64& random, std::size_t n) {
  return static_cast<std::size_t>(uniform(random) * static_cast<double>(n)) % n;
}

void put(std::string& line, std::size_t column, std::string_view text) {
  if (line.size() < column + text.size()) line.resize(column + text.size(), ' ');
  line.replace(column, text.size(), text);
}

std::string right(long long number, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%*lld", width, number);
  return buffer;
}

std::string ordinal(int rank) {
  const int tens = rank % 100;
  const char* suffix = "th";
  if (tens < 11 || tens > 13) {
    if (rank % 10 == 1) suffix = "st";
    if (rank % 10 == 2) suffix = "nd";
    if (rank % 10 == 3) suffix = "rd";
  }
  return std::to_string(rank) + suffix;
}

std::string label(const Fighter& f) { return clean(f.program.name, 16) + " (" + clean(f.program.file, 20) + ")"; }

// The option ("/S:", "/B:", "/R:" or "/D:", any case) beginning at i, as 'S', 'B', 'R', 'D'; or 0.
char option_at(std::string_view text, std::size_t i) {
  if (i + 3 > text.size() || text[i] != '/' || text[i + 2] != ':') return 0;
  const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  return (key == 'S' || key == 'B' || key == 'R' || key == 'D') ? key : 0;
}

// A whole number from 0 to high, with nothing but spaces around it.
std::optional<std::uint64_t> read_count(std::string_view text, std::uint64_t high) {
  const std::string digits = trim(text);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : digits) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (number > (high - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  return number;
}

}  // namespace

std::string file_name_of(std::string_view path) {
  const auto last = path.find_last_of("\\/");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

Options parse_command_line(const std::vector<std::string>& arguments) {
  // A path may hold " /B:" itself, so arguments are split only when the line came joined.
  bool separate_s = false, separate_b = false;
  for (const auto& argument : arguments) {
    separate_s = separate_s || option_at(argument, 0) == 'S';
    separate_b = separate_b || option_at(argument, 0) == 'B';
  }
  const bool joined = !(separate_s && separate_b);

  Options options;
  auto take = [&](char key, const std::string& value) {
    const std::string shown = std::string("/") + key + ":" + value;
    if (key == 'S') options.scenario_path = value;
    if (key == 'B') options.result_path = value;
    if (key == 'R') {
      options.seed = read_count(value, std::numeric_limits<std::uint64_t>::max());
      if (!options.seed && options.error.empty()) {
        options.error = "the seed " + shown + " is not a whole number from 0 to 18446744073709551615";
      }
    }
    if (key == 'D') {
      const auto delay = read_count(value, 600'000);
      if (!delay && options.error.empty()) {
        options.error = "the delay " + shown + " is not a whole number of milliseconds from 0 to 600000";
      }
      options.delay_ms = static_cast<int>(delay.value_or(0));
    }
  };
  for (const auto& argument : arguments) {
    if (!joined) {
      if (const char key = option_at(argument, 0)) take(key, argument.substr(3));
      continue;
    }
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < argument.size(); ++i) {
      if (option_at(argument, i) && (i == 0 || argument[i - 1] == ' ')) starts.push_back(i);
    }
    for (std::size_t k = 0; k < starts.size(); ++k) {
      const std::size_t begin = starts[k] + 3;
      // The next option is preceded by one separating space.
      const std::size_t end = k + 1 < starts.size() ? starts[k + 1] - 1 : argument.size();
      take(option_at(argument, starts[k]), argument.substr(begin, end - begin));
    }
  }
  return options;
}

void take_seed_variable(const char* value, Options& options) {
  if (!value) return;
  options.seed = read_count(value, std::numeric_limits<std::uint64_t>::max());
  if (!options.seed) {
    options.error = "ZORVANE_BATTLE_SEED=" + clean(value, 40) + " is not a whole number from 0 to 18446744073709551615";
  }
}

UnitProgram parse_unit_program(std::string_view file_name, std::string_view text) {
  UnitProgram unit;
  unit.file = std::string(file_name);
  unit.name = unit.file;
  const auto dot = unit.name.rfind('.');
  if (dot != std::string::npos && dot > 0) unit.name.resize(dot);
  for_each_pair(text, [&](const std::string& key, const std::string& value) {
    if (key == "name" && !value.empty()) unit.name = value;
    if (key == "hull") read_int(value, unit.hull, 1, 1000);
    if (key == "armor") read_int(value, unit.armor, 0, 50);
    if (key == "attack") read_int(value, unit.attack, 1, 200);
    if (key == "range") read_int(value, unit.range, 1, 20);
    if (key == "speed") read_int(value, unit.speed, 0, 10);
    if (key == "accuracy") read_int(value, unit.accuracy, 1, 100);
    if (key == "repair") read_int(value, unit.repair, 0, 50);
  });
  return unit;
}

TacticalMap parse_tactical_map(std::string_view text) {
  TacticalMap map;
  for_each_pair(text, [&](const std::string& key, const std::string& value) {
    if (key == "name" && !value.empty()) map.name = value;
    if (key == "width") read_int(value, map.width, 5, 200);
    if (key == "height") read_int(value, map.height, 5, 200);
    if (key == "cover") read_int(value, map.cover, 0, 90);
    if (key == "hazard") read_int(value, map.hazard, 0, 20);
    if (key == "mobility") read_int(value, map.mobility, 10, 200);
  });
  return map;
}

Scenario parse_scenario(std::string_view text) {
  Scenario s;
  for_each_pair(text, [&](const std::string& key, const std::string& value) {
    if (key == "title") s.title = value;
    if (key == "map") s.map = file_name_of(value);
    if (key == "mapbackbmp") s.background = value;
    if (key == "damage") read_int(value, s.damage, 0, 1000);
    if (key == "fuel") read_int(value, s.fuel, 0, 100'000);
    if (key == "ammo") read_int(value, s.ammo, 0, 100'000);
    if (key == "clicklimit") read_int(value, s.click_limit, 0, 1'000'000);
    if (key == "lastalivebonus") read_switch(value, s.last_alive_bonus);
    if (key == "disablestrategynode") {
      bool disabled = !s.strategy_node;
      read_switch(value, disabled);
      s.strategy_node = !disabled;
    }
    if (key == "shieldoverheat") read_switch(value, s.shield_overheat);
    if (key == "bloodmode") read_switch(value, s.blood_mode);
    if (key == "overheat") read_int(value, s.overheat, 10, 1000);
    if (key == "nodebonus") read_int(value, s.node_bonus, 0, 100);
    if (key == "iffoff") read_switch(value, s.friendly_fire);
    if (key == "unit" && !value.empty()) s.units.push_back(value);
  });
  return s;
}

std::vector<int> battle_sides(const char* value, const Scenario& scenario, std::size_t units,
                              std::string& warning) {
  if (!value) return {};
  const std::string_view text(value);
  if (text.size() != units || text.find_first_not_of("12") != std::string_view::npos) {
    warning = "ZORVANE_BATTLE_SIDES=" + clean(text, 40) + " is not one 1 or 2 for each of the " +
              std::to_string(units) + " units; every unit fights for itself";
    return {};
  }
  if (scenario.friendly_fire) return {};
  std::vector<int> sides;
  for (const char c : text) sides.push_back(c - '0');
  return sides;
}

BattleResult fight(const Scenario& scenario, const std::vector<UnitProgram>& units, const TacticalMap& map,
                   std::mt19937_64& random, const std::vector<int>& sides) {
  BattleResult result;
  result.round_limit = std::clamp(scenario.click_limit / 5, 1, 5000);
  const bool sided = !sides.empty() && sides.size() == units.size();
  auto& fighters = result.fighters;
  for (std::size_t i = 0; i < units.size(); ++i) {
    Fighter f;
    f.program = units[i];
    f.place = static_cast<int>(i) + 1;
    f.side = sided ? sides[i] : 0;
    f.x = uniform(random) * map.width;
    // Sides face each other from opposite edges, attackers on the left.
    if (sided) f.x = f.side == 1 ? f.x * kEdgeShare : map.width - f.x * kEdgeShare;
    f.y = uniform(random) * map.height;
    f.hull = f.program.hull;
    f.fuel = scenario.fuel;
    f.ammo = scenario.ammo;
    fighters.push_back(f);
  }
  const double node_x = map.width / 2.0;
  const double node_y = map.height / 2.0;
  const double damage_scale = scenario.damage / 100.0 * (scenario.blood_mode ? 1.5 : 1.0);
  const int hits_per_armor_point = std::max(1, scenario.overheat / 10);
  // How well a side stands at the round limit: hull left, then damage dealt.
  auto standing_of = [&](int side) {
    std::pair<long long, long long> hull_then_dealt{0, 0};
    for (const auto& f : fighters) {
      if (f.side != side) continue;
      hull_then_dealt.first += f.alive ? f.hull : 0;
      hull_then_dealt.second += f.dealt;
    }
    return hull_then_dealt;
  };
  auto standing = [&](int side) {
    return std::count_if(fighters.begin(), fighters.end(), [&](const Fighter& f) { return f.alive && f.side == side; });
  };
  // Without sides everyone is on side 0 and fights while two stand; with sides, while
  // both sides stand.
  auto fighting = [&] { return sided ? standing(1) > 0 && standing(2) > 0 : standing(0) > 1; };
  auto enemies = [&](const Fighter& a, const Fighter& b) {
    return &a != &b && b.alive && (!sided || a.side != b.side);
  };

  while (fighting() && result.rounds < result.round_limit) {
    ++result.rounds;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < fighters.size(); ++i) {
      if (fighters[i].alive) order.push_back(i);
    }
    std::shuffle(order.begin(), order.end(), random);
    for (const std::size_t i : order) {
      Fighter& me = fighters[i];
      if (!me.alive || !fighting()) continue;
      me.hull = std::min(me.program.hull, me.hull + me.program.repair);
      if (scenario.strategy_node && std::hypot(me.x - node_x, me.y - node_y) <= 1.5) {
        me.hull = std::min(me.program.hull, me.hull + scenario.node_bonus);
      }
      // The nearest enemy still standing is the target; ties go to chance.
      std::size_t target = i;
      double best = std::numeric_limits<double>::max();
      for (std::size_t j = 0; j < fighters.size(); ++j) {
        if (!enemies(me, fighters[j])) continue;
        const double d = std::hypot(fighters[j].x - me.x, fighters[j].y - me.y) + uniform(random) * 1e-6;
        if (d < best) {
          best = d;
          target = j;
        }
      }
      // A side focuses its fire: of the enemies already in range, the weakest.
      for (std::size_t j = 0; sided && best <= me.program.range && j < fighters.size(); ++j) {
        const double d = std::hypot(fighters[j].x - me.x, fighters[j].y - me.y);
        if (enemies(me, fighters[j]) && d <= me.program.range && fighters[j].hull < fighters[target].hull) {
          best = d;
          target = j;
        }
      }
      Fighter& them = fighters[target];
      if (best > me.program.range && me.fuel > 0 && me.program.speed > 0) {
        const double step = std::min({me.program.speed * map.mobility / 100.0, best - me.program.range * 0.9,
                                      static_cast<double>(me.fuel)});
        if (step > 0) {
          me.x += (them.x - me.x) / best * step;
          me.y += (them.y - me.y) / best * step;
          me.fuel -= static_cast<int>(std::ceil(step));
          best -= step;
        }
      }
      if (best > me.program.range || me.ammo <= 0) continue;
      --me.ammo;
      const int chance = std::max(5, me.program.accuracy - map.cover);
      if (static_cast<int>(below(random, 100)) >= chance) continue;
      int armor = them.program.armor;
      if (scenario.shield_overheat) armor = std::max(0, armor - them.hits_taken / hits_per_armor_point);
      const double spread = 0.75 + uniform(random) * 0.5;
      const int dealt = std::max(1, static_cast<int>(std::lround(me.program.attack * damage_scale * spread)) - armor);
      ++them.hits_taken;
      const int taken = std::min(dealt, them.hull);
      them.hull -= taken;
      me.dealt += taken;
      if (them.hull <= 0) {
        them.alive = false;
        them.fell_in_round = result.rounds;
        ++me.kills;
        result.fallen.push_back(static_cast<int>(target));
      }
    }
    // The field wears everyone down, but never finishes a unit off.
    for (auto& f : fighters) {
      if (f.alive) f.hull = std::max(1, f.hull - map.hazard);
    }
  }
  // A side wiped out loses. At the round limit the side with more hull left wins; equal
  // hull goes to the side that dealt more damage, and a full tie to the defenders, who hold.
  if (sided) result.winner = standing(2) == 0 || (standing(1) > 0 && standing_of(1) > standing_of(2)) ? 1 : 2;

  constexpr long long kScoreCap = 99'999'000;  // eight columns, with room for the bonus
  long long top = 0;
  for (auto& f : fighters) {
    f.score = std::min(kScoreCap, f.dealt + 25LL * f.kills);
    top = std::max(top, f.score);
  }
  // The winners share one score above everyone else's.
  result.best_score = top + 100;
  if (scenario.last_alive_bonus && standing(result.winner) == 1) result.best_score += 50;
  for (auto& f : fighters) {
    if (f.alive && f.side == result.winner) f.score = result.best_score;
  }
  return result;
}

std::string write_report(const Scenario& scenario, const TacticalMap& map, const BattleResult& result,
                         std::uint64_t seed) {
  std::vector<std::string> lines;
  int standing = 0;
  for (const auto& f : result.fighters) standing += f.alive ? 1 : 0;
  lines.push_back("Vantor battle report");
  lines.push_back("Title: " + clean(scenario.title, 40));
  lines.push_back("Map: " + clean(map.name, 24) + (scenario.background.empty() ? "" : ", backdrop " + clean(scenario.background, 24)));
  lines.push_back("Rounds fought: " + std::to_string(result.rounds) + " of " + std::to_string(result.round_limit));
  lines.push_back("Standing: " + std::to_string(standing) + " of " + std::to_string(result.fighters.size()) + " units");
  if (result.winner != 0) lines.push_back(result.winner == 1 ? "Won by: the attackers" : "Won by: the defenders");
  lines.push_back("Seed: " + std::to_string(seed));
  // The place number in columns 17-18, as on the placings and kill notices.
  for (const int index : result.fallen) {
    const auto& f = result.fighters[static_cast<std::size_t>(index)];
    lines.push_back("Fell: unit no. " + right(f.place, 3) + " in round " + std::to_string(f.fell_in_round) + ": " +
                    label(f));
  }
  lines.push_back("");

  // Ranked by score; equal scores keep the scenario's order and share a rank.
  std::vector<std::size_t> order(result.fighters.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return result.fighters[a].score > result.fighters[b].score;
  });
  int rank = 0;
  for (std::size_t k = 0; k < order.size(); ++k) {
    const auto& f = result.fighters[order[k]];
    if (k == 0 || f.score != result.fighters[order[k - 1]].score) rank = static_cast<int>(k) + 1;
    std::string line(86, ' ');
    put(line, 4, "Place");
    put(line, 10, ordinal(rank));
    put(line, 16, right(f.place, 2));
    put(line, 20, label(f));
    put(line, 62, f.alive ? "standing" : "fallen");
    put(line, 78, right(f.score, 8));
    lines.push_back(line);
  }
  for (const int index : result.fallen) {
    const auto& f = result.fighters[static_cast<std::size_t>(index)];
    lines.push_back("    Unit no.    " + right(f.place, 2) + std::string(9, ' ') + "is killed! ...Memorial flag planted!");
  }

  std::string bytes;
  for (const auto& line : lines) bytes += line + "\r\n";
  return bytes;
}

}  // namespace vantor
