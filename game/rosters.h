#pragma once
#include <cstdint>

#include "game/state.h"

namespace quillot {

constexpr int32_t kLastStage = 46;

// Empties the enemy table, sets the stage clock and combo, and fills the
// roster of stage n (taken as an unsigned 8-bit number; above 46: empty).
void set_stage_roster(Game& g, int32_t n);

// How many enemies stage n starts with (0 for n outside 0..46).
int32_t roster_total(int32_t n);

}  // namespace quillot
