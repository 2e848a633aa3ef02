#include "game/messages.h"

namespace quillot {

bool message_step(Game&, Canvas&, Host&) { return false; }
void draw_hud(Game&, Canvas&) {}
void stage_clock_step(Game&) {}
void check_clear(Game&, Host&) {}

}  // namespace quillot
