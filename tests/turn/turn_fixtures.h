// A campaign state built from map text, and a world that records what the turn engine
// asks of it and answers battles from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "campaign/map_file.h"
#include "common/text.h"
#include "turn/world.h"

namespace zorvane::testing {

// The map laid on a picture of the given size (43 pixels and 4 columns give 10-pixel cells).
inline CampaignState campaign(const std::string& map_text, int picture = 43) {
  const MapReadResult read = parse_map(map_text, "test.aim");
  EXPECT_TRUE(read.ok()) << read.error;
  CampaignState state;
  if (read.ok()) apply_map(*read.map, picture, picture, state);
  return state;
}

inline void put_units(CampaignState& state, int n, const std::vector<std::string>& units, const char* team = nullptr) {
  for (int k = 0; k < kUnitSlots; ++k) {
    state.field(n, unit_1 + k) = k < static_cast<int>(units.size()) ? Value::text(units[static_cast<std::size_t>(k)]) : Value();
  }
  if (team) state.field(n, owner) = Value::text(team);
}

inline std::vector<std::string> units_of(const CampaignState& state, int n) {
  std::vector<std::string> out;
  for (int k = 0; k < kUnitSlots; ++k) out.push_back(state.field(n, unit_1 + k).to_text());
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

class FakeWorld : public TurnWorld {
 public:
  BattleAnswer fight_battle(std::string_view terrain, const std::vector<std::string>& attackers,
                            const std::vector<std::string>& defenders) override {
    battles.push_back({std::string(terrain), attackers, defenders});
    if (reports.empty()) return BattleAnswer{false, {}, "The tactical game was not found: Vantor.exe"};
    BattleRoster roster;
    std::size_t row = 0;
    for (const auto& unit : attackers) roster[row++] = {"", "1", unit};
    for (const auto& unit : defenders) roster[row++] = {"", "2", unit};
    BattleAnswer answer{true, read_battle_report(roster, reports.front()), {}};
    reports.pop_front();
    return answer;
  }
  void draw_owner_badge(int cell, int team) override { calls.push_back("owner " + std::to_string(cell) + " " + std::to_string(team)); }
  void draw_count_badge(int cell, int team, const Value& shown) override {
    calls.push_back("count " + std::to_string(cell) + " " + std::to_string(team) + " " + shown.to_text());
  }
  void append_log(const BattleLogEntry& entry) override { log += battle_log_line(entry); }
  void message(const std::string& text, const std::string& title) override { messages.push_back(title + ": " + text); }
  void snapshot() override { calls.push_back("snapshot"); }
  void show_statistics() override { calls.push_back("statistics"); }
  void end_campaign() override { calls.push_back("end"); }
  void hide_map() override { calls.push_back("hide map"); }

  struct Battle {
    std::string terrain;
    std::vector<std::string> attackers, defenders;
  };
  std::deque<std::string> reports;  // result files for the battles to come; none left: no battle
  std::vector<Battle> battles;
  std::vector<std::string> calls;
  std::vector<std::string> messages;
  std::string log;
};

// A placing line as the result reader takes it: place number in columns 17-18, score in 79-86.
inline std::string placing(int place, int score) {
  std::string line(86, ' ');
  line.replace(4, 5, "Place");
  const std::string p = std::to_string(place), s = std::to_string(score);
  line.replace(18 - p.size(), p.size(), p);
  line.replace(86 - s.size(), s.size(), s);
  return line + "\r\n";
}

}  // namespace zorvane::testing
