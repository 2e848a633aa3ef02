#pragma once
#include <cstdint>

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"

namespace quillot {

enum class MouseButton : uint8_t { Left, Right, Other };

// A steering target kept where the whole bird fits on the playfield.
int32_t clamp_target(int32_t x, int32_t bird);

// The mouse moved over the playfield to x (playfield pixels).
void cgMouseMove(Game& g, int32_t x);

// A mouse button went down over the playfield. The bomb draws its flash on the
// visible picture `cg` and asks the host to repaint between frames.
void cgMouseDown(Game& g, MouseButton button, Canvas& cg, Host& host);

// Tick step 3.
void steer_bird(Game& g);

// Tick step 4: bird drawing and state step, then the dying animation and the
// GAME OVER reset. False when the reset's save failed: the tick ends there.
bool bird_step(Game& g, Canvas& bak, Host& host);

// Tick step 7: shots fly, hit enemies and burst.
void shot_step(Game& g, Canvas& bak, Host& host = no_host());

}  // namespace quillot
