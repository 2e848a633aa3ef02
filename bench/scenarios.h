#pragma once
// Game states for timing one frame tick, shared by every benchmark that draws
// them on some canvas.
#include <cstdint>

#include "game/enemies.h"
#include "game/messages.h"
#include "game/rosters.h"
#include "game/state.h"

namespace quillot::bench {

// A new game's equipment, the bird flying at the bottom centre.
inline Game new_game(int32_t stage) {
  Game g;
  g.profile = new_game_profile();
  g.profile.stage = stage;
  g.player_x = 200;
  g.player_y = 280;
  g.target_x = 200;
  g.steer_enabled = 1;
  g.player_state = bird_state::kFlying;
  g.combo = 1;
  return g;
}

// Stage n as NEXT leaves it: roster set and spawned, "START!!!" about to show.
inline Game stage_just_started(int32_t stage) {
  Game g = new_game(stage);
  set_stage_roster(g, stage);
  spawn_roster(g);
  show_banner(g, "START!!!");
  return g;
}

// The heaviest tick the rules allow: every enemy slot holds a kind-17 enemy
// (the most frequent firer), every bullet, coin and pop-up slot is busy, and
// the shop's highest shot level, 33, has every shot in the air. The next tick
// is even, so the banner is drawn too.
inline Game heaviest_load() {
  Game g = new_game(46);
  Profile& p = g.profile;
  p.speed = 21;
  p.shot_speed = 16;
  p.shot_big = 21;
  p.shot_lv = 33;
  p.rnd_shot = 20;
  p.hp = 11;
  p.bomb = 10;
  p.guard = 1;
  g.combo = 40;
  g.combo_timer = 60;
  g.frame_no = 1;
  show_banner(g, "START!!!");

  for (int32_t i = 0; i < kSlots; ++i) {
    const size_t s = static_cast<size_t>(i);
    // Spread over the top third, where kind 17 flies, with huge hit points so
    // the table stays full however often it is shot.
    g.enemies[s] = EnemyRec{.x = 20 + (i * 37) % 360,
                            .y = 20 + (i * 13) % 80,
                            .vy = 2,
                            .size = 18,
                            .vx = i % 2 == 0 ? 21 : -21,
                            .hp = 1000000,
                            .kind = 17,
                            .reward = 20};
    g.bullets[s] = BulletRec{.x = 5 + (i * 29) % 390,
                             .y = 110 + (i * 7) % 140,
                             .alive = 1,
                             .vx = i % 5 - 2,
                             .vy = 3,
                             .radius = 3,
                             .color = i % 3};
    g.coins[s] =
        CoinRec{.x = 10 + (i * 23) % 380, .y = 100 + (i * 11) % 150, .value = 5, .vy = 1, .state = 1};
    g.effects[s] =
        EffectRec{.x = (i * 31) % 380, .y = 60 + (i * 17) % 200, .phase = 1 + i % 10, .points = 200 * i};
  }
  for (int32_t i = 0; i < p.shot_lv; ++i) {
    g.shots[static_cast<size_t>(i)] =
        ShotRec{.x = 12 * i + 8, .y = 130 + (i * 19) % 150, .state = 1, .vx = 6};
  }
  g.bullet_cursor = 254;
  g.coin_cursor = 254;
  g.effect_cursor = 254;
  g.shot_cursor = 32;
  return g;
}

}  // namespace quillot::bench
