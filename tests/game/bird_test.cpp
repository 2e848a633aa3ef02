#include "game/bird.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

// A bird flying at (200, 280) with a new game's equipment.
Game flying_bird() {
  Game g;
  g.profile = Profile{.speed = 3, .bird = 18, .shot_speed = 10, .shot_big = 2, .shot_lv = 3, .hp = 3, .bomb = 3};
  g.player_x = 200;
  g.player_y = 280;
  g.target_x = 200;
  g.player_state = bird_state::kFlying;
  g.combo = 1;
  return g;
}

struct SteerCase {
  int32_t speed, x, target, want_x, want_vx;
};

TEST(Steering, MovesTowardTheTargetWithTheTestsInOrder) {
  const SteerCase cases[] = {
      {3, 200, 100, 197, -6},  // plain move left
      {3, 101, 100, 101, 0},   // just right of the target: left and back in one tick
      {7, 95, 100, 102, 0},    // overshoots a target on its right
      {8, 107, 100, 107, 16},  // rests more than 5 px off: keeps its velocity for new shots
      {3, 100, 100, 100, 0},
  };
  for (const auto& c : cases) {
    Game g = flying_bird();
    g.profile.speed = c.speed;
    g.player_x = c.x;
    g.target_x = c.target;
    g.player_vx = 99;
    steer_bird(g);
    EXPECT_EQ(g.player_x, c.want_x) << c.x << " -> " << c.target;
    EXPECT_EQ(g.player_vx, c.want_vx) << c.x << " -> " << c.target;
  }
}

TEST(Steering, MouseSetsTheTargetOnlyOnceEnabledButAlwaysClamps) {
  Game g = flying_bird();
  g.target_x = 0;
  cgMouseMove(g, 300);
  EXPECT_EQ(g.target_x, 18);  // not steering yet, but the old target is clamped
  g.steer_enabled = 1;
  cgMouseMove(g, 300);
  EXPECT_EQ(g.target_x, 300);
  cgMouseMove(g, 395);
  EXPECT_EQ(g.target_x, 382);
}

// Runs the bird step for `ticks` ticks from frame `first`, giving the picture
// drawn in each tick, -1 for none.
std::vector<int> pictures_over(Game& g, int first, int ticks) {
  std::vector<int> out;
  NullHost host;
  for (int t = 0; t < ticks; ++t) {
    g.frame_no = first + t;
    RecordingCanvas bak;
    bird_step(g, bak, host);
    const auto sprites = bak.of(Op::Sprite);
    out.push_back(sprites.empty() ? -1 : static_cast<int>(sprites[0].picture));
  }
  return out;
}

constexpr int my1 = static_cast<int>(Picture::my1), my3 = static_cast<int>(Picture::my3),
              my4 = static_cast<int>(Picture::my4), my5 = static_cast<int>(Picture::my5),
              my6 = static_cast<int>(Picture::my6);

TEST(BirdStates, BlinkLastsTwelveTicksAndCatchFlashEleven) {
  Game g = flying_bird();
  g.player_state = bird_state::kHit;
  // Ticks T+1 .. T+12 starting on an even frame: drawn on the even ones up to T+11.
  EXPECT_EQ(pictures_over(g, 0, 12), (std::vector<int>{my1, -1, my1, -1, my1, -1, my1, -1, my1, -1, my1, -1}));
  EXPECT_EQ(g.player_state, bird_state::kFlying);

  g.player_state = bird_state::kCatch;
  const auto flash = pictures_over(g, 1, 11);
  EXPECT_EQ(flash.front(), my4);
  EXPECT_EQ(flash.back(), my4);
  EXPECT_EQ(flash[1], my3);
  EXPECT_EQ(g.player_state, bird_state::kFlying);  // back to flying within the eleventh tick
}

TEST(BirdStates, GuardChangesTheFlyingPictures) {
  Game g = flying_bird();
  g.profile.guard = 1;
  EXPECT_EQ(pictures_over(g, 0, 2), (std::vector<int>{my5, my6}));
  RecordingCanvas bak;
  NullHost host;
  bird_step(g, bak, host);
  const auto sprite = bak.of(Op::Sprite).at(0);
  EXPECT_EQ(sprite.x1, 182);  // half-size `bird`
  EXPECT_EQ(sprite.y2, 298);
}

TEST(Firing, RandomShotLevelGivesShotsPerClick) {
  for (const auto& [rnd_shot, shots] : {std::pair{0, 1}, {14, 1}, {15, 2}, {19, 2}, {20, 3}}) {
    Game g = flying_bird();
    g.profile.rnd_shot = rnd_shot;
    g.profile.shot_lv = 5;
    NullCanvas cg;
    NullHost host;
    cgMouseDown(g, MouseButton::Left, cg, host);
    int flying = 0;
    for (const auto& s : g.shots) flying += s.state == 1;
    EXPECT_EQ(flying, shots) << rnd_shot;
  }
}

