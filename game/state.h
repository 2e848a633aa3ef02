#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "game/random.h"

namespace quillot {

// Every entity table has 255 fixed slots; a slot is free when its state field is 0.
constexpr int kSlots = 255;
constexpr int kWidth = 400;
constexpr int kHeight = 300;

// The player's progress: the live game state, and the 13 lines of the save file.
struct Profile {
  int32_t score = 0;
  int32_t hi_score = 0;
  int32_t stage = 0;
  int32_t speed = 0;
  int32_t bird = 0;  // half the bird's side, px
  int32_t shot_speed = 0;
  int32_t shot_big = 0;
  int32_t shot_lv = 0;
  int32_t gold = 0;
  int32_t rnd_shot = 0;
  int32_t hp = 0;
  int32_t bomb = 0;
  int32_t guard = 0;
};
constexpr int kProfileFields = 13;

// A new bird's equipment: what NEW START gives and GAME OVER gives back.
constexpr void give_new_bird(Profile& p) {
  p.bird = 18;
  p.speed = 3;
  p.hp = 3;
  p.shot_big = 2;
  p.shot_speed = 10;
  p.shot_lv = 3;
  p.rnd_shot = 0;
}

// A new game's profile: a new bird with three bombs, and nothing else yet.
constexpr Profile new_game_profile() {
  Profile p;
  give_new_bird(p);
  p.bomb = 3;
  return p;
}

// The fields in save-file order.
inline std::array<int32_t*, kProfileFields> profile_fields(Profile& p) {
  return {&p.score, &p.hi_score, &p.stage, &p.speed,   &p.bird, &p.shot_speed, &p.shot_big,
          &p.shot_lv, &p.gold,   &p.rnd_shot, &p.hp, &p.bomb, &p.guard};
}
inline std::array<int32_t, kProfileFields> profile_values(const Profile& p) {
  return {p.score, p.hi_score, p.stage,    p.speed, p.bird, p.shot_speed, p.shot_big,
          p.shot_lv, p.gold,   p.rnd_shot, p.hp,    p.bomb, p.guard};
}

struct EnemyRec {
  int32_t x = 0, y = 0, vy = 0, size = 0, vx = 0, hp = 0;
  int32_t kind = 0;  // 0 free, 1..20 live, 100..105 explosion
  int32_t reward = 0;
};

struct ShotRec {
  int32_t x = 0, y = 0;
  int32_t state = 0;  // 0 free, 1 flying, 2..4 burst
  int32_t vx = 0;
};

struct BulletRec {
  int32_t x = 0, y = 0;
  int32_t alive = 0;
  int32_t vx = 0, vy = 0, radius = 0;
  int32_t color = 0;  // colour pair 0, 1 or 2
};

struct CoinRec {
  int32_t x = 0, y = 0;
  int32_t value = 0;  // gold, and the radius in px
  int32_t vy = 0;
  int32_t state = 0;  // 0 free, 1 gold coin, 2..11 catch pop-up, 20 X coin
};

struct EffectRec {
  int32_t x = 0, y = 0;
  int32_t phase = 0;  // 0 free, 1..10 age in ticks
  int32_t points = 0;
};

// One five-line record of the story file, bytes in the Japanese code page.
struct StoryRec {
  std::string text, picture, name, about, choice;
};

// Bird states worth naming; the blink and flash states are ranges.
namespace bird_state {
constexpr int32_t kNone = 0;
constexpr int32_t kFlying = 1;
constexpr int32_t kDying = 2;
constexpr int32_t kHit = 10;
constexpr int32_t kCatch = 30;
}  // namespace bird_state

// The game as it moves: everything but the stories, which are read once and
// never change in play, so a replay can keep many copies of this part alone.
struct PlayState {
  Random random;
  Profile profile;

  // Bird
  int32_t player_x = 0, player_y = 0;
  int32_t target_x = 0;
  int32_t player_vx = 0;
  int32_t player_state = 0;
  int32_t steer_enabled = 0;

  int32_t frame_no = 0;

  std::array<EnemyRec, kSlots> enemies{};
  int32_t enemy_cursor = 0;
  std::array<ShotRec, kSlots> shots{};
  int32_t shot_cursor = 0;
  std::array<BulletRec, kSlots> bullets{};
  int32_t bullet_cursor = 0;
  std::array<CoinRec, kSlots> coins{};
  int32_t coin_cursor = 0;
  std::array<EffectRec, kSlots> effects{};
  int32_t effect_cursor = 0;

  // Stage values; roster is indexed by kind 1..20 (index 0 unused).
  std::array<int32_t, 21> roster{};
  int32_t stage_time = 0;
  int32_t combo = 0;
  int32_t combo_timer = 0;
  int32_t retry_count = 0;

  // Stage messages
  int32_t msg_phase = 0;
  std::string msg_text;
  int32_t last_score = 0;
};

// The whole game, as plain data. Everything the rules read or change is here.
struct Game : PlayState {
  std::array<StoryRec, kSlots> stories{};
};

}  // namespace quillot
