#include "game/enemies.h"

#include <climits>
#include <optional>

#include "game/bullets.h"

namespace quillot {

namespace {

// A start value that is either fixed or a multiple of one of the bird's
// profile values, so that kinds 17 and 18 mirror the player as it is now.
struct Start {
  enum class From : uint8_t { Fixed, Speed, Bird, Hp };
  From from = From::Fixed;
  int32_t k = 0;

  constexpr Start() = default;
  constexpr Start(int32_t value) : k(value) {}  // NOLINT(google-explicit-constructor): keeps the table plain
  constexpr Start(From f, int32_t times) : from(f), k(times) {}

  // Products wrap: an edited save may hold any 32-bit value here.
  int32_t of(const Profile& p) const {
    switch (from) {
      case From::Speed: return k * p.speed;
      case From::Bird: return k * p.bird;
      case From::Hp: return k * p.hp;
      case From::Fixed: break;
    }
    return k;
  }
};
constexpr Start speed(int32_t times) { return {Start::From::Speed, times}; }
constexpr Start bird(int32_t times) { return {Start::From::Bird, times}; }
constexpr Start hp(int32_t times) { return {Start::From::Hp, times}; }

struct KindInfo {
  int32_t x_step = 0;  // the i-th enemy of a kind stands at x = x_step * i + 20
  int32_t y = 0;
  Start vx;
  std::optional<int32_t> vy;  // kinds without one never read the field
  Start size;
  Start hp;
  int32_t reward = 0;
  bool flip = false;  // starts left or right with even chance
  std::optional<Picture> picture;  // none: the blinking disc
  int32_t fires = 0;  // chance 1 in `fires` per tick; 0 never fires
};

constexpr std::optional<int32_t> none = std::nullopt;
constexpr std::optional<Picture> disc = std::nullopt;
using enum Picture;

// clang-format off
constexpr KindInfo kKinds[] = {
  //    x step  y    vx        vy    size     hp     reward flip   drawn as  fires 1 in
  /* 0 */ {},
  /* 1 */ {30,  55,  5,        none, 10,      1,      1,    true,  ene1,     0},
  /* 2 */ {35,  30,  5,        none, 15,      3,      3,    true,  ene2,     100},
  /* 3 */ {35,  70,  20,       none, 15,      2,      5,    true,  ene3,     0},
  /* 4 */ {40,  85,  3,        none, 18,      7,      5,    true,  ene4,     0},
  /* 5 */ {30,  125, 10,       none, 12,      5,      6,    true,  ene5,     50},
  /* 6 */ {30,  55,  5,        none, 10,      1,      2,    true,  ene1,     90},
  /* 7 */ {35,  70,  20,       none, 15,      4,      8,    true,  ene3,     100},
  /* 8 */ {30,  35,  9,        none, 9,       6,      15,   true,  ene5,     100},
  /* 9 */ {35,  35,  8,        none, 20,      5,      10,   true,  ene2,     100},
  /*10 */ {30,  85,  5,        none, 10,      1,      1,    true,  ene1,     0},
  /*11 */ {30,  135, 5,        none, 10,      1,      1,    true,  ene1,     0},
  /*12 */ {40,  85,  3,        none, 18,      9,      20,   true,  ene4,     150},
  /*13 */ {40,  74,  8,        none, 11,      4,      4,    true,  ene6,     80},
  /*14 */ {40,  74,  7,        none, 12,      7,      8,    true,  ene6,     80},
  /*15 */ {40,  55,  5,        none, 8,       1,      1,    true,  ene1,     90},
  /*16 */ {40,  50,  4,        none, 15,      6,      6,    true,  ene1,     50},
  /*17 */ {40,  30,  speed(1), 2,    bird(1), hp(3),  20,   true,  ene7,     6},
  /*18 */ {40,  30,  speed(1), 2,    bird(3), hp(7),  40,   true,  ene7,     6},
  /*19 */ {40,  30,  3,        3,    8,       1,      10,   true,  ene8,     0},
  /*20 */ {40,  25,  0,        1,    5,       1,      1,    false, disc,     0},
};
// clang-format on
constexpr int32_t kKindCount = 20;

constexpr int32_t kExplosion = 100;
constexpr int32_t kExplosionEnd = 106;
constexpr Color kExplosionColors[] = {0xFFBBFF, 0xFF80FF, 0x7744FF, 0x7846FD, 0x8000FF, 0xEF0AF5};

// More enemies than the table can show would only overwrite each other.
constexpr int32_t kMostSpawns = kSlots - 1;

bool is_live(int32_t kind) { return kind >= 1 && kind <= 99; }
bool has_info(int32_t kind) { return kind >= 1 && kind <= kKindCount; }

// Writes a kind's start values except the position, which each caller places.
void write_start(EnemyRec& e, int32_t kind, const Profile& p) {
  const KindInfo& k = kKinds[kind];
  e.vx = k.vx.of(p);
  if (k.vy) e.vy = *k.vy;
  e.hp = k.hp.of(p);
  e.reward = k.reward;
  e.size = k.size.of(p);
  e.kind = kind;
}

void maybe_flip(Game& g, EnemyRec& e) {
  if (g.random(2) == 0) e.vx = -e.vx;
}

// One line of bullets: for j = 1..count at (ex + dx + x_step j, ey + y_step j).
struct Volley {
  int32_t count, dx, x_step, y_step, radius, vx, vy, color;
};

void fire_volley(Game& g, int32_t ex, int32_t ey, const Volley& v) {
  for (int32_t j = 1; j <= v.count; ++j) {
    BulletRec& b = new_bullet(g);
    b = {.x = ex + v.dx + v.x_step * j, .y = ey + v.y_step * j, .alive = 1, .vx = v.vx, .vy = v.vy,
         .radius = v.radius, .color = v.color};
  }
}

void fire_one(Game& g, int32_t ex, int32_t ey, int32_t radius, int32_t vx, int32_t vy, int32_t color) {
  BulletRec& b = new_bullet(g);
  b = {.x = ex, .y = ey, .alive = 1, .vx = vx, .vy = vy, .radius = radius, .color = color};
}

// What a kind fires once its chance has come up. Random numbers for a
// bullet's vx are drawn before those for its vy.
void fire(Game& g, int32_t kind, int32_t ex, int32_t ey) {
  switch (kind) {
    case 2: fire_volley(g, ex, ey, {1, 0, 0, 0, 5, 0, 8, 0}); break;
    case 5:
      fire_volley(g, ex, ey, {1, 0, 0, 0, 3, 2, 4, 1});
      fire_volley(g, ex, ey, {1, 0, 0, 0, 3, -2, 4, 1});
      break;
    case 6:
    case 15: fire_volley(g, ex, ey, {1, 0, 0, 0, 2, 0, 5, 0}); break;
    case 7: fire_volley(g, ex, ey, {5, 0, 0, 6, 3, 0, 5, 2}); break;
    case 8:
      fire_volley(g, ex, ey, {5, 0, -10, 10, 2, -8, 6, 1});
      fire_volley(g, ex, ey, {5, 0, 10, 10, 2, 8, 6, 1});
      break;
    case 9: fire_volley(g, ex, ey, {1, 0, 0, 0, 12, 0, 9, 2}); break;
    case 12:
      fire_volley(g, ex, ey, {5, 10, 0, 9, 4, 1, 9, 2});
      fire_volley(g, ex, ey, {5, -10, 0, 9, 4, -1, 9, 2});
      break;
    case 13: {
      const int32_t side = g.random(2);
      fire_one(g, ex, ey, 4, side == 0 ? 4 : -4, 5, 0);
      break;
    }
    case 14: {
      const int32_t side = g.random(2);
      const int32_t slant = g.random(8);
      fire_one(g, ex, ey, 3, side == 0 ? slant : -slant, 6, 0);
      break;
    }
    case 16: drop_kind15(g, ex, ey); break;
    case 17:
    case 18: {
      const int32_t vx = g.random(7) - 3;
      const int32_t vy = g.random(8) + 3;
      fire_one(g, ex, ey, 3, vx, vy, 0);
      break;
    }
    default: break;
  }
}

void move(Game& g, EnemyRec& e) {
  e.x += e.vx;
  if (e.x < 0) e.vx = -e.vx;
  if (e.x > kWidth) e.vx = -e.vx;

  switch (e.kind) {
    case 15: e.y += e.vx < 0 ? -e.vx : e.vx; break;
    case 17:
    case 18:
    case 19:
      e.y += e.vy;
      if (e.y < 20) e.vy = -e.vy;
      if (e.y > 100) e.vy = -e.vy;
      break;
    case 20:
      e.y += e.vy;
      if (g.random(6) == 0) e.vy += 1;
      if (e.vy > 40) e.vy = 40;
      break;
    default: break;
  }
}

void draw(const Game& g, const EnemyRec& e, Canvas& bak) {
  if (!has_info(e.kind)) return;
  if (const auto& picture = kKinds[e.kind].picture) {
    draw_sprite(bak, *picture, e.x, e.y, e.size);
    return;
  }
  // The outline is left to whatever pen the canvas holds: usually the
  // clearing blue, but an earlier explosion or the dying bird changes it.
  bak.brush = g.frame_no % 2 == 0 ? Color{0x0000FF} : Color{0x000000};
  bak.ellipse(e.x - e.size, e.y - e.size, e.x + e.size, e.y + e.size);
}

void explode(EnemyRec& e, Canvas& bak) {
  const int32_t phase = e.kind - kExplosion;
  if (phase >= 0 && phase < static_cast<int32_t>(std::size(kExplosionColors))) bak.brush = kExplosionColors[phase];
  e.kind += 1;
  bak.outline_follows_fill();
  const int32_t r = e.kind - 90;
  bak.ellipse(e.x - r, e.y - r, e.x + r, e.y + r);
  if (e.kind >= kExplosionEnd) e.kind = 0;
}

// The enemy's square against the bird's, shrunk by 2 px sideways and 3 px
// vertically so that a graze at the wing tips does not count.
bool rams(const Game& g, const EnemyRec& e) {
  const int32_t b = g.profile.bird;
  return e.x - e.size < g.player_x + b - 2 && e.x + e.size > g.player_x - b + 2 &&
         e.y - e.size < g.player_y + b - 3 && e.y + e.size > g.player_y - b + 3 &&
         g.player_state == bird_state::kFlying && is_live(e.kind);
}

void ram(Game& g, EnemyRec& e, Host& host) {
  e.kind = kExplosion;
  host.sound(Sound::BirdHit);
  host.report(Happening::BirdHit, 0);
  g.player_state = bird_state::kHit;
  if (lose_hit_point(g.profile)) g.player_state = bird_state::kDying;
}

}  // namespace

int32_t next_enemy_slot(Game& g) {
  g.enemy_cursor += 1;
  if (g.enemy_cursor > 253 || g.enemy_cursor < 0) g.enemy_cursor = 0;
  return g.enemy_cursor;
}

void spawn_roster(Game& g) {
  g.enemy_cursor = 0;
  g.player_state = bird_state::kFlying;
  for (int32_t kind = 1; kind <= kKindCount; ++kind) {
    const KindInfo& k = kKinds[kind];
    const int32_t count = g.roster[static_cast<size_t>(kind)] < kMostSpawns ? g.roster[static_cast<size_t>(kind)]
                                                                             : kMostSpawns;
    for (int32_t i = 1; i <= count; ++i) {
      EnemyRec& e = g.enemies[static_cast<size_t>(next_enemy_slot(g))];
      write_start(e, kind, g.profile);
      e.y = k.y;
      e.x = k.x_step * i + 20;
      if (k.flip) maybe_flip(g, e);
    }
  }
}

void drop_kind15(Game& g, int32_t x, int32_t y) {
  EnemyRec& e = g.enemies[static_cast<size_t>(next_enemy_slot(g))];
  write_start(e, 15, g.profile);
  e.y = y;
  e.x = x;
  maybe_flip(g, e);
}

void split_kind19(Game& g, int32_t x, int32_t y, int32_t reward) {
  const int32_t count = reward < kMostSpawns ? reward : kMostSpawns;
  for (int32_t n = 0; n < count; ++n) {
    EnemyRec& e = g.enemies[static_cast<size_t>(next_enemy_slot(g))];
    write_start(e, 20, g.profile);
    e.y = y - 10;
    e.size = g.combo * 5 + 5;  // fragments grow with the combo that destroyed the parent
    e.x = x - 10 + g.random(21);
  }
}

Picture enemy_picture(int32_t kind) {
  if (has_info(kind) && kKinds[kind].picture) return *kKinds[kind].picture;
  return Picture::ene1;
}

void update_enemies(Game& g, Canvas& bak, Host& host) {
  for (EnemyRec& e : g.enemies) {
    if (is_live(e.kind)) {
      move(g, e);
      if (e.y > 430) {
        e.kind = 0;
      } else {
        draw(g, e, bak);
        const int32_t fires = has_info(e.kind) ? kKinds[e.kind].fires : 0;
        // A kind-16 drop may land in this very slot; fire from where the enemy was.
        if (fires != 0 && g.random(fires) == 0) fire(g, e.kind, e.x, e.y);
      }
    } else if (e.kind >= kExplosion) {
      explode(e, bak);
    }
    if (rams(g, e)) ram(g, e, host);
  }
}

}  // namespace quillot
