#include "game/bullets.h"

#include <algorithm>
#include <array>

#include "game/messages.h"

namespace quillot {

namespace {

// The starting equipment: neither a penalty nor a hit takes the bird below it.
constexpr int32_t kMinBird = 5;
constexpr int32_t kMinSpeed = 3;
constexpr int32_t kMinShotSpeed = 10;
constexpr int32_t kMinShotLv = 3;
constexpr int32_t kMinShotBig = 2;

struct ColorPair {
  Color even, odd;
};
constexpr std::array<ColorPair, 3> kBulletColors{{
    {0x8000FF, 0x962DFF},
    {0xC08000, 0xFFFF00},
    {0x4080FF, 0x0000FF},
}};

// By the state the bird has just reached, 3 .. 7: the disc grows and darkens.
constexpr std::array<Color, 5> kDyingColors{0xFF80FF, 0x7744FF, 0x8000FF, 0xEE11B7, 0xE41B62};

// The bird's square shrunk by 2 px left and right and 3 px top and bottom;
// every test is strict.
bool hits_bird(const Game& g, const BulletRec& b) {
  const int32_t r = b.radius;
  const int32_t half = g.profile.bird;
  return b.x - r < g.player_x + half - 2 && b.x + r > g.player_x - half + 2 &&
         b.y - r < g.player_y + half - 3 && b.y + r > g.player_y - half + 3 &&
         g.player_state == bird_state::kFlying && b.alive == 1;
}

// One of four upgrades may drop a step, never below its starting value.
void penalty(Game& g) {
  Profile& p = g.profile;
  switch (g.random(4)) {
    case 0:
      if (p.speed > kMinSpeed) {
        p.speed -= 1;
        show_banner(g, "SPEED DOWN!!");
      }
      break;
    case 1:
      if (p.shot_speed > kMinShotSpeed) {
        p.shot_speed -= 1;
        show_banner(g, "SHOT SP. DOWN!!");
      }
      break;
    case 2:
      if (p.shot_lv > kMinShotLv) {
        p.shot_lv -= 1;
        show_banner(g, "SHOT LV DOWN!!");
      }
      break;
    case 3:
      if (p.shot_big > kMinShotBig) {
        p.shot_big -= 1;
        show_banner(g, "SHOT BIG DOWN!!");
      }
      break;
    default:
      break;
  }
}

void hurt_bird(Game& g, BulletRec& b, Host& host) {
  Profile& p = g.profile;
  b.alive = 0;
  g.player_state = bird_state::kHit;
  if (p.guard != 0) {
    host.sound(Sound::GuardAbsorb);
    host.report(Happening::GuardLost, 0);
    p.guard = 0;
    show_banner(g, "GUARD OFF");
    return;
  }
  host.sound(Sound::BirdHit);
  host.report(Happening::BirdHit, 0);
  if (lose_hit_point(p)) {
    g.player_state = bird_state::kDying;
    return;
  }
  penalty(g);
}

}  // namespace

bool lose_hit_point(Profile& p) {
  if (p.hp > INT32_MIN) p.hp -= 1;
  p.bird = p.bird > kMinBird ? p.bird - 1 : kMinBird;
  return p.hp <= 0;
}

BulletRec& new_bullet(Game& g) {
  g.bullet_cursor += 1;
  if (g.bullet_cursor > 254) g.bullet_cursor = 0;
  return g.bullets[static_cast<size_t>(g.bullet_cursor)];
}

void bullet_step(Game& g, Canvas& bak, Host& host) {
  const bool even = g.frame_no % 2 == 0;
  for (BulletRec& b : g.bullets) {
    if (b.alive != 1) continue;
    b.y += b.vy;
    // Freed 100 px below the field, yet still drawn and tested this tick.
    if (b.y > 400) b.alive = 0;
    b.x += b.vx;
    if (b.x >= kWidth || b.x <= 0) b.vx = -b.vx;
    if (b.color >= 0 && b.color < static_cast<int32_t>(kBulletColors.size())) {
      const ColorPair& pair = kBulletColors[static_cast<size_t>(b.color)];
      bak.brush = even ? pair.even : pair.odd;
    }
    jittered_disc(bak, g.random, b.x, b.y, b.radius);
    if (hits_bird(g, b)) hurt_bird(g, b, host);
  }
}

bool dying_step(Game& g, Canvas& bak, Host& host) {
  const int32_t s = g.player_state;
  if (s >= 3 && s <= 7) bak.brush = kDyingColors[static_cast<size_t>(s - 3)];
  bak.outline_follows_fill();
  bak.ellipse(g.player_x - 6 * s, g.player_y - 6 * s, g.player_x + 6 * s, g.player_y + 6 * s);
  if (s >= 7) return game_over_reset(g, host);
  return true;
}

bool game_over_reset(Game& g, Host& host) {
  Profile& p = g.profile;
  g.player_state = bird_state::kNone;
  g.msg_phase = 200;
  g.msg_text = "GAME OVER";
  host.sound(Sound::GameOver);
  host.report(Happening::GameOver, p.stage);
  // gold, stage, bomb, guard and hi_score survive the lost game.
  give_new_bird(p);
  g.last_score = p.score;
  p.score = 0;
  return host.save_profile(p);
}

}  // namespace quillot
