#include "game/bullets.h"

namespace quillot {

BulletRec& new_bullet(Game& g) {
  g.bullet_cursor += 1;
  if (g.bullet_cursor > 254) g.bullet_cursor = 0;
  return g.bullets[static_cast<size_t>(g.bullet_cursor)];
}

void bullet_step(Game&, Canvas&) {}
bool dying_step(Game&, Canvas&, Host&) { return true; }
bool game_over_reset(Game&, Host&) { return true; }

}  // namespace quillot
