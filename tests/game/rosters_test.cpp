#include "game/rosters.h"

#include <gtest/gtest.h>

#include "game/enemies.h"

namespace quillot {
namespace {

int live_enemies(const Game& g) {
  int n = 0;
  for (const EnemyRec& e : g.enemies) n += e.kind != 0;
  return n;
}

void start_stage(Game& g, int32_t n) {
  g.profile.stage = n;
  set_stage_roster(g, n);
  spawn_roster(g);
}

TEST(Rosters, EveryStageStartsWithItsListedNumberOfEnemies) {
  const int32_t totals[kLastStage + 1] = {5,  4,  1,  12, 5,  8,  7,  3,  5,  7,  10, 12, 17, 11, 8, 11,
                                          6,  6,  10, 9,  10, 7,  2,  12, 7,  10, 12, 23, 15, 6,  3, 3,
                                          10, 8,  5,  5,  8,  10, 6,  12, 8,  21, 11, 9,  1,  12, 12};
  for (int32_t n = 0; n <= kLastStage; ++n) {
    Game g;
    start_stage(g, n);
    EXPECT_EQ(roster_total(n), totals[n]) << n;
    EXPECT_EQ(live_enemies(g), totals[n]) << n;
    EXPECT_EQ(g.enemy_cursor, totals[n]) << n;  // consecutive slots from 1
    EXPECT_EQ(g.stage_time, n * 2 + 20);
  }
}

TEST(Rosters, Stage41PlacesLateFallersBeyondTheRightEdge) {
  Game g;
  start_stage(g, 41);
  for (size_t slot = 7; slot <= 21; ++slot) EXPECT_EQ(g.enemies[slot].kind, 20);
  EXPECT_EQ(g.enemies[16].x, 420);
  EXPECT_EQ(g.enemies[21].x, 620);
}

TEST(Rosters, StageNumberIsTakenAsAByteAndPastTheLastIsEmpty) {
  struct Row { int32_t n; int expected; };
  for (const Row& r : {Row{47, 0}, Row{255, 0}, Row{-1, 0}, Row{256, 5}, Row{256 + 27, 23}}) {
    Game g;
    start_stage(g, r.n);
    EXPECT_EQ(live_enemies(g), r.expected) << r.n;
  }
  Game g;
  start_stage(g, 47);
  EXPECT_EQ(g.stage_time, 114);
  EXPECT_EQ(roster_total(47), 0);
  EXPECT_EQ(roster_total(-1), 0);
}

TEST(Rosters, SetupClearsOnlyKindsAndResetsClockAndCombo) {
  Game g;
  g.enemies[9] = {.x = 1, .y = 2, .vy = 3, .size = 4, .vx = 5, .hp = 6, .kind = 104, .reward = 8};
  g.enemy_cursor = 9;
  g.combo = 7;
  g.combo_timer = 40;
  g.coins[3].state = 1;
  g.roster[5] = 9;
  g.profile.stage = 3;
  set_stage_roster(g, 2);  // the clock follows the stored stage, not n
  EXPECT_EQ(g.enemies[9].kind, 0);
  EXPECT_EQ(g.enemies[9].hp, 6);
  EXPECT_EQ(g.enemy_cursor, 9);
  EXPECT_EQ(g.coins[3].state, 1);
  EXPECT_EQ(g.combo, 1);
  EXPECT_EQ(g.combo_timer, 1);
  EXPECT_EQ(g.stage_time, 26);
  EXPECT_EQ(g.roster[5], 1);
}

}  // namespace
}  // namespace quillot
