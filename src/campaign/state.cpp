#include "campaign/state.h"

#include <algorithm>
#include <cstdlib>

namespace zorvane {

void CampaignState::clear_cells() {
  for (auto& cell : cells) cell.fill(Value());
}

std::string team_letter(int index) {
  if (index < 1 || index > kTeamCount) return {};
  return std::string(1, static_cast<char>('A' + index - 1));
}

int team_index(std::string_view letter) {
  if (letter.size() != 1 || !is_team_letter(letter[0])) return 0;
  return letter[0] - 'A' + 1;
}

int unit_count(const Cell& cell) {
  for (int k = kUnitSlots; k >= 1; --k) {
    if (!cell[static_cast<std::size_t>(unit_1 + k - 2)].is_blank()) return k;
  }
  return 0;
}

namespace {

const GridSpot* spot_of(const CampaignState& state, int n) {
  if (n < 1 || n > state.cell_count() || static_cast<std::size_t>(n) > state.spots.size()) return nullptr;
  return &state.spots[static_cast<std::size_t>(n - 1)];
}

}  // namespace

bool within_one_step(const CampaignState& state, int a, int b) {
  const GridSpot* from = spot_of(state, a);
  const GridSpot* to = spot_of(state, b);
  return from && to && std::abs(from->row - to->row) <= 1 && std::abs(from->col - to->col) <= 1;
}

std::optional<int> compass_neighbour(const CampaignState& state, int n, int d) {
  static constexpr int kRowStep[] = {-1, -1, 0, 1, 1, 1, 0, -1};
  static constexpr int kColStep[] = {0, 1, 1, 1, 0, -1, -1, -1};
  const GridSpot* from = spot_of(state, n);
  if (!from || d < 1 || d > 8) return std::nullopt;
  const GridSpot wanted{from->row + kRowStep[d - 1], from->col + kColStep[d - 1]};
  // Spots run in reading order, so they are sorted.
  const int last = std::min<int>(state.cell_count(), static_cast<int>(state.spots.size()));
  const auto end = state.spots.begin() + last;
  const auto found = std::lower_bound(state.spots.begin(), end, wanted);
  if (found == end || *found != wanted) return std::nullopt;
  return static_cast<int>(found - state.spots.begin()) + 1;
}

}  // namespace zorvane
