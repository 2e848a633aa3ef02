#include "game/coins.h"

namespace quillot {

void add_score(Game&, int32_t) {}
void drop_coins_kill(Game&, int32_t, int32_t, int32_t) {}
void drop_coins_bomb(Game&, int32_t, int32_t) {}
void kill_scoring(Game&, int32_t, int32_t, int32_t) {}
void score_popup(Game&, int32_t, int32_t, int32_t) {}
void coin_step(Game&, Canvas&) {}
void effect_step(Game&, Canvas&) {}
void combo_timer_step(Game&) {}

}  // namespace quillot
