#include "game/enemies.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/support/random_inverse.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using testing::set_next_seed;
using Op = RecordingCanvas::Op;

Game fresh() {
  Game g;
  g.player_x = 200;
  g.player_y = 280;
  g.profile.bird = 10;
  g.random.seed = 12345;
  return g;
}

EnemyRec& put(Game& g, size_t slot, int32_t kind, int32_t x, int32_t y, int32_t vx = 0, int32_t vy = 0,
              int32_t size = 10) {
  g.enemies[slot] = {.x = x, .y = y, .vy = vy, .size = size, .vx = vx, .hp = 1, .kind = kind, .reward = 1};
  return g.enemies[slot];
}

TEST(EnemySlots, HandedOutFromOneUpTo253ThenFromZeroNever254) {
  Game g = fresh();
  EXPECT_EQ(next_enemy_slot(g), 1);
  g.enemy_cursor = 252;
  EXPECT_EQ(next_enemy_slot(g), 253);
  EXPECT_EQ(next_enemy_slot(g), 0);
  EXPECT_EQ(next_enemy_slot(g), 1);

  // A spawn overwrites whatever holds the slot, an explosion included.
  put(g, 1, 103, 0, 0);
  g.roster[1] = 1;
  spawn_roster(g);
  EXPECT_EQ(g.enemies[1].kind, 1);
  EXPECT_EQ(g.player_state, bird_state::kFlying);
}

