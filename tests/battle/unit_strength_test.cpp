// Unit strength: read from the stand-in game's unit programs as the game reads them.
#include <gtest/gtest.h>

#include <cmath>

#include "battle/unit_strength.h"

namespace zorvane {
namespace {

bool near(std::optional<UnitStrength> a, UnitStrength b) {
  return a && std::abs(a->hull - b.hull) < 1e-9 && std::abs(a->firepower - b.firepower) < 1e-9;
}

// hull + 10 rounds of repair; (accuracy - 15)% of (attack - 3), one tenth more per cell of range.
TEST(UnitStrength, ReadsTheProgramAsTheGameDoesDefaultsAndRangesIncluded) {
  EXPECT_TRUE(near(parse_unit_strength("; tank\r\nname=Tank\r\nHULL = 220\r\narmor=9\r\nattack=26\r\nrange=3\r\n"
                                        "accuracy=60\r\n"),
                   {220, 0.45 * 23 * 1.3}));
  // Missing, garbled and out-of-range values: the default, the default, the range's end.
  EXPECT_TRUE(near(parse_unit_strength("hull=x\nattack=5000\nrepair=-4\nrange=99\n# accuracy=100"), {100, 0.5 * 197 * 3}));
  EXPECT_TRUE(near(parse_unit_strength("accuracy=1\nrepair=50"), {600, 0.05 * 12 * 1.3}));
  EXPECT_EQ(default_unit_strength(), *parse_unit_strength("speed=2"));
  // None of the game's keys: another game's program, nothing known.
  EXPECT_EQ(parse_unit_strength("name=Tank\npower=9000\n"), std::nullopt);
  EXPECT_EQ(parse_unit_strength(""), std::nullopt);
}

TEST(UnitStrength, StacksAddUpSoEqualUnitsCountAsTheirNumber) {
  const UnitStrengths table{{"tank.ai", {200, 8}}};
  EXPECT_EQ(strength_of(table, " TANK.AI "), (UnitStrength{200, 8}));
  EXPECT_EQ(strength_of(table, "other.ai"), default_unit_strength());
  const UnitStrength one{200, 8};
  EXPECT_DOUBLE_EQ(stack_strength({one}), 40);
  EXPECT_DOUBLE_EQ(stack_strength({one, one, one}), 120);
  EXPECT_DOUBLE_EQ(stack_strength({{100, 1}, {0, 4}}), std::sqrt(500.0));
  EXPECT_EQ(stack_strength({}), 0);
}

}  // namespace
}  // namespace zorvane
