#pragma once
#include <cstdint>

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"

namespace quillot {

// Adds points x combo to the score (nothing during a retry) and raises the best score.
void add_score(Game& g, int32_t points);

// The coins of an enemy destroyed by a shot: up to `reward` coins worth combo x 5.
void drop_coins_kill(Game& g, int32_t ex, int32_t ey, int32_t reward);

// The three coins of an enemy bullet removed by a bomb.
void drop_coins_bomb(Game& g, int32_t bx, int32_t by);

// Score, pop-up and combo of a kill, after its coins are dropped or it split.
void kill_scoring(Game& g, int32_t ex, int32_t ey, int32_t reward);

void score_popup(Game& g, int32_t x, int32_t y, int32_t points);

// Tick step 6: coins fall, are drawn and caught; catch pop-ups rise.
void coin_step(Game& g, Canvas& bak, Host& host = no_host());

// Tick step 9: the score pop-ups.
void effect_step(Game& g, Canvas& bak);

// Tick step 12: the combo falls back to 1 when its timer runs out.
void combo_timer_step(Game& g);

}  // namespace quillot