// Second enemy of each kind, with the bird at speed 3, size 18 and 3 hit points.
TEST(EnemySpawn, StartValuesAndPlacementOfEveryKind) {
  struct Row { int32_t kind, x, y, vx, vy, size, hp, reward; };
  constexpr int32_t kStale = 77;  // vy is not written for kinds 1..16
  const Row rows[] = {
      {1, 80, 55, 5, kStale, 10, 1, 1},    {2, 90, 30, 5, kStale, 15, 3, 3},    {3, 90, 70, 20, kStale, 15, 2, 5},
      {4, 100, 85, 3, kStale, 18, 7, 5},   {5, 80, 125, 10, kStale, 12, 5, 6},  {6, 80, 55, 5, kStale, 10, 1, 2},
      {7, 90, 70, 20, kStale, 15, 4, 8},   {8, 80, 35, 9, kStale, 9, 6, 15},    {9, 90, 35, 8, kStale, 20, 5, 10},
      {10, 80, 85, 5, kStale, 10, 1, 1},   {11, 80, 135, 5, kStale, 10, 1, 1},  {12, 100, 85, 3, kStale, 18, 9, 20},
      {13, 100, 74, 8, kStale, 11, 4, 4},  {14, 100, 74, 7, kStale, 12, 7, 8},  {15, 100, 55, 5, kStale, 8, 1, 1},
      {16, 100, 50, 4, kStale, 15, 6, 6},  {17, 100, 30, 3, 2, 18, 9, 20},      {18, 100, 30, 3, 2, 54, 21, 40},
      {19, 100, 30, 3, 3, 8, 1, 10},       {20, 100, 25, 0, 1, 5, 1, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    Game g = fresh();
    g.profile.speed = 3;
    g.profile.bird = 18;
    g.profile.hp = 3;
    for (EnemyRec& e : g.enemies) e.vy = kStale;
    g.roster[static_cast<size_t>(r.kind)] = 2;
    spawn_roster(g);
    const EnemyRec& e = g.enemies[2];
    EXPECT_EQ(e.kind, r.kind);
    EXPECT_EQ(e.x, r.x);
    EXPECT_EQ(e.y, r.y);
    EXPECT_EQ(e.vx < 0 ? -e.vx : e.vx, r.vx);
    EXPECT_EQ(e.vy, r.vy);
    EXPECT_EQ(e.size, r.size);
    EXPECT_EQ(e.hp, r.hp);
    EXPECT_EQ(e.reward, r.reward);
  }
}

TEST(EnemySpawn, OneFlipDrawPerEnemyButNoneForKind20) {
  Game g = fresh();
  g.roster[1] = 2;
  g.roster[19] = 1;
  g.roster[20] = 3;
  Random expected = g.random;
  spawn_roster(g);
  for (size_t slot : {1, 2, 3}) {
    const int32_t draw = expected(2);
    EXPECT_EQ(g.enemies[slot].vx < 0, draw == 0) << slot;
  }
  EXPECT_EQ(g.random.seed, expected.seed);
  EXPECT_EQ(g.enemies[6].kind, 20);
  EXPECT_EQ(g.enemies[6].x, 140);
}

TEST(EnemySpawn, MirroredBirdWrapsAtExtremeProfileValues) {
  Game g = fresh();
  g.profile.speed = INT32_MIN;
  g.profile.bird = INT32_MAX;
  g.profile.hp = INT32_MAX;
  g.roster[18] = 2;
  spawn_roster(g);
  EXPECT_EQ(g.enemies[1].size, 2147483645);  // 3 * (2^31 - 1) mod 2^32
  EXPECT_EQ(g.enemies[1].hp, 2147483641);
  RecordingCanvas bak;
  for (int t = 0; t < 50; ++t) update_enemies(g, bak);
}

TEST(EnemySpawn, DropAndSplitDrawTheirNumbers) {
  Game g = fresh();
  g.combo = 4;
  Random expected = g.random;
  split_kind19(g, 100, 60, 10);
  for (size_t slot = 1; slot <= 10; ++slot) {
    const EnemyRec& e = g.enemies[slot];
    EXPECT_EQ(e.x, 90 + expected(21));
    EXPECT_EQ(e.y, 50);
    EXPECT_EQ(e.size, 25);
    EXPECT_EQ(e.kind, 20);
  }
  drop_kind15(g, 33, 44);
  EXPECT_EQ(g.enemies[11].vx, expected(2) == 0 ? -5 : 5);
  EXPECT_EQ(g.random.seed, expected.seed);
}

TEST(EnemyMove, TurnsOnlyAfterPassingAnEdge) {
  struct Row { int32_t x, vx, x1, vx1, x2; };
  for (const Row& r : {Row{398, 5, 403, -5, 398}, Row{395, 5, 400, 5, 405}, Row{2, -5, -3, 5, 2},
                       Row{5, -5, 0, -5, -5}, Row{10, -20, -10, 20, 10}}) {
    Game g = fresh();
    RecordingCanvas bak;
    EnemyRec& e = put(g, 0, 1, r.x, 55, r.vx);
    update_enemies(g, bak);
    EXPECT_EQ(e.x, r.x1);
    EXPECT_EQ(e.vx, r.vx1);
    update_enemies(g, bak);
    EXPECT_EQ(e.x, r.x2);
  }
}

TEST(EnemyMove, VerticalRulesOfTheFallingAndSwingingKinds) {
  struct Row { int32_t kind, y, vx, vy, y1, vy1; };
  for (const Row& r : {Row{17, 99, 0, 2, 101, -2}, Row{18, 21, 0, -2, 19, 2}, Row{19, 50, 0, 3, 53, 3},
                       Row{15, 50, -5, 0, 55, 0}, Row{15, 50, 5, 0, 55, 0}, Row{4, 50, 0, 9, 50, 9}}) {
    Game g = fresh();
    RecordingCanvas bak;
    EnemyRec& e = put(g, 0, r.kind, 100, r.y, r.vx, r.vy);
    update_enemies(g, bak);
    EXPECT_EQ(e.y, r.y1) << r.kind;
    EXPECT_EQ(e.vy, r.vy1) << r.kind;
  }
}

TEST(EnemyMove, Kind20SpeedsUpOnOneInSixUpTo40AndLeavesBelow430) {
  Game g = fresh();
  RecordingCanvas bak;
  EnemyRec& e = put(g, 0, 20, 100, 25, 0, 1);
  set_next_seed(g.random, 0xFFFFFFFFu / 6);
  update_enemies(g, bak);
  EXPECT_EQ(e.y, 26);
  EXPECT_EQ(e.vy, 2);
  e.vy = 40;
  set_next_seed(g.random, 0);
  update_enemies(g, bak);
  EXPECT_EQ(e.vy, 40);

  bak.calls.clear();
  e.y = 390;
  update_enemies(g, bak);
  EXPECT_EQ(e.kind, 20);  // exactly 430 stays
  update_enemies(g, bak);
  EXPECT_EQ(e.kind, 0);
  EXPECT_EQ(bak.of(Op::Ellipse).size(), 1u);  // not drawn on the tick it leaves
}

TEST(EnemyDraw, SpriteFillsTheSquareAndTheDiscKeepsWhateverPenIsSet) {
  Game g = fresh();
  put(g, 1, 18, 100, 60, 0, 0, 7);
  put(g, 2, 20, 300, 60, 0, 0, 5);
  RecordingCanvas bak;
  bak.pen = 0x123456;
  g.frame_no = 1;
  update_enemies(g, bak);
  const auto sprite = bak.of(Op::Sprite).at(0);
  EXPECT_EQ(sprite.picture, Picture::ene7);
  EXPECT_EQ(std::vector<int32_t>({sprite.x1, sprite.y1, sprite.x2, sprite.y2}), (std::vector<int32_t>{93, 53, 107, 67}));
  EXPECT_EQ(bak.of(Op::Ellipse).at(0).brush, 0x000000u);
  EXPECT_EQ(bak.of(Op::Ellipse).at(0).pen, 0x123456u);

  // An explosion in a lower slot leaves its colour in the pen.
  g.frame_no = 2;
  put(g, 1, 100, 50, 50);
  bak.calls.clear();
  update_enemies(g, bak);
  EXPECT_EQ(bak.of(Op::Ellipse).at(1).brush, 0x0000FFu);
  EXPECT_EQ(bak.of(Op::Ellipse).at(1).pen, 0xFFBBFFu);
}

TEST(EnemyExplosion, SixGrowingDiscsThenTheSlotIsFree) {
  Game g = fresh();
  put(g, 7, 100, 120, 90);
  RecordingCanvas bak;
  for (int t = 0; t < 6; ++t) {
    EXPECT_NE(g.enemies[7].kind, 0);
    update_enemies(g, bak);
  }
  EXPECT_EQ(g.enemies[7].kind, 0);
  const Color colors[] = {0xFFBBFF, 0xFF80FF, 0x7744FF, 0x7846FD, 0x8000FF, 0xEF0AF5};
  const auto discs = bak.of(Op::Ellipse);
  ASSERT_EQ(discs.size(), 6u);
  for (int32_t i = 0; i < 6; ++i) {
    const int32_t r = 11 + i;
    EXPECT_EQ(discs[i].x1, 120 - r);
    EXPECT_EQ(discs[i].y2, 90 + r);
    EXPECT_EQ(discs[i].brush, colors[i]);
    EXPECT_EQ(discs[i].pen, colors[i]);
  }
}

struct Shot { int32_t x, y, radius, vx, vy, color; };
bool operator==(const Shot& a, const BulletRec& b) {
  return b.alive == 1 && a.x == b.x && a.y == b.y && a.radius == b.radius && a.vx == b.vx && a.vy == b.vy &&
         a.color == b.color;
}

// One tick of an enemy at (100, 70) whose chance has come up: the bullets in
// the order they were made, and the generator as it was before the tick.
struct Volley {
  std::vector<BulletRec> bullets;
  Random before;
  uint32_t seed_after;
};
Volley volley(int32_t kind, int32_t chance) {
  Game g = fresh();
  put(g, 0, kind, 100, 70);
  set_next_seed(g.random, 0xFFFFFFFFu / static_cast<uint32_t>(chance));
  const Random before = g.random;
  RecordingCanvas bak;
  update_enemies(g, bak);
  return {{g.bullets.begin() + 1, g.bullets.begin() + 1 + g.bullet_cursor}, before, g.random.seed};
}

TEST(EnemyFire, FixedVolleys) {
  struct Row { int32_t kind, chance; std::vector<Shot> shots; };
  const std::vector<Row> rows = {
      {2, 100, {{100, 70, 5, 0, 8, 0}}},
      {5, 50, {{100, 70, 3, 2, 4, 1}, {100, 70, 3, -2, 4, 1}}},
      {6, 90, {{100, 70, 2, 0, 5, 0}}},
      {15, 90, {{100, 70, 2, 0, 5, 0}}},
      {7, 100, {{100, 76, 3, 0, 5, 2}, {100, 82, 3, 0, 5, 2}, {100, 88, 3, 0, 5, 2}, {100, 94, 3, 0, 5, 2},
                {100, 100, 3, 0, 5, 2}}},
      {8, 100, {{90, 80, 2, -8, 6, 1}, {80, 90, 2, -8, 6, 1}, {70, 100, 2, -8, 6, 1}, {60, 110, 2, -8, 6, 1},
                {50, 120, 2, -8, 6, 1}, {110, 80, 2, 8, 6, 1}, {120, 90, 2, 8, 6, 1}, {130, 100, 2, 8, 6, 1},
                {140, 110, 2, 8, 6, 1}, {150, 120, 2, 8, 6, 1}}},
      {9, 100, {{100, 70, 12, 0, 9, 2}}},
      {12, 150, {{110, 79, 4, 1, 9, 2}, {110, 88, 4, 1, 9, 2}, {110, 97, 4, 1, 9, 2}, {110, 106, 4, 1, 9, 2},
                 {110, 115, 4, 1, 9, 2}, {90, 79, 4, -1, 9, 2}, {90, 88, 4, -1, 9, 2}, {90, 97, 4, -1, 9, 2},
                 {90, 106, 4, -1, 9, 2}, {90, 115, 4, -1, 9, 2}}},
  };
  for (const Row& r : rows) {
    const auto bullets = volley(r.kind, r.chance).bullets;
    ASSERT_EQ(bullets.size(), r.shots.size()) << r.kind;
    for (size_t i = 0; i < bullets.size(); ++i) EXPECT_TRUE(r.shots[i] == bullets[i]) << r.kind << " #" << i;
  }
}

TEST(EnemyFire, RandomSlantsDrawVxBeforeVy) {
  Volley v = volley(13, 80);
  Random r = v.before;
  r(80);
  EXPECT_TRUE((Shot{100, 70, 4, r(2) == 0 ? 4 : -4, 5, 0}) == v.bullets.at(0));
  EXPECT_EQ(r.seed, v.seed_after);

  v = volley(14, 80);
  r = v.before;
  r(80);
  const bool right = r(2) == 0;
  const int32_t slant = r(8);
  EXPECT_TRUE((Shot{100, 70, 3, right ? slant : -slant, 6, 0}) == v.bullets.at(0));
  EXPECT_EQ(r.seed, v.seed_after);

  for (int32_t kind : {17, 18}) {
    v = volley(kind, 6);
    r = v.before;
    r(6);
    const int32_t vx = r(7) - 3;
    EXPECT_TRUE((Shot{100, 70, 3, vx, r(8) + 3, 0}) == v.bullets.at(0)) << kind;
    EXPECT_EQ(r.seed, v.seed_after);
  }
}

TEST(EnemyFire, EachKindDrawsItsOwnChanceOnlyWhenItFires) {
  struct Row { int32_t kind, chance; };
  const Row firing[] = {{2, 100}, {5, 50},   {6, 90},  {15, 90}, {7, 100}, {8, 100}, {9, 100},
                        {12, 150}, {13, 80}, {14, 80}, {16, 50}, {17, 6},  {18, 6}};
  for (const Row& r : firing) {
    for (uint32_t past : {0u, 1u}) {
      Game g = fresh();
      put(g, 10, r.kind, 100, 70);
      set_next_seed(g.random, 0xFFFFFFFFu / static_cast<uint32_t>(r.chance) + past);
      RecordingCanvas bak;
      update_enemies(g, bak);
      const bool fired = g.bullet_cursor != 0 || g.enemy_cursor != 0;
      EXPECT_EQ(fired, past == 0) << r.kind;
    }
  }
  for (int32_t kind : {1, 3, 4, 10, 11, 19}) {
    Game g = fresh();
    put(g, 10, kind, 100, 70);
    RecordingCanvas bak;
    update_enemies(g, bak);
    EXPECT_EQ(g.random.seed, 12345u) << kind;
  }
}

TEST(EnemyFire, Kind16DropMovesTheSameTickOnlyInAHigherSlot) {
  for (int32_t cursor : {5, 1}) {
    Game g = fresh();
    put(g, 5, 16, 100, 50);
    g.enemy_cursor = cursor;
    set_next_seed(g.random, 0);
    RecordingCanvas bak;
    update_enemies(g, bak);
    const EnemyRec& dropped = g.enemies[static_cast<size_t>(cursor + 1)];
    EXPECT_EQ(dropped.kind, 15);
    EXPECT_EQ(dropped.y, cursor == 5 ? 55 : 50);  // past the dropper it already fell by |vx|
  }
}

TEST(EnemyRam, StrictOverlapWithTheShrunkenBirdBox) {
  // Bird at (200, 280) with half-size 10; enemy half-size 10.
  struct Row { int32_t x, y; bool rams; };
  for (const Row& r : {Row{217, 280, true}, Row{218, 280, false}, Row{183, 280, true}, Row{182, 280, false},
                       Row{200, 296, true}, Row{200, 297, false}, Row{200, 264, true}, Row{200, 263, false}}) {
    Game g = fresh();
    g.player_state = bird_state::kFlying;
    g.profile.hp = 3;
    put(g, 0, 1, r.x, r.y);
    RecordingCanvas bak;
    update_enemies(g, bak);
    EXPECT_EQ(g.enemies[0].kind == 100, r.rams) << r.x << "," << r.y;
  }
}

TEST(EnemyRam, CostsAHitPointAndAPixelIgnoringTheGuard) {
  struct Row { int32_t hp, bird, size, state, hp1, bird1, state1, kind1; };
  const Row rows[] = {
      {3, 10, 20, 1, 2, 9, 10, 100},
      {1, 10, 20, 1, 0, 9, 2, 100},
      {3, 5, 20, 1, 2, 5, 10, 100},
      {3, 3, 20, 1, 2, 5, 10, 100},
      {3, 10, 20, 10, 3, 10, 10, 1},  // blinking: passes through
      {3, 10, 20, 30, 3, 10, 30, 1},
      // Loaded extremes (the sizes overlap only through wrapping) neither wrap
      // the dead bird back to life nor make it huge.
      {INT32_MIN, INT32_MIN, INT32_MIN + 100, 1, INT32_MIN, 5, 2, 100},
  };
  for (const Row& r : rows) {
    Game g = fresh();
    g.profile = {.hp = r.hp, .guard = 1};
    g.profile.bird = r.bird;
    g.player_state = r.state;
    put(g, 0, 1, 200, 280, 0, 0, r.size);
    RecordingCanvas bak;
    update_enemies(g, bak);
    EXPECT_EQ(g.profile.hp, r.hp1);
    EXPECT_EQ(g.profile.bird, r.bird1);
    EXPECT_EQ(g.player_state, r.state1);
    EXPECT_EQ(g.enemies[0].kind, r.kind1);
    EXPECT_EQ(g.profile.guard, 1);
  }
}

}  // namespace
}  // namespace quillot
