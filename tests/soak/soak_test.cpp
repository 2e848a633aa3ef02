// Long random games on edited save files: nothing a save file can hold and
// nothing the player can do may crash the game, hang a step or corrupt a save.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <iostream>

#include "tests/soak/soak_driver.h"

namespace quillot::soak {
namespace {

Profile every_field(int32_t v) {
  Profile p;
  for (int32_t* f : profile_fields(p)) *f = v;
  return p;
}

// Each field on its own: the extremes, their neighbours and the shop's limits.
Profile mixture(std::mt19937& rng) {
  static constexpr int32_t kPicks[] = {INT32_MAX, INT32_MIN, 0,  -1, 1,   INT32_MAX - 1, INT32_MIN + 1,
                                       33,        34,        46, 47, 255, 256,           100000};
  Profile p;
  for (int32_t* f : profile_fields(p)) *f = kPicks[rng() % std::size(kPicks)];
  return p;
}

// What a player's own save looks like part-way through the game.
Profile ordinary(std::mt19937& rng) {
  return Profile{.score = 0, .hi_score = 5230, .stage = static_cast<int32_t>(rng() % 46), .speed = 4, .bird = 16,
                 .shot_speed = 12, .shot_big = 3, .shot_lv = 5, .gold = 900, .rnd_shot = 15, .hp = 4, .bomb = 3,
                 .guard = 0};
}

struct Case {
  const char* name;
  uint32_t seed;
  int64_t ticks;
  Profile (*profile)(std::mt19937&);
  bool garbage_stories;
};

// 100,000 ticks in all, split so that ctest can spread them over the cores.
const Case kCases[] = {
    {"EveryFieldMax", 11, 15000, [](std::mt19937&) { return every_field(INT32_MAX); }, false},
    {"EveryFieldMin", 12, 15000, [](std::mt19937&) { return every_field(INT32_MIN); }, false},
    {"EveryFieldZero", 13, 12000, [](std::mt19937&) { return every_field(0); }, false},
    {"EveryFieldMinusOne", 14, 12000, [](std::mt19937&) { return every_field(-1); }, false},
    {"MixedExtremes", 15, 15000, mixture, false},
    {"MixedExtremesAndGarbageStories", 16, 15000, mixture, true},
    {"OrdinarySave", 17, 16000, ordinary, false},
};

// Test names in ctest's list show the case's name, not its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Soak : public ::testing::TestWithParam<Case> {};

TEST_P(Soak, PlaysWithoutCrashHangOrBadSave) {
  const Case& c = GetParam();
  SoakPlan plan;
  plan.seed = c.seed;
  plan.ticks = c.ticks;
  plan.profile = c.profile;
  plan.garbage_stories = c.garbage_stories;
  const SoakCounts n = run_soak(plan);

  const auto slowest_us = std::chrono::duration_cast<std::chrono::microseconds>(n.slowest_step).count();
  std::cout << c.name << ": " << n.ticks << " ticks (" << n.drawn_ticks << " drawn), " << n.stages << " stages, "
            << n.clears << " clears, " << n.game_overs << " game overs, " << n.quits << " quits, " << n.shop_buys << " purchases, "
            << n.saves << " saves (+" << n.failed_saves << " failed), slowest step " << slowest_us << " us\n";
  EXPECT_GE(n.ticks, plan.ticks);
  EXPECT_GE(n.drawn_ticks, plan.ticks / 3);
  EXPECT_LT(n.slowest_step, std::chrono::seconds(1));
  EXPECT_EQ(n.round_trip_faults, 0) << "a save that would not read back as written";
  EXPECT_EQ(n.stuck, 0) << "a stage screen was left with the frame timer stopped";
  // The random player must really get around the screens, or the run proves little.
  EXPECT_GT(n.stages, 3);
  EXPECT_GT(n.clears + n.game_overs, 0);
}

INSTANTIATE_TEST_SUITE_P(EditedSaves, Soak, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace quillot::soak
