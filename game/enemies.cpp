#include "game/enemies.h"

namespace quillot {

int32_t next_enemy_slot(Game& g) {
  g.enemy_cursor += 1;
  if (g.enemy_cursor > 253) g.enemy_cursor = 0;
  return g.enemy_cursor;
}

void spawn_roster(Game& g) {
  g.enemy_cursor = 0;
  g.player_state = bird_state::kFlying;
}

void drop_kind15(Game&, int32_t, int32_t) {}
void split_kind19(Game&, int32_t, int32_t, int32_t) {}
Picture enemy_picture(int32_t) { return Picture::ene1; }
void update_enemies(Game&, Canvas&) {}

}  // namespace quillot
