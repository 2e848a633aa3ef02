#include "game/bird.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "bench/scenarios.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

Game flying_bird() { return bench::new_game(0); }

TEST(Steering, OvershootAndTheVelocityHandedToShots) {
  struct {
    int32_t speed, x, target, want_x, want_vx;
  } cases[] = {
      {3, 200, 100, 197, -6},
      {3, 101, 100, 101, 0},   // just right of the target: left and back in one tick
      {7, 95, 100, 102, 0},    // overshoots a target on its right
      {8, 107, 100, 107, 16},  // at rest more than 5 px off: keeps its velocity
  };
  for (const auto& c : cases) {
    Game g = flying_bird();
    g.profile.speed = c.speed;
    g.player_x = c.x;
    g.target_x = c.target;
    steer_bird(g);
    EXPECT_EQ(std::pair(g.player_x, g.player_vx), std::pair(c.want_x, c.want_vx))
        << c.x << " -> " << c.target;
  }
}

// The picture the bird step draws in each of `ticks` ticks from frame 0; -1 for none.
std::vector<int> pictures(Game& g, int ticks) {
  std::vector<int> out;
  NullHost host;
  for (g.frame_no = 0; g.frame_no < ticks; ++g.frame_no) {
    RecordingCanvas bak;
    bird_step(g, bak, host);
    const auto s = bak.of(Op::Sprite);
    out.push_back(s.empty() ? -1 : static_cast<int>(s[0].picture));
  }
  return out;
}

TEST(BirdStates, BlinkLastsTwelveTicksAndTheCatchFlashEleven) {
  Game g = flying_bird();
  g.player_state = bird_state::kHit;
  EXPECT_EQ(pictures(g, 12),
            (std::vector<int>{0, -1, 0, -1, 0, -1, 0, -1, 0, -1, 0, -1}));  // my1 on even ticks
  EXPECT_EQ(g.player_state, bird_state::kFlying);
  g.player_state = bird_state::kCatch;
  EXPECT_EQ(pictures(g, 11), (std::vector<int>{2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2}));  // my3, my4
  EXPECT_EQ(g.player_state, bird_state::kFlying);
}

TEST(Firing, AFlyingSlotRefusesTheRestOfTheClickButTheCursorMovesOn) {
  Game g = flying_bird();
  g.profile.rnd_shot = 20;  // three shots a click
  g.shots[2].state = 1;
  NullCanvas cg;
  NullHost host;
  cgMouseDown(g, MouseButton::Left, cg, host);
  EXPECT_EQ((std::vector{g.shots[0].state, g.shots[1].state, g.shot_cursor}), (std::vector{0, 1, 2}));
  g.shots[1].state = 3;  // a burst is simply replaced
  cgMouseDown(g, MouseButton::Left, cg, host);
  EXPECT_EQ((std::vector{g.shots[0].state, g.shots[1].state, g.shot_cursor}), (std::vector{1, 1, 2}));
}

TEST(Firing, ShotLevelOutsideTheTableStaysInside) {
  for (const int32_t shot_lv : {INT_MAX, 1000, 0, -5, INT_MIN}) {
    Game g = flying_bird();
    g.profile.shot_lv = shot_lv;
    NullCanvas cg;
    NullHost host;
    for (int click = 0; click < 600; ++click) {
      cgMouseDown(g, MouseButton::Left, cg, host);
      ASSERT_TRUE(g.shot_cursor >= 0 && g.shot_cursor < kSlots) << shot_lv;
      g.shots[static_cast<size_t>(g.shot_cursor)].state = 0;
    }
    EXPECT_EQ(g.shot_cursor, shot_lv > 0 ? 600 % 255 : 0) << shot_lv;
  }
}

TEST(Bomb, TurnsLiveBulletsIntoCoinsAndTouchesNothingElse) {
  Game g = flying_bird();
  g.combo = 2;
  g.enemies[1] = EnemyRec{.x = 100, .y = 50, .size = 10, .hp = 1, .kind = 1};
  g.shots[1] = ShotRec{.x = 100, .y = 200, .state = 1};
  for (int i : {3, 7, 200}) g.bullets[static_cast<size_t>(i)] = BulletRec{.x = i, .y = 150, .alive = 1};
  RecordingCanvas cg;
  struct : NullHost {
    int repaints = 0;
    void repaint_now() override { ++repaints; }
  } host;
  cgMouseDown(g, MouseButton::Right, cg, host);
  EXPECT_EQ(g.profile.bomb, 2);
  EXPECT_EQ(host.repaints, 6);
  EXPECT_EQ(cg.of(Op::Ellipse).back().x2, 425);
  int coins = 0;
  for (const auto& c : g.coins) coins += c.state == 1 && c.value == 10;
  EXPECT_EQ(coins, 9);
  for (const auto& b : g.bullets) EXPECT_EQ(b.alive, 0);
  EXPECT_EQ((std::vector{g.enemies[1].kind, g.shots[1].state, g.profile.score, g.combo}),
            (std::vector{1, 1, 0, 2}));
}

TEST(Shots, OneShotWoundsEveryEnemyItOverlapsAndScoresEachKill) {
  Game g = flying_bird();
  g.shots[0] = ShotRec{.x = 100, .y = 110, .state = 1};  // 100 after its move, 98..102 square
  g.enemies[1] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 1, .kind = 1, .reward = 1};
  g.enemies[2] = EnemyRec{.x = 105, .y = 95, .size = 10, .hp = 1, .kind = 1, .reward = 3};
  g.enemies[3] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 5, .kind = 4};
  g.enemies[4] = EnemyRec{.x = 100, .y = 95, .size = 3, .hp = 1, .kind = 1};  // edge to edge: no hit
  RecordingCanvas bak;
  shot_step(g, bak);
  EXPECT_EQ((std::vector{g.enemies[1].kind, g.enemies[2].kind, g.enemies[3].hp, g.enemies[4].hp}),
            (std::vector{100, 100, 4, 1}));
  EXPECT_EQ(g.profile.score, 1 * 1 + 3 * 2);  // the combo rises between the two kills
  EXPECT_EQ(g.shots[0].state, 3);             // its first burst frame is drawn at once
}

TEST(Shots, AShotLeavingTheTopStillHitsThenBurstsInPlace) {
  Game g = flying_bird();
  g.shots[0] = ShotRec{.x = 100, .y = 5, .state = 1};
  g.enemies[1] = EnemyRec{.x = 100, .y = 0, .size = 10, .hp = 2, .kind = 1};
  RecordingCanvas bak;
  for (int tick = 0; tick < 3; ++tick) shot_step(g, bak);
  EXPECT_EQ(g.enemies[1].hp, 1);
  EXPECT_EQ(bak.of(Op::Ellipse).size(), 3u);  // the disc and two burst frames
  EXPECT_EQ((std::vector{g.shots[0].state, g.shots[0].y}), (std::vector{0, -5}));
}

}  // namespace
}  // namespace quillot
