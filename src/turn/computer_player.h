// The computer player: for the team whose turn it is, augment the first own cell (in a
// random scan direction) whose unit count is below the threshold, or advance from the first
// own cell that finds a target along a randomly chosen movement pattern, or pass.
#pragma once

#include <cstdint>
#include <random>

#include "campaign/state.h"
#include "config/roster.h"
#include "config/settings.h"
#include "turn/engine.h"

namespace zorvane {

// The computer player's random draws: uniform in [0, 1), from a generator the caller seeds
// (from the clock in the program, with a fixed seed in tests and in the campaign runner).
class AiRandom {
 public:
  explicit AiRandom(std::uint64_t seed) : engine_(seed) {}
  virtual ~AiRandom() = default;
  virtual double uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 engine_;
};

struct AiChoice {
  enum class Kind { augment, advance, pass };
  Kind kind = Kind::pass;
  int cell = 0;    // the cell augmented, or the one advancing
  int target = 0;  // the neighbour it advances into
  friend bool operator==(const AiChoice&, const AiChoice&) = default;
};

// What the team to move does, read from the settings as they are now (threshold Text12,
// patterns Text14..Text21; empty or non-numeric texts read as 0). Nothing changes here.
AiChoice choose_ai_action(const CampaignState& state, const Settings& settings, AiRandom& random);

// The choice as an action for the engine: an augmentation fills slots from the roster after
// the cell's units up to the fill target (Text13, at most the fifth slot; R1 stands in for a
// blank entry); an advance sends all listed units but the last; otherwise a pass.
Action computer_action(const CampaignState& state, const Settings& settings, const Roster& cdata, AiRandom& random);

}  // namespace zorvane
