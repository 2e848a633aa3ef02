#include "game/bullets.h"

#include <gtest/gtest.h>

#include "game/bird.h"
#include "game/coins.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

Game flying_bird() {
  Game g;
  g.profile = Profile{.score = 500, .stage = 9, .speed = 3, .bird = 18, .shot_speed = 10, .shot_big = 2,
                      .shot_lv = 3, .gold = 4000, .hp = 3, .bomb = 2};
  g.player_x = 200;
  g.player_y = 280;
  g.player_state = bird_state::kFlying;
  g.combo = 1;
  return g;
}

// A bullet that will be on the bird's centre after its move.
void bullet_on_bird(Game& g, size_t slot) { g.bullets[slot] = BulletRec{.x = 200, .y = 276, .alive = 1, .vy = 4, .radius = 3}; }

// A seed whose penalty draw, after the bullet's four jitter draws, is `row`.
uint32_t seed_for_penalty(int32_t row) {
  for (uint32_t seed = 0;; ++seed) {
    Random r{seed};
    for (int i = 0; i < 4; ++i) r(2);
    if (r(4) == row) return seed;
  }
}

TEST(BulletHits, GuardAbsorbsOneBulletAndTheBlinkProtects) {
  Game g = flying_bird();
  g.profile.guard = 1;
  bullet_on_bird(g, 4);
  bullet_on_bird(g, 5);
  RecordingCanvas bak;
  bullet_step(g, bak);
  EXPECT_EQ(g.profile.guard, 0);
  EXPECT_EQ(g.profile.hp, 3);
  EXPECT_EQ(g.profile.bird, 18);
  EXPECT_EQ(g.msg_text, "GUARD OFF");
  EXPECT_EQ(g.msg_phase, 1);
  EXPECT_EQ(g.player_state, bird_state::kHit);
  EXPECT_EQ(g.bullets[4].alive, 0);
  EXPECT_EQ(g.bullets[5].alive, 1);  // the second passes through the blinking bird
}

struct PenaltyCase {
  int32_t row;
  int32_t Profile::*field;
  int32_t floor;
  const char* banner;
};

TEST(BulletHits, PenaltyLowersOneUpgradeButNeverBelowItsStart) {
  const PenaltyCase cases[] = {
      {0, &Profile::speed, 3, "SPEED DOWN!!"},
      {1, &Profile::shot_speed, 10, "SHOT SP. DOWN!!"},
      {2, &Profile::shot_lv, 3, "SHOT LV DOWN!!"},
      {3, &Profile::shot_big, 2, "SHOT BIG DOWN!!"},
  };
  for (const auto& c : cases) {
    for (const int32_t start : {c.floor, c.floor + 4}) {
      Game g = flying_bird();
      g.random.seed = seed_for_penalty(c.row);
      g.profile.*c.field = start;
      bullet_on_bird(g, 0);
      NullCanvas bak;
      bullet_step(g, bak);
      EXPECT_EQ(g.profile.hp, 2);
      EXPECT_EQ(g.profile.bird, 17);
      const bool lowered = start > c.floor;
      EXPECT_EQ(g.profile.*c.field, lowered ? start - 1 : start) << c.banner;
      EXPECT_EQ(g.msg_text, lowered ? c.banner : "") << c.banner;
    }
  }
}

TEST(BulletHits, BirdSizeStopsAtFive) {
  Game g = flying_bird();
  g.profile.bird = 5;
  bullet_on_bird(g, 0);
  NullCanvas bak;
  bullet_step(g, bak);
  EXPECT_EQ(g.profile.bird, 5);
}

struct SaveHost : NullHost {
  bool succeed = true;
  int saves = 0;
  Profile saved{};
  bool save_profile(const Profile& p) override {
    ++saves;
    saved = p;
    return succeed;
  }
};

