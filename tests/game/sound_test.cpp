#include <gtest/gtest.h>

#include <functional>

#include "bench/scenarios.h"
#include "game/bird.h"
#include "game/bullets.h"
#include "game/checksum.h"
#include "game/coins.h"
#include "game/enemies.h"
#include "game/messages.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

struct Listener : NullHost {
  std::vector<Sound> heard;
  void sound(Sound s) override { heard.push_back(s); }
};

// Each thing a player should hear is reported once, when it happens, and the
// game ends up exactly as it would with nobody listening.
TEST(Sounds, TheStageReportsWhatHappensAndListeningChangesNothing) {
  struct Case {
    const char* what;
    std::function<void(Game&)> set_up;
    std::function<void(Game&, Canvas&, Host&)> step;
    std::vector<Sound> heard;
  };
  auto bullet_on_bird = [](Game& g) { g.bullets[4] = BulletRec{.x = 200, .y = 276, .alive = 1, .vy = 4}; };
  const Case cases[] = {
      {"a click fires three shots",
       [](Game& g) { g.profile.rnd_shot = 20; },
       [](Game& g, Canvas& cg, Host& h) { cgMouseDown(g, MouseButton::Left, cg, h); },
       {Sound::Shot}},
      {"a click with every slot busy",
       [](Game& g) { g.shots[1].state = 1; },
       [](Game& g, Canvas& cg, Host& h) { cgMouseDown(g, MouseButton::Left, cg, h); },
       {}},
      {"a bomb",
       [](Game&) {},
       [](Game& g, Canvas& cg, Host& h) { cgMouseDown(g, MouseButton::Right, cg, h); },
       {Sound::Bomb}},
      {"a shot kills one enemy and wounds another",
       [](Game& g) {
         g.shots[0] = ShotRec{.x = 100, .y = 110, .state = 1};
         g.enemies[1] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 1, .kind = 1, .reward = 1};
         g.enemies[3] = EnemyRec{.x = 100, .y = 100, .size = 10, .hp = 5, .kind = 4};
       },
       [](Game& g, Canvas& bak, Host& h) { shot_step(g, bak, h); },
       {Sound::EnemyDown, Sound::EnemyHit}},
      {"the guard takes a bullet",
       [&](Game& g) { g.profile.guard = 1, bullet_on_bird(g); },
       [](Game& g, Canvas& bak, Host& h) { bullet_step(g, bak, h); },
       {Sound::GuardAbsorb}},
      {"a bullet hits the bird",
       bullet_on_bird,
       [](Game& g, Canvas& bak, Host& h) { bullet_step(g, bak, h); },
       {Sound::BirdHit}},
      {"an enemy rams the bird",
       [](Game& g) { g.enemies[7] = EnemyRec{.x = 200, .y = 280, .size = 10, .kind = 1}; },
       [](Game& g, Canvas& bak, Host& h) { update_enemies(g, bak, h); },
       {Sound::BirdHit}},
      {"a coin is caught",
       [](Game& g) { g.coins[3] = CoinRec{.x = 200, .y = 270, .value = 10, .state = 1}; },
       [](Game& g, Canvas& bak, Host& h) { coin_step(g, bak, h); },
       {Sound::Coin}},
      {"the last enemy is gone",
       [](Game& g) { g.enemies = {}; },
       [](Game& g, Canvas&, Host& h) { check_clear(g, h); },
       {Sound::StageClear}},
      {"the game is lost",
       [](Game&) {},
       [](Game& g, Canvas&, Host& h) { game_over_reset(g, h); },
       {Sound::GameOver}},
  };
  for (const Case& c : cases) {
    Game heard = bench::new_game(9);
    c.set_up(heard);
    Game unheard = heard;
    Listener listener;
    NullCanvas canvas;
    c.step(heard, canvas, listener);
    c.step(unheard, canvas, no_host());
    EXPECT_EQ(listener.heard, c.heard) << c.what;
    EXPECT_EQ(checksum(heard), checksum(unheard)) << c.what;
  }
}

}  // namespace
}  // namespace quillot
