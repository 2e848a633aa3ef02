#pragma once
#include <cstdint>

#include "game/canvas.h"
#include "game/host.h"
#include "game/state.h"

namespace quillot {

// Hands out the slot for a new enemy: 1, 2, ..., 253, 0, 1, ...; never 254.
// The slot is overwritten whatever it holds.
int32_t next_enemy_slot(Game& g);

// Places the enemies of g.roster, kind 1 first, and sets the bird flying.
void spawn_roster(Game& g);

// A kind-16 enemy drops a kind-15 enemy at its own position.
void drop_kind15(Game& g, int32_t x, int32_t y);

// A destroyed kind-19 enemy splits into `reward` falling kind-20 fragments.
void split_kind19(Game& g, int32_t x, int32_t y, int32_t reward);

// The picture of a live sprite kind.
Picture enemy_picture(int32_t kind);

// Tick step 5: move, draw and fire every live enemy, advance explosions, ram test.
void update_enemies(Game& g, Canvas& bak, Host& host = no_host());

}  // namespace quillot
