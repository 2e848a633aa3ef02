#include "game/rosters.h"

namespace quillot {

void set_stage_roster(Game& g, int32_t) {
  for (auto& e : g.enemies) e.kind = 0;
  g.stage_time = g.profile.stage * 2 + 20;
  g.combo = 1;
  g.combo_timer = 1;
  g.roster.fill(0);
}

int32_t roster_total(int32_t) { return 0; }

}  // namespace quillot
