#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace quillot {

// The things a player hears happen. The game only reports them; what they
// sound like, and whether anything plays at all, is the window's business, so
// reporting one never changes the game or draws a random number.
enum class Sound : uint8_t {
  Shot,         // the bird fires
  EnemyHit,     // a shot wounds an enemy that survives
  EnemyDown,    // an enemy is destroyed
  Coin,         // a coin is caught
  Bomb,         // a bomb goes off
  BirdHit,      // the bird loses a hit point
  GuardAbsorb,  // the guard takes a bullet and is gone
  GuardOn,      // the guard is bought
  StageClear,
  GameOver,
  Purchase,  // the shop sells something
  Refused,   // the shop says no: too little gold, or at the limit
  Saved,     // SAVE wrote the file
  Page,      // a story page turns
};

inline constexpr int kSoundCount = static_cast<int>(Sound::Page) + 1;

// Each sound's file name in dat/sfx, without ".wav".
inline constexpr std::array<std::string_view, kSoundCount> kSoundNames{
    "shot",     "enemy_hit",   "enemy_down", "coin",     "bomb",    "bird_hit", "guard_absorb",
    "guard_on", "stage_clear", "game_over",  "purchase", "refused", "saved",    "page",
};

}  // namespace quillot
