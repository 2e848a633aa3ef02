#include "game/tick.h"

#include "game/bird.h"
#include "game/bullets.h"
#include "game/coins.h"
#include "game/enemies.h"
#include "game/messages.h"

namespace quillot {

namespace {

void advance_frame_counter(Game& g) {
  g.frame_no += 1;
  if (g.frame_no > 9999) g.frame_no = 0;
}

void clear_to_blue(Canvas& bak) {
  bak.brush = kBlue;
  bak.pen = kBlue;
  bak.rectangle(0, 0, kWidth, kHeight);
}

}  // namespace

TickEnd Timer1Timer(Game& g, Canvas& bak, Host& host) {
  advance_frame_counter(g);                        // 1
  clear_to_blue(bak);                              // 2
  steer_bird(g);                                   // 3
  if (!bird_step(g, bak, host)) return TickEnd::SaveFailed;  // 4
  update_enemies(g, bak, host);                    // 5
  coin_step(g, bak, host);                         // 6
  shot_step(g, bak, host);                         // 7
  bullet_step(g, bak, host);                       // 8
  effect_step(g, bak);                             // 9
  if (message_step(g, bak, host)) return TickEnd::StageEnded;  // 10
  draw_hud(g, bak);                                // 11
  combo_timer_step(g);                             // 12
  stage_clock_step(g);                             // 13
  check_clear(g, host);                            // 14
  host.present();                                  // 15
  return TickEnd::Presented;
}

}  // namespace quillot