TEST(Firing, ScatterZeroStillDrawsTheSideForEveryShot) {
  Game g = flying_bird();
  g.player_vx = 6;
  Random expected = g.random;
  expected(2);
  expected(0);
  NullCanvas cg;
  NullHost host;
  cgMouseDown(g, MouseButton::Left, cg, host);
  EXPECT_EQ(g.random.seed, expected.seed);
  const ShotRec& s = g.shots[1];
  EXPECT_EQ((std::vector<int32_t>{s.x, s.y, s.state, s.vx}), (std::vector<int32_t>{200, 280, 1, 6}));
}

TEST(Firing, AFlyingSlotRefusesTheClickButTheCursorMovesOn) {
  Game g = flying_bird();
  g.profile.rnd_shot = 20;  // three shots a click
  g.shots[2].state = 1;
  NullCanvas cg;
  NullHost host;
  cgMouseDown(g, MouseButton::Left, cg, host);
  // Slot 1 fires, slot 2 refuses, and the third shot is never tried.
  EXPECT_EQ(g.shots[1].state, 1);
  EXPECT_EQ(g.shots[0].state, 0);
  EXPECT_EQ(g.shot_cursor, 2);
  g.shots[1].state = 3;  // a shot showing its burst is simply replaced
  cgMouseDown(g, MouseButton::Left, cg, host);
  EXPECT_EQ(g.shots[0].state, 1);
  EXPECT_EQ(g.shots[1].state, 1);
  EXPECT_EQ(g.shot_cursor, 2);  // refused at slot 2 once more
}

TEST(Firing, ShotLevelOutsideTheTableStaysInside) {
  for (const int32_t shot_lv : {INT_MAX, 1000, 0, -5, INT_MIN}) {
    Game g = flying_bird();
    g.profile.shot_lv = shot_lv;
    NullCanvas cg;
    NullHost host;
    for (int click = 0; click < 600; ++click) {
      cgMouseDown(g, MouseButton::Left, cg, host);
      ASSERT_GE(g.shot_cursor, 0);
      ASSERT_LT(g.shot_cursor, kSlots);
      for (auto& s : g.shots) s.state = 0;
    }
    EXPECT_EQ(g.shot_cursor, shot_lv > 0 ? 600 % 255 : 0) << shot_lv;
  }
}

TEST(Firing, NothingWithoutABird) {
  Game g = flying_bird();
  g.player_state = bird_state::kNone;
  RecordingCanvas cg;
  NullHost host;
  g.bullets[0].alive = 1;
  cgMouseDown(g, MouseButton::Left, cg, host);
  cgMouseDown(g, MouseButton::Right, cg, host);
  EXPECT_EQ(g.shots[1].state, 0);
  EXPECT_EQ(g.profile.bomb, 3);
  EXPECT_EQ(g.random.seed, 0u);
}

struct CountingHost : NullHost {
  int repaints = 0;
  void repaint_now() override { ++repaints; }
};

TEST(Bomb, TurnsLiveBulletsIntoCoinsAndTouchesNothingElse) {
  Game g = flying_bird();
  g.combo = 2;
  g.profile.score = 70;
  g.enemies[1] = EnemyRec{.x = 100, .y = 50, .size = 10, .hp = 1, .kind = 1, .reward = 1};
  g.shots[1] = ShotRec{.x = 100, .y = 200, .state = 1};
  for (int i : {3, 7, 200}) g.bullets[static_cast<size_t>(i)] = BulletRec{.x = i, .y = 150, .alive = 1, .radius = 3};
  const Game before = g;
  RecordingCanvas cg;
  CountingHost host;
  cgMouseDown(g, MouseButton::Right, cg, host);

  EXPECT_EQ(g.profile.bomb, 2);
  EXPECT_EQ(host.repaints, 6);
  const auto rings = cg.of(Op::Ellipse);
  ASSERT_EQ(rings.size(), 6u);
  EXPECT_EQ((std::vector<int32_t>{rings[5].x1, rings[5].y1, rings[5].x2, rings[5].y2}),
            (std::vector<int32_t>{-25, 0, 425, 400}));
  for (const auto& copy : cg.of(Op::Copy)) {
    EXPECT_TRUE(copy.x1 >= 0 && copy.x1 <= 4 && copy.x2 >= 396 && copy.y2 >= 296) << copy.x1 << "," << copy.y2;
  }
  int coins = 0;
  for (const auto& c : g.coins) {
    if (c.state == 0) continue;
    ++coins;
    EXPECT_EQ(c.state, 1);  // never an X coin
    EXPECT_EQ(c.value, 10);
  }
  EXPECT_EQ(coins, 9);
  for (const auto& b : g.bullets) EXPECT_EQ(b.alive, 0);
  EXPECT_EQ(g.enemies[1].kind, 1);
  EXPECT_EQ(g.shots[1].state, 1);
  EXPECT_EQ(g.profile.score, 70);
  EXPECT_EQ(g.combo, 2);
  EXPECT_EQ(g.player_state, before.player_state);

  g.profile.bomb = 0;
  cgMouseDown(g, MouseButton::Right, cg, host);
  EXPECT_EQ(host.repaints, 6);
}

