#pragma once
#include <cstdint>
#include <string>

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"

namespace quillot {

// A short centred banner ("START!!!", "GUARD OFF", ...).
inline void show_banner(Game& g, std::string text) {
  g.msg_phase = 1;
  g.msg_text = std::move(text);
}

// Tick step 10. True when the clear or game-over phase has just ended: the
// timer is stopped and the tick must end at once, without presenting.
bool message_step(Game& g, Canvas& bak, Host& host);

// Tick step 11: the status line, bars, bombs and guard.
void draw_hud(Game& g, Canvas& bak);

// Tick step 13.
void stage_clock_step(Game& g);

// Tick step 14: counts the enemies left and starts the clear phase at 0.
void check_clear(Game& g, Host& host);

}  // namespace quillot
