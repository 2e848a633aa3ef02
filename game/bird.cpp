#include "game/bird.h"

#include <algorithm>

#include "game/bullets.h"
#include "game/coins.h"
#include "game/enemies.h"

namespace quillot {

namespace {

bool even_tick(const Game& g) { return g.frame_no % 2 == 0; }

// Firing hands out slots 0 .. shot_lv - 1. The shop keeps shot_lv at 33 or
// less, but an edited save can hold any value, and the rotation must stay
// inside the table; at 0 or below every handout yields slot 0.
int32_t shot_slots_in_use(const Profile& p) { return std::min(p.shot_lv, kSlots); }

ShotRec& next_shot_slot(Game& g) {
  g.shot_cursor += 1;
  if (g.shot_cursor >= shot_slots_in_use(g.profile) || g.shot_cursor < 0) g.shot_cursor = 0;
  return g.shots[static_cast<size_t>(g.shot_cursor)];
}

void fire(Game& g, Host& host) {
  int32_t n = 1;
  if (g.profile.rnd_shot >= 15) n += 1;
  if (g.profile.rnd_shot >= 20) n += 1;
  for (int32_t k = 0; k < n; ++k) {
    ShotRec& shot = next_shot_slot(g);
    // The cursor has moved on all the same, so the next click tries the following slot.
    if (shot.state == 1) return;
    // One sound for the click, however many shots it looses.
    if (k == 0) host.sound(Sound::Shot);
    const int32_t side = g.random(2);
    const int32_t scatter = g.random(g.profile.rnd_shot);
    shot.x = side == 0 ? g.player_x + scatter : g.player_x - scatter;
    shot.vx = g.player_vx;
    shot.y = g.player_y;
    shot.state = 1;
    host.report(Happening::ShotFired, 0);
  }
}

void set_off_bomb(Game& g, Canvas& cg, Host& host) {
  g.profile.bomb -= 1;
  host.sound(Sound::Bomb);
  host.report(Happening::BombUsed, 0);
  // Drawn straight onto the visible picture and shown frame by frame; the pen
  // is left as it is, so the rings keep the picture's default outline.
  for (int32_t i = 0; i < 6; ++i) {
    cg.brush = g.random(2) == 0 ? 0xFFFF00 : 0xFFFFFF;
    cg.ellipse(200 - 45 * i, 200 - 40 * i, 200 + 45 * i, 200 + 40 * i);
    const int32_t bottom = g.random(5);
    const int32_t right = g.random(5);
    const int32_t top = g.random(5);
    const int32_t left = g.random(5);
    cg.copy_rect(left, top, kWidth - right, kHeight - bottom, 0, 0, kWidth, kHeight);
    host.repaint_now();
  }
  for (BulletRec& b : g.bullets) {
    if (b.alive != 1) continue;
    b.alive = 0;
    drop_coins_bomb(g, b.x, b.y);
  }
}

// The shot's square overlaps the enemy's; every test is strict.
bool shot_hits(const ShotRec& s, int32_t big, const EnemyRec& e) {
  return e.kind >= 1 && e.kind <= 99 && s.x - big < e.x + e.size && s.x + big > e.x - e.size &&
         s.y - big < e.y + e.size && s.y + big > e.y - e.size;
}

void kill(Game& g, EnemyRec& e) {
  const int32_t ex = e.x;
  const int32_t ey = e.y;
  const int32_t reward = e.reward;
  // Only kind 19 draws here, and before anything else of the kill.
  if (e.kind == 19 && g.random(3) == 0) {
    split_kind19(g, ex, ey, reward);
  } else {
    drop_coins_kill(g, ex, ey, reward);
  }
  kill_scoring(g, ex, ey, reward);
  // Written after the split, which may have handed this very slot to a fragment.
  e.kind = 100;
}

void fly(Game& g, ShotRec& shot, Canvas& bak, Host& host) {
  const int32_t big = g.profile.shot_big;
  shot.y -= g.profile.shot_speed;
  // A shot leaving the top is freed but still drawn and can still hit this tick.
  if (shot.y < 0) shot.state = 0;
  shot.x += shot.vx;
  if (shot.x >= kWidth || shot.x <= 0) shot.vx = -shot.vx;
  bak.brush = even_tick(g) ? 0xA8D900 : 0xC6FF00;
  jittered_disc(bak, g.random, shot.x, shot.y, big);
  // One shot may wound every enemy it overlaps, each once.
  bool struck = false;
  for (EnemyRec& e : g.enemies) {
    if (!shot_hits(shot, big, e)) continue;
    if (!struck) host.report(Happening::ShotHit, 0);
    struck = true;
    shot.state = 2;
    e.hp -= 1;
    if (e.hp <= 0) {
      const int32_t kind = e.kind;
      kill(g, e);
      host.sound(Sound::EnemyDown);
      host.report(Happening::EnemyDestroyed, kind);
    } else {
      host.sound(Sound::EnemyHit);
    }
  }
}

// The burst widens sideways by `spread` px on each side, and shimmers like a disc.
void draw_burst(Game& g, const ShotRec& shot, Canvas& bak, int32_t spread) {
  const int32_t big = g.profile.shot_big;
  bak.outline_follows_fill();
  const int32_t a = g.random(2);
  const int32_t b = g.random(2);
  const int32_t c = g.random(2);
  const int32_t d = g.random(2);
  bak.ellipse(shot.x - big - a - spread, shot.y - big - b, shot.x + big + c + spread, shot.y + big + d);
}

}  // namespace

int32_t clamp_target(int32_t x, int32_t bird) {
  if (x - bird < 0) x = bird;
  if (x + bird > kWidth) x = kWidth - bird;
  return x;
}

void cgMouseMove(Game& g, int32_t x) {
  // Clamped on every move, steering or not.
  g.target_x = clamp_target(g.steer_enabled == 1 ? x : g.target_x, g.profile.bird);
}

void cgMouseDown(Game& g, MouseButton button, Canvas& cg, Host& host) {
  if (g.player_state == bird_state::kNone) return;
  if (button == MouseButton::Left) {
    fire(g, host);
  } else if (button == MouseButton::Right && g.profile.bomb > 0) {
    set_off_bomb(g, cg, host);
  }
}

void steer_bird(Game& g) {
  const int32_t speed = g.profile.speed;
  // Each test sees the move of the one before: a bird just right of the target
  // steps left and back in the same tick.
  if (g.target_x < g.player_x) {
    g.player_vx = -2 * speed;
    g.player_x -= speed;
  }
  if (g.target_x > g.player_x) {
    g.player_vx = 2 * speed;
    g.player_x += speed;
  }
  if (g.player_x + 5 >= g.target_x && g.player_x - 5 <= g.target_x) g.player_vx = 0;
}

bool bird_step(Game& g, Canvas& bak, Host& host) {
  const int32_t state = g.player_state;
  const bool even = even_tick(g);
  auto draw = [&](Picture p) { draw_sprite(bak, p, g.player_x, g.player_y, g.profile.bird); };

  if (state == bird_state::kFlying) {
    if (g.profile.guard == 1) {
      draw(even ? Picture::my5 : Picture::my6);
    } else {
      draw(even ? Picture::my1 : Picture::my2);
    }
  } else if (state >= bird_state::kDying && state <= 6) {
    g.player_state = state + 1;
    return dying_step(g, bak, host);
  } else if (state >= bird_state::kHit && state <= 20) {
    if (even) draw(Picture::my1);
    g.player_state = state + 1;
  } else if (state == 21) {
    g.player_state = bird_state::kFlying;
  } else if (state >= bird_state::kCatch && state <= 40) {
    draw(even ? Picture::my3 : Picture::my4);
    g.player_state = state + 1;
    if (g.player_state == 41) g.player_state = bird_state::kFlying;
  }
  return true;
}

void shot_step(Game& g, Canvas& bak, Host& host) {
  for (ShotRec& shot : g.shots) {
    if (shot.state == 1) fly(g, shot, bak, host);
    // A shot that has just hit shows its first burst frame in the same tick.
    switch (shot.state) {
      case 2:
        bak.brush = 0xFFFF00;
        shot.state = 3;
        draw_burst(g, shot, bak, 5);
        break;
      case 3:
        bak.brush = 0xC08000;
        shot.state = 4;
        draw_burst(g, shot, bak, 10);
        break;
      case 4:
        shot.state = 0;
        break;
      default:
        break;
    }
  }
}

}  // namespace quillot
