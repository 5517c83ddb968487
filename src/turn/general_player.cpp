#include "turn/general_player.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <limits>

#include "common/text.h"

namespace zorvane {
namespace {

// The units an action can list or add: slots 1 to 5.
constexpr int kStack = 5;
constexpr int kFar = std::numeric_limits<int>::max();

// What the General sees of one cell.
struct Spot {
  bool map = false;   // a cell of the map: its terrain is neither empty nor "0"
  bool own = false;
  bool enemy = false;  // owned by anyone else
  int team = 0;        // the owner's team index, 0 for none or no team letter
  bool home = false;   // a team's home cell
  std::vector<std::string> units;  // slots 1 to 5, non-blank, in slot order
  std::vector<UnitStrength> strengths;
  double strength = 0;
  std::array<int, 8> around{};  // the cells around it (0 where there is none)
};

class Board {
 public:
  Board(const CampaignState& state, const UnitStrengths& strengths) : strengths_(strengths) {
    const int count = std::min({state.cell_count(), kMaxCells, static_cast<int>(state.spots.size())});
    const int cells = std::min(state.cell_count(), kMaxCells);
    spots_.resize(static_cast<std::size_t>(cells) + 1);
    const std::string team = team_letter(state.current_team);
    int rows = 0, cols = 0;
    for (int n = 1; n <= count; ++n) {
      rows = std::max(rows, state.spots[static_cast<std::size_t>(n - 1)].row);
      cols = std::max(cols, state.spots[static_cast<std::size_t>(n - 1)].col);
    }
    // The grid spots laid out, so the cells around a cell are found at once.
    const int width = cols + 2;
    std::vector<int> grid(static_cast<std::size_t>((rows + 2) * width), 0);
    for (int n = 1; n <= count; ++n) {
      const GridSpot& g = state.spots[static_cast<std::size_t>(n - 1)];
      if (g.row >= 0 && g.col >= 0) grid[static_cast<std::size_t>(g.row * width + g.col)] = n;
    }
    for (int n = 1; n <= cells; ++n) {
      Spot& s = spots_[static_cast<std::size_t>(n)];
      const std::string ground = state.field(n, terrain).to_text();
      s.map = !ground.empty() && ground != "0";
      s.home = ground.size() == 1 && is_team_letter(ground[0]);
      const std::string holder = state.field(n, owner).to_text();
      s.own = !team.empty() && holder == team;
      s.enemy = !s.own && !is_blank(holder);
      s.team = team_index(holder);
      for (int slot = unit_1; slot < unit_1 + kStack; ++slot) {
        const Value& unit = state.field(n, slot);
        if (unit.is_blank()) continue;
        s.units.push_back(unit.to_text());
        s.strengths.push_back(strength(s.units.back()));
      }
      s.strength = stack_strength(s.strengths);
      if (n > count) continue;
      const GridSpot& g = state.spots[static_cast<std::size_t>(n - 1)];
      if (g.row < 0 || g.col < 0) continue;
      static constexpr int kRowStep[] = {-1, -1, 0, 1, 1, 1, 0, -1};
      static constexpr int kColStep[] = {0, 1, 1, 1, 0, -1, -1, -1};
      for (int d = 0; d < 8; ++d) {
        const int r = g.row + kRowStep[d], c = g.col + kColStep[d];
        if (r < 0 || c < 0 || r > rows + 1 || c > cols + 1) continue;
        s.around[static_cast<std::size_t>(d)] = grid[static_cast<std::size_t>(r * width + c)];
      }
    }
  }

  int cells() const { return static_cast<int>(spots_.size()) - 1; }
  const Spot& operator[](int n) const { return spots_[static_cast<std::size_t>(n)]; }

  UnitStrength strength(const std::string& unit) {
    for (const auto& [name, known] : seen_) {
      if (name == unit) return known;
    }
    seen_.emplace_back(unit, strength_of(strengths_, unit));
    return seen_.back().second;
  }

