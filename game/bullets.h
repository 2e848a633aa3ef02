#pragma once
#include <cstdint>

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"

namespace quillot {

// Hands out the next bullet slot (all 255 take part) and returns it; the caller
// writes the fields. Draw any random numbers for vx and vy into locals first,
// in the order the rules give: function arguments have no evaluation order.
BulletRec& new_bullet(Game& g);

// What every hit costs the bird, by a bullet or by an enemy ramming it: a hit
// point and a pixel of size (never below 5). True when the last hit point is
// gone. Saturates rather than wraps, so a bird loaded with the lowest hit
// points stays dead and one with the lowest size does not become the largest.
bool lose_hit_point(Profile& p);

// Tick step 8: bullets fly, are drawn and hit the bird.
void bullet_step(Game& g, Canvas& bak, Host& host = no_host());

// The dying animation for a bird whose state has just advanced to s (3..7);
// runs the GAME OVER reset at 7. False when the reset's save failed.
bool dying_step(Game& g, Canvas& bak, Host& host);

// Resets the upgrades, starts the game-over phase and saves. False when the
// save failed; everything before the save has been done by then.
bool game_over_reset(Game& g, Host& host);

}  // namespace quillot
