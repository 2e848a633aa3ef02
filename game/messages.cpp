#include "game/messages.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "game/text_line.h"

namespace quillot {

namespace {

constexpr Color kMessageBox = 0xA00000;
constexpr Color kHudText = 0xCDF900;

// Message phases: a short banner, the clear phase and the game-over phase each
// own a range, and reaching the end of a range ends it.
constexpr int32_t kShortFirst = 1;
constexpr int32_t kShortEnd = 20;
constexpr int32_t kClearFirst = 100;
constexpr int32_t kClearEnd = 120;
constexpr int32_t kGameOverFirst = 200;
constexpr int32_t kGameOverEnd = 235;

// Centred in the playfield with the current font, `offset` px below the middle.
void draw_centred(Canvas& bak, std::string_view text, int32_t offset) {
  const int32_t x = (kWidth - bak.text_width(text)) / 2;
  const int32_t y = (kHeight - bak.text_height(text)) / 2 + offset;
  bak.text(x, y, text);
}

void short_message(Game& g, Canvas& bak) {
  bak.brush = kMessageBox;
  bak.set_font(0xCDF900, 10, true);
  draw_centred(bak, g.msg_text, 0);
  g.msg_phase += 1;
  if (g.msg_phase >= kShortEnd) g.msg_phase = 0;
}

// True when the clear phase has ended and the shop has taken over.
bool clear_phase(Game& g, Canvas& bak, Host& host) {
  bak.brush = kMessageBox;
  bak.set_font(0x00FFFF, 20, true);
  draw_centred(bak, g.msg_text, 0);
  if (g.stage_time != 0) draw_centred(bak, (Line() << "TIME BONUS +" << g.stage_time * 2 << "G.").view(), 30);
  g.msg_phase += 1;
  if (g.msg_phase < kClearEnd) return false;
  g.msg_phase = 0;
  g.profile.gold += g.stage_time * 2;
  if (g.stage_time != 0) host.report(Happening::GoldEarned, g.stage_time * 2);
  host.show_shop();
  host.play_music("6.mid");
  host.stop_timer();
  return true;
}

// True when the game-over phase has ended and the title screen has taken over.
bool game_over_phase(Game& g, Canvas& bak, Host& host) {
  bak.brush = kMessageBox;
  bak.set_font(0x0000FF, 20, true);
  draw_centred(bak, g.msg_text, 0);
  bak.font_size = 16;
  draw_centred(bak, (Line() << "inSTAGE " << g.profile.stage).view(), 30);
  draw_centred(bak, (Line() << "SCORE > " << g.last_score << "point").view(), 60);
  bak.font_size = 12;
  draw_centred(bak, (Line() << "(HI SCORE > " << g.profile.hi_score << "point)").view(), 80);
  g.msg_phase += 1;
  if (g.msg_phase < kGameOverEnd) return false;
  g.msg_phase = 0;
  host.show_title();
  host.stop_timer();
  return true;
}

// The HUD's loops run as often as a profile value says, and an edited save can
// make that 2147483647. Each loop stops once nothing further could change what
// is seen: the bombs once they have left the field on the left, the bars once
// one reaches past the right edge (each bar covers the one before it). The
// picture is that of the full loop with positions taken without wrap-around.

void draw_bombs(Canvas& bak, int32_t bombs) {
  const int64_t width = bak.text_width("@");
  for (int64_t i = 1; i <= bombs; ++i) {
    const int64_t x = kWidth - 7 * i;
    if (x + width <= 0) break;
    bak.text(static_cast<int32_t>(x), 290, "@");
  }
}

// Bars growing rightward from `left`, `per_step` px longer each step.
void draw_bar(Canvas& bak, int32_t steps, int32_t left, int32_t per_step, int32_t top, int32_t bottom) {
  for (int64_t i = 1; i <= steps; ++i) {
    const int64_t right = left + per_step * i;
    bak.rectangle(left, top, static_cast<int32_t>(right), bottom);
    // The right outline lies on column right - 1: past the field, every
    // longer bar looks the same.
    if (right - 1 >= kWidth) break;
  }
}

}  // namespace

bool message_step(Game& g, Canvas& bak, Host& host) {
  // Messages blink and advance on even ticks only.
  if (g.frame_no % 2 != 0) return false;
  if (g.msg_phase >= kShortFirst && g.msg_phase <= kShortEnd) short_message(g, bak);
  if (g.msg_phase >= kClearFirst && g.msg_phase <= kClearEnd && clear_phase(g, bak, host)) return true;
  if (g.msg_phase >= kGameOverFirst && g.msg_phase <= kGameOverEnd && game_over_phase(g, bak, host))
    return true;
  return false;
}

void draw_hud(Game& g, Canvas& bak) {
  const Profile& p = g.profile;
  bak.brush = kMessageBox;
  bak.set_font(kHudText, 10, true);
  // The trailing spaces stretch the dark box across the top.
  bak.text(0, 0,
           (Line() << "*TIME>" << g.stage_time << " *SCORE>" << p.score << "p.  *STAGE>" << p.stage
                   << " *GOLD>" << p.gold << "G.                   ")
               .view());
  bak.font_size = 8;
  bak.text(0, 290, "*HP>");
  bak.text(0, 280, (Line() << "*COMBO>" << g.combo).view());
  draw_bombs(bak, p.bomb);
  if (p.guard == 1) bak.text(360, 280, "GUARD");

  bak.brush = kHudText;
  bak.pen = 0xFF0000;
  draw_bar(bak, p.hp, 30, 10, 290, 297);
  bak.pen = kHudText;
  draw_bar(bak, g.combo_timer, 2, 1, 275, 278);
}

void stage_clock_step(Game& g) {
  if (g.frame_no % 20 == 0 && g.msg_phase <= 99) g.stage_time -= 1;
  if (g.stage_time <= 0) g.stage_time = 0;
}

void check_clear(Game& g, Host& host) {
  if (g.msg_phase >= kClearFirst || g.player_state == bird_state::kNone) return;
  int32_t count = 0;
  for (const EnemyRec& e : g.enemies) {
    if (e.kind >= 1) count += 1;
  }
  host.set_enemy_count(count);
  if (count == 0) {
    g.msg_phase = kClearFirst;
    g.msg_text = "CLEAR!!";
    host.sound(Sound::StageClear);
    host.report(Happening::StageCleared, g.profile.stage);
  }
}

}  // namespace quillot
