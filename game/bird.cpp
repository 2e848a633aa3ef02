#include "game/bird.h"

namespace quillot {

void cgMouseMove(Game&, int32_t) {}
void cgMouseDown(Game&, MouseButton, Canvas&, Host&) {}
void steer_bird(Game&) {}
bool bird_step(Game&, Canvas&, Host&) { return true; }
void shot_step(Game&, Canvas&) {}

}  // namespace quillot
