#include "campaign/state.h"

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

std::optional<int> compass_neighbour(const CampaignState& state, int n, int d) {
  const int total = state.cell_count();
  const int stride = state.grid_rows;
  int neighbour = 0;
  switch (d) {
    case 1: neighbour = n - stride; break;
    case 2: neighbour = n - stride + 1; break;
    case 3: neighbour = n + 1; break;
    case 4: neighbour = n + stride + 1; break;
    case 5: neighbour = n + stride; break;
    case 6: neighbour = n + stride - 1; break;
    case 7: neighbour = n - 1; break;
    case 8: neighbour = n - stride - 1; break;
    default: return std::nullopt;
  }
  if (neighbour < 1 || neighbour > total) return std::nullopt;
  return neighbour;
}

}  // namespace zorvane
