#include "game/bullets.h"

#include <gtest/gtest.h>

#include "bench/scenarios.h"
#include "game/bird.h"
#include "game/coins.h"
#include "game/enemies.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

Game flying_bird() { return bench::new_game(9); }

// A bullet that lands on the bird's centre this tick.
void bullet_on_bird(Game& g, size_t slot) {
  g.bullets[slot] = BulletRec{.x = 200, .y = 276, .alive = 1, .vy = 4};
}

TEST(BulletHits, GuardAbsorbsOneBulletAndTheBlinkLetsTheNextPass) {
  Game g = flying_bird();
  g.profile.guard = 1;
  bullet_on_bird(g, 4);
  bullet_on_bird(g, 5);
  NullCanvas bak;
  bullet_step(g, bak);
  EXPECT_EQ((std::vector{g.profile.guard, g.profile.hp, g.profile.bird, g.player_state}),
            (std::vector{0, 3, 18, bird_state::kHit}));
  EXPECT_EQ(g.msg_text, "GUARD OFF");
  EXPECT_EQ((std::vector{g.bullets[4].alive, g.bullets[5].alive}), (std::vector{0, 1}));
}

TEST(BulletHits, ExtremeLoadedValuesNeitherReviveNorGrowTheBird) {
  // A save file may hold any value; a hit must not wrap the lowest hit points
  // round to the highest, nor the smallest size to the largest.
  for (const bool by_ram : {false, true}) {
    Game g = flying_bird();
    g.profile.hp = INT32_MIN;
    if (by_ram) {
      g.enemies[7] = EnemyRec{.x = 200, .y = 280, .size = 10, .kind = 1};
      NullCanvas bak;
      update_enemies(g, bak);
    } else {
      bullet_on_bird(g, 4);
      NullCanvas bak;
      bullet_step(g, bak);
    }
    EXPECT_EQ(g.profile.hp, INT32_MIN) << by_ram;
    EXPECT_EQ(g.profile.bird, 17) << by_ram;
    EXPECT_EQ(g.player_state, bird_state::kDying) << by_ram;
  }
  Profile p;
  p.hp = 5;
  p.bird = INT32_MIN;
  EXPECT_FALSE(lose_hit_point(p));
  EXPECT_EQ(p.bird, 5);
}

TEST(BulletHits, PenaltyLowersOneUpgradeButNeverBelowItsStart) {
  struct {
    int32_t row;
    int32_t Profile::*field;
    int32_t floor;
    const char* banner;
  } cases[] = {{0, &Profile::speed, 3, "SPEED DOWN!!"},
               {1, &Profile::shot_speed, 10, "SHOT SP. DOWN!!"},
               {2, &Profile::shot_lv, 3, "SHOT LV DOWN!!"},
               {3, &Profile::shot_big, 2, "SHOT BIG DOWN!!"}};
  for (const auto& c : cases) {
    for (const int32_t start : {c.floor, c.floor + 4}) {
      Game g = flying_bird();
      g.profile.bird = 5;
      g.profile.*c.field = start;
      // A seed whose draw after the bullet's four jitters picks this row.
      for (;; ++g.random.seed) {
        Random r = g.random;
        for (int jitter = 0; jitter < 4; ++jitter) r(2);
        if (r(4) == c.row) break;
      }
      bullet_on_bird(g, 0);
      NullCanvas bak;
      bullet_step(g, bak);
      const bool lowered = start > c.floor;
      EXPECT_EQ(g.profile.*c.field, lowered ? start - 1 : start) << c.banner;
      EXPECT_EQ(g.msg_text, lowered ? c.banner : "") << c.banner;
      EXPECT_EQ((std::vector{g.profile.hp, g.profile.bird}), (std::vector{2, 5}));
    }
  }
}

struct SaveHost : NullHost {
  int saves = 0;
  Profile saved{};
  bool save_profile(const Profile& p) override {
    ++saves;
    saved = p;
    return true;
  }
};

TEST(BulletHits, TheLastHitPointKillsAndFiveTicksLaterTheGameIsOver) {
  Game g = flying_bird();
  g.profile.hp = 1;
  g.profile.rnd_shot = 20;
  g.profile.score = 500;
  g.profile.gold = 4000;
  bullet_on_bird(g, 0);
  testing::RecordingCanvas bak;
  bullet_step(g, bak);
  EXPECT_EQ(g.player_state, bird_state::kDying);
  bak.calls.clear();
  SaveHost host;
  for (int tick = 1; tick <= 5; ++tick) {
    EXPECT_EQ(host.saves, 0);
    bird_step(g, bak, host);
  }
  std::vector<int32_t> radii;
  for (const auto& disc : bak.of(testing::RecordingCanvas::Op::Ellipse)) radii.push_back(200 - disc.x1);
  EXPECT_EQ(radii, (std::vector<int32_t>{18, 24, 30, 36, 42}));
  EXPECT_EQ((std::vector{g.player_state, g.msg_phase, g.last_score, host.saves}),
            (std::vector{0, 200, 500, 1}));
  EXPECT_EQ(profile_values(host.saved), profile_values(Profile{.stage = 9,
                                                               .speed = 3,
                                                               .bird = 18,
                                                               .shot_speed = 10,
                                                               .shot_big = 2,
                                                               .shot_lv = 3,
                                                               .gold = 4000,
                                                               .hp = 3,
                                                               .bomb = 3}));
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
  for (int tick = 0; tick < 12; ++tick) bird_step(g, bak, host);
  EXPECT_EQ((std::vector{g.player_state, host.saves, g.msg_phase}), (std::vector{bird_state::kFlying, 0, 0}));
}

}  // namespace
}  // namespace quillot