  // Steps from every map cell to the nearest enemy cell, over map cells.
  std::vector<int> steps_to_enemy() const {
    std::vector<int> steps(spots_.size(), kFar);
    std::deque<int> queue;
    for (int n = 1; n <= cells(); ++n) {
      if ((*this)[n].map && (*this)[n].enemy) {
        steps[static_cast<std::size_t>(n)] = 0;
        queue.push_back(n);
      }
    }
    while (!queue.empty()) {
      const int n = queue.front();
      queue.pop_front();
      for (const int m : (*this)[n].around) {
        if (m == 0 || !(*this)[m].map || steps[static_cast<std::size_t>(m)] != kFar) continue;
        steps[static_cast<std::size_t>(m)] = steps[static_cast<std::size_t>(n)] + 1;
        queue.push_back(m);
      }
    }
    return steps;
  }

 private:
  const UnitStrengths& strengths_;
  std::vector<std::pair<std::string, UnitStrength>> seen_;
  std::vector<Spot> spots_;
};

struct Candidate {
  double score = -1;
  GeneralChoice choice;
};

// What each kind of move is worth, highest first. An enemy's empty cell is land for one unit
// and no risk; an attack with the odds comes next; then the augmentation that gives a stack
// the odds, the one a threatened cell needs, the army's (before it marches), the march; a
// cell next to land not ours; land for the taking; an attack with the least odds when
// nothing better is left (two stacks alike would otherwise face each other for ever); a
// cell far from everything.
constexpr double kTakeEmpty = 1100;
constexpr double kAttack = 1000;
constexpr double kAugmentForOdds = 800;
constexpr double kAugmentThreatened = 600;
constexpr double kAugmentArmy = 550;
constexpr double kMarch = 500;
constexpr double kAttackBold = 450;
constexpr double kAugmentOpen = 400;
constexpr double kTakeFree = 300;
constexpr double kAugmentInside = 100;
// Bonuses to a target's worth: a team's home cell; a free cell next to it (where its team
// grows from); an empty cell of ours next to it (which its units would take for nothing);
// the team with the least land, which goes first (a team gone no longer moves); and a share
// that grows as its team shrinks.
constexpr double kHomeWorth = 15;
constexpr double kGrowthWorth = 40;
constexpr double kGuardWorth = 50;
constexpr double kFocusWorth = 60;
constexpr double kSmallTeamWorth = 40;
// Taken off an attack that leaves its cell empty next to enemy units, per such neighbour:
// they take an empty cell for nothing.
constexpr double kExposure = 60;

// The index of the weakest unit of a stack (the last of equals), the one to send alone.
std::size_t weakest(const Spot& s) {
  std::size_t pick = 0;
  for (std::size_t k = 1; k < s.strengths.size(); ++k) {
    if (stack_strength({s.strengths[k]}) <= stack_strength({s.strengths[pick]})) pick = k;
  }
  return pick;
}

}  // namespace

GeneralChoice general_choice(const CampaignState& state, const Roster& cdata, const UnitStrengths& strengths,
                             AiRandom& random) {
  const int team = state.current_team;
  if (team < 1 || team > kTeamCount) return {};
  Board board(state, strengths);

  // The strongest unit of the roster is the one every augmentation adds.
  std::string recruit;
  UnitStrength recruit_strength;
  for (const std::string& entry : cdata[static_cast<std::size_t>(team - 1)]) {
    if (is_blank(entry)) continue;
    const UnitStrength s = board.strength(entry);
    if (recruit.empty() || stack_strength({s}) > stack_strength({recruit_strength})) {
      recruit = entry;
      recruit_strength = s;
    }
  }

  std::array<int, kTeamCount + 1> land{};
  for (int n = 1; n <= board.cells(); ++n) {
    if (board[n].enemy && board[n].team > 0) ++land[static_cast<std::size_t>(board[n].team)];
  }
  int focus = 0;
  for (int t = 1; t <= kTeamCount; ++t) {
    const int held = land[static_cast<std::size_t>(t)];
    if (held > 0 && (focus == 0 || held < land[static_cast<std::size_t>(focus)])) focus = t;
  }
  const auto worth = [&](const Spot& target) {
    double value = target.home ? kHomeWorth : 0;
    for (const int u : target.around) {
      if (u != 0 && board[u].map && !board[u].own && !board[u].enemy) value += kGrowthWorth;
    }
    for (const int u : target.around) {
      if (!target.units.empty() && u != 0 && board[u].own && board[u].units.empty()) value += kGuardWorth;
    }
    if (target.team > 0) {
      value += kSmallTeamWorth / land[static_cast<std::size_t>(target.team)];
      if (target.team == focus) value += kFocusWorth;
    }
    return value;
  };
  const std::vector<int> steps = board.steps_to_enemy();

  // The strongest stack is the army that marches on the enemy.
  int army = 0;
  for (int n = 1; n <= board.cells(); ++n) {
    if (board[n].own && !board[n].units.empty() && (army == 0 || board[n].strength > board[army].strength)) army = n;
  }

  Candidate best;
  const auto offer = [&](double score, Action action, double odds = 0) {
    score += random.uniform() * 1e-3;  // ties go to chance
    if (score > best.score) best = Candidate{score, GeneralChoice{std::move(action), odds}};
  };

  for (int s = 1; s <= board.cells(); ++s) {
    const Spot& from = board[s];
    if (!from.own) continue;
    const int count = static_cast<int>(from.units.size());
    bool enemy_near = false;
    bool open_near = false;
    for (const int t : from.around) {
      if (t == 0 || !board[t].map || board[t].own) continue;
      const Spot& to = board[t];
      open_near = true;
      if (!to.enemy) {
        // Free land: one unit takes it, while one stays behind.
        if (count >= 2) {
          const int away = steps[static_cast<std::size_t>(t)];
          offer(kTakeFree + (away == kFar ? 0 : 10.0 / (1 + away)), advance_action(state, s, t, {from.units[weakest(from)]}));
        }
        continue;
      }
      enemy_near = true;
      if (count == 0) continue;
      if (to.units.empty()) {
        offer(kTakeEmpty + worth(to) - (count == 1 ? 50 : 0), advance_action(state, s, t, {from.units[weakest(from)]}));
        continue;
      }
      // The whole stack attacks, so that its survivors can go on.
      const double odds = from.strength / to.strength;
      if (odds >= kGeneralOdds) {
        double exposure = 0;
        for (const int u : from.around) {
          if (u != 0 && u != t && board[u].enemy && !board[u].units.empty()) exposure += kExposure;
        }
        offer(kAttack + worth(to) + 20 * std::min(odds, 5.0) - exposure, advance_action(state, s, t, from.units), odds);
      } else if (odds >= kGeneralLeastOdds) {
        offer(kAttackBold + worth(to) + 20 * odds, advance_action(state, s, t, from.units), odds);
      }
    }

    if (count < kStack && !recruit.empty()) {
      std::vector<UnitStrength> filled = from.strengths;
      filled.resize(kStack, recruit_strength);
      const double stronger = stack_strength(filled);
      double score = open_near ? kAugmentOpen : kAugmentInside;
      for (const int t : from.around) {
        if (t == 0 || !board[t].enemy || board[t].units.empty()) continue;
        const double enemy = board[t].strength;
        if (stronger / enemy >= kGeneralOdds && from.strength / enemy < kGeneralOdds) {
          score = std::max(score, kAugmentForOdds + worth(board[t]));
        }
        if (enemy * kGeneralOdds > from.strength) score = std::max(score, kAugmentThreatened);
      }
      if (s == army && !enemy_near) score = std::max(score, kAugmentArmy);
      offer(score + 10 * (kStack - count),
            Action{ActionKind::augment, s, s, std::vector<std::string>(static_cast<std::size_t>(kStack - count), recruit),
                   {}, 0});
    }
  }

  // The army marches on the enemy when it is whole and none stands next to it.
  if (army != 0 && static_cast<int>(board[army].units.size()) == kStack) {
    bool enemy_near = false;
    for (const int t : board[army].around) enemy_near = enemy_near || (t != 0 && board[t].enemy);
    const int here = steps[static_cast<std::size_t>(army)];
    if (!enemy_near && here != kFar) {
      for (const int t : board[army].around) {
        if (t == 0 || !board[t].map || board[t].enemy || steps[static_cast<std::size_t>(t)] >= here) continue;
        if (board[t].own && !board[t].units.empty()) continue;
        offer(kMarch, advance_action(state, army, t, board[army].units));
      }
    }
  }
  return best.choice;
}

}  // namespace zorvane
