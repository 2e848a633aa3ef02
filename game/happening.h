#pragma once
#include <cstdint>

namespace quillot {

// Things worth counting about how a game went. Like a sound, a happening is
// only reported: nothing in the game reads it back, so whether anyone counts
// changes no rule, no random draw and no checksum.
enum class Happening : uint8_t {
  ShotFired,       // one shot loosed (a click may loose up to three)
  ShotHit,         // a shot struck its first enemy (it may wound more on the way)
  EnemyDestroyed,  // value: the enemy's kind, 1..20
  CoinCaught,      // value: the gold it brought (0 for an X coin)
  CoinMissed,      // a coin fell off the bottom of the field
  GoldEarned,      // value: gold, from a coin or a stage's time bonus
  GoldSpent,       // value: gold, paid in the shop
  BombUsed,
  BirdHit,    // the bird lost a hit point
  GuardLost,  // the guard took a bullet in the bird's place
  GameStarted,
  StageStarted,  // value: the stage's number (also on a retry)
  StageCleared,  // value: the stage's number
  GameOver,      // value: the stage it was lost on
  RetryStarted,  // value: the stage's number
};

}  // namespace quillot