// One shot in flight at (x, y) over an otherwise empty field.
Game shot_at(int32_t x, int32_t y) {
  Game g = flying_bird();
  g.shots[0] = ShotRec{.x = x, .y = y, .state = 1};
  return g;
}

TEST(Shots, OneShotWoundsEveryEnemyItOverlaps) {
  Game g = shot_at(100, 110);
  g.enemies[1] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 1, .kind = 1, .reward = 1};
  g.enemies[2] = EnemyRec{.x = 105, .y = 95, .size = 10, .hp = 1, .kind = 1, .reward = 3};
  g.enemies[3] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 5, .kind = 4, .reward = 5};
  g.enemies[4] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 1, .kind = 101};  // exploding
  g.enemies[5] = EnemyRec{.x = 100, .y = 95, .size = 3, .hp = 1, .kind = 1};       // edge to edge: no overlap
  RecordingCanvas bak;
  shot_step(g, bak);
  EXPECT_EQ(g.enemies[1].kind, 100);
  EXPECT_EQ(g.enemies[2].kind, 100);
  EXPECT_EQ(g.enemies[3].hp, 4);
  EXPECT_EQ(g.enemies[4].kind, 101);
  EXPECT_EQ(g.enemies[5].hp, 1);
  // Scored one after the other with the combo rising in between: 1 x 1 + 3 x 2.
  EXPECT_EQ(g.profile.score, 7);
  EXPECT_EQ(g.combo, 3);
  EXPECT_EQ(g.shots[0].state, 3);  // first burst frame drawn this tick
}

TEST(Shots, AShotLeavingTheTopStillHitsAndBursts) {
  Game g = shot_at(100, 5);
  g.enemies[1] = EnemyRec{.x = 100, .y = 0, .size = 10, .hp = 2, .kind = 1};
  RecordingCanvas bak;
  shot_step(g, bak);
  EXPECT_EQ(g.enemies[1].hp, 1);
  const auto drawn = bak.of(Op::Ellipse);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[1].brush, 0xFFFF00u);
  EXPECT_LE(drawn[1].x1, 100 - 2 - 5);
  shot_step(g, bak);
  shot_step(g, bak);
  EXPECT_EQ(g.shots[0].state, 0);
  EXPECT_EQ(g.shots[0].y, -5);  // a burst does not move
}

TEST(Shots, WithoutAHitAShotLeavingTheTopIsFreed) {
  Game g = shot_at(398, 5);
  g.shots[0].vx = 6;
  RecordingCanvas bak;
  shot_step(g, bak);
  EXPECT_EQ(g.shots[0].state, 0);
  EXPECT_EQ(g.shots[0].x, 404);
  EXPECT_EQ(g.shots[0].vx, -6);
  EXPECT_EQ(bak.of(Op::Ellipse).size(), 1u);
}

TEST(Shots, KindNineteenDrawsItsSplitChanceFirst) {
  Game g = shot_at(100, 110);
  // Slot 254 is never handed out, and the fragments land in slots the scan has
  // passed, out of this shot's reach.
  g.enemies[254] = EnemyRec{.x = 100, .y = 100, .size = 8, .hp = 1, .kind = 19, .reward = 10};
  g.enemy_cursor = 243;
  Random expected = g.random;
  for (int i = 0; i < 4; ++i) expected(2);  // the shot's disc
  const bool splits = expected(3) == 0;
  RecordingCanvas bak;
  shot_step(g, bak);
  int fragments = 0, coins = 0;
  for (const auto& e : g.enemies) fragments += e.kind == 20;
  for (const auto& c : g.coins) coins += c.state != 0;
  EXPECT_EQ(fragments, splits ? 10 : 0);
  EXPECT_EQ(coins, splits ? 0 : 10);
  EXPECT_EQ(g.profile.score, 10);  // scored either way
}

}  // namespace
}  // namespace quillot