TEST(BulletHits, TheLastHitPointKillsAndFiveTicksLaterTheGameIsOver) {
  Game g = flying_bird();
  g.profile.hp = 1;
  g.profile.rnd_shot = 20;
  g.profile.guard = 0;
  bullet_on_bird(g, 0);
  Random after_jitter = g.random;
  for (int i = 0; i < 4; ++i) after_jitter(2);
  NullCanvas canvas;
  bullet_step(g, canvas);
  EXPECT_EQ(g.profile.hp, 0);
  EXPECT_EQ(g.player_state, bird_state::kDying);
  EXPECT_EQ(g.random.seed, after_jitter.seed);  // no penalty draw

  SaveHost host;
  std::vector<int32_t> radii;
  for (int tick = 1; tick <= 5; ++tick) {
    RecordingCanvas bak;
    g.frame_no = tick;
    ASSERT_TRUE(bird_step(g, bak, host));
    EXPECT_TRUE(bak.of(Op::Sprite).empty());
    const auto disc = bak.of(Op::Ellipse).at(0);
    EXPECT_EQ(disc.pen, disc.brush);
    radii.push_back(200 - disc.x1);
    EXPECT_EQ(host.saves, tick == 5 ? 1 : 0);
  }
  EXPECT_EQ(radii, (std::vector<int32_t>{18, 24, 30, 36, 42}));
  EXPECT_EQ(g.player_state, bird_state::kNone);
  EXPECT_EQ(g.msg_phase, 200);
  EXPECT_EQ(g.msg_text, "GAME OVER");
  EXPECT_EQ(g.last_score, 500);
  const Profile& p = host.saved;
  EXPECT_EQ(profile_values(p), (profile_values(Profile{.score = 0, .stage = 9, .speed = 3, .bird = 18,
                                                       .shot_speed = 10, .shot_big = 2, .shot_lv = 3,
                                                       .gold = 4000, .rnd_shot = 0, .hp = 3, .bomb = 2})));
}

TEST(BulletHits, AFailedSaveIsReportedAfterTheReset) {
  Game g = flying_bird();
  g.player_state = 6;
  SaveHost host;
  host.succeed = false;
  NullCanvas bak;
  EXPECT_FALSE(bird_step(g, bak, host));
  EXPECT_EQ(g.msg_phase, 200);
  EXPECT_EQ(g.profile.score, 0);
}

TEST(BulletHits, ACoinCaughtWhileDyingCancelsTheGameOver) {
  Game g = flying_bird();
  g.profile.hp = 0;
  g.player_state = 4;
  g.coins[0] = CoinRec{.x = 200, .y = 279, .value = 5, .vy = 1, .state = 1};
  NullCanvas bak;
  SaveHost host;
  bird_step(g, bak, host);
  coin_step(g, bak);
  EXPECT_EQ(g.player_state, bird_state::kCatch);
  for (int tick = 0; tick < 12; ++tick) bird_step(g, bak, host);
  EXPECT_EQ(g.player_state, bird_state::kFlying);
  EXPECT_EQ(host.saves, 0);
  EXPECT_EQ(g.msg_phase, 0);
}

TEST(BulletFlight, BouncesOffTheSidesAndLeavesBelow) {
  Game g = flying_bird();
  g.bullets[0] = BulletRec{.x = 398, .y = 100, .alive = 1, .vx = 3, .vy = 2, .radius = 2, .color = 2};
  g.bullets[1] = BulletRec{.x = 50, .y = 399, .alive = 1, .vy = 2, .radius = 2};
  g.frame_no = 1;
  RecordingCanvas bak;
  bullet_step(g, bak);
  EXPECT_EQ(g.bullets[0].x, 401);
  EXPECT_EQ(g.bullets[0].vx, -3);
  EXPECT_EQ(g.bullets[1].alive, 0);
  const auto discs = bak.of(Op::Ellipse);
  ASSERT_EQ(discs.size(), 2u);  // the freed bullet is still drawn this tick
  EXPECT_EQ(discs[0].brush, 0x0000FFu);
  EXPECT_EQ(discs[1].brush, 0x962DFFu);
}

}  // namespace
}  // namespace quillot
