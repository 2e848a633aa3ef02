#include "game/coins.h"

#include <string_view>

#include "game/text_line.h"

namespace quillot {

namespace {

namespace coin_state {
constexpr int32_t kFree = 0;
constexpr int32_t kGold = 1;
constexpr int32_t kCaught = 2;  // 2..11: the "+nG" pop-up rising over the catch point
constexpr int32_t kCaughtEnd = 11;
constexpr int32_t kX = 20;
}  // namespace coin_state

constexpr int32_t kPopupPhases = 10;


int32_t next_coin_slot(Game& g) {
  g.coin_cursor += 1;
  if (g.coin_cursor > 254 || g.coin_cursor < 0) g.coin_cursor = 0;
  return g.coin_cursor;
}

int32_t next_effect_slot(Game& g) {
  g.effect_cursor += 1;
  if (g.effect_cursor > 254 || g.effect_cursor < 0) g.effect_cursor = 0;
  return g.effect_cursor;
}

// The coin slot for a new coin, or null when the cursor lands on a busy one:
// that coin is simply not made.
CoinRec* free_coin_slot(Game& g) {
  CoinRec& c = g.coins[static_cast<size_t>(next_coin_slot(g))];
  return c.state == coin_state::kFree ? &c : nullptr;
}

// Coins use their own catch box: the bird's square shrunk by 1 px all round.
bool touches_bird(const Game& g, const CoinRec& c) {
  const int32_t b = g.profile.bird;
  return c.x - c.value < g.player_x + b - 1 && c.x + c.value > g.player_x - b + 1 &&
         c.y - c.value < g.player_y + b - 1 && c.y + c.value > g.player_y - b + 1 &&
         g.player_state >= 1;
}

// True when the coin has fallen off the field.
bool fall(Game& g, CoinRec& c, int32_t max_vy) {
  c.y += c.vy;
  // Freed well below the field, but still drawn on this tick.
  const bool off = c.y > 400;
  if (off) c.state = coin_state::kFree;
  c.vy += g.random(2);
  if (c.vy > max_vy) c.vy = max_vy;
  return off;
}

void draw_coin(Canvas& bak, const CoinRec& c, Color font, Color brush, std::string_view mark) {
  bak.brush = brush;
  bak.font_color = font;
  bak.outline_follows_fill();
  bak.ellipse(c.x - c.value, c.y - c.value, c.x + c.value, c.y + c.value);
  bak.font_size = 8;
  bak.font_bold = true;
  bak.text(c.x - 3, c.y - 5, mark);
}

void gold_coin(Game& g, CoinRec& c, Canvas& bak, bool even, Host& host) {
  if (fall(g, c, 50)) host.report(Happening::CoinMissed, 0);
  if (even)
    draw_coin(bak, c, 0x0000FF, 0x008080, "\x5C");  // the code page's fonts show 0x5C as the yen sign
  else
    draw_coin(bak, c, 0x8000FF, 0x00FFFF, "\x5C");
  if (touches_bird(g, c) && c.state == coin_state::kGold) {
    g.player_state = bird_state::kCatch;
    c.state = coin_state::kCaught;
    g.profile.gold += c.value;
    host.sound(Sound::Coin);
    host.report(Happening::CoinCaught, c.value);
    host.report(Happening::GoldEarned, c.value);
  }
}

void catch_popup(CoinRec& c, Canvas& bak, bool even) {
  c.state += 1;
  bak.brush = 0x800000;
  bak.set_font(0xCDF900, 8, true);
  if (even) bak.text(c.x, c.y - c.state - 5, (Line() << "+" << c.value << "G").view());
  if (c.state >= coin_state::kCaughtEnd) c.state = coin_state::kFree;
}

void x_coin(Game& g, CoinRec& c, Canvas& bak, bool even, Host& host) {
  const bool off = fall(g, c, 60);
  if (even)
    draw_coin(bak, c, 0xFFFFFF, 0xFF0080, "X");
  else
    draw_coin(bak, c, 0xFF0080, 0xFFFFFF, "X");
  if (touches_bird(g, c)) {
    g.player_state = bird_state::kCatch;
    c.state = coin_state::kFree;
    host.sound(Sound::Coin);
    host.report(Happening::CoinCaught, 0);
    add_score(g, 10);
    const int32_t dx = g.random(8);
    const int32_t dy = g.random(20);
    score_popup(g, c.x + 16 + dx, c.y - 10 + dy, 10 * g.combo);
  } else if (off) {
    // A coin as wide as a big combo makes it can still be caught on the tick it falls off.
    host.report(Happening::CoinMissed, 0);
  }
}

// Pop-up colours by phase; 0 marks phase 4, which has none of its own.
constexpr Color kPopupColors[kPopupPhases + 1] = {
    0, 0xFFBBFF, 0xFF80FF, 0x7744FF, 0, 0x7846FD, 0x8000FF, 0xEF0AF5, 0xEE11B7, 0xE41B62, 0xF30C3A};

}  // namespace

void add_score(Game& g, int32_t points) {
  if (g.retry_count != 0) return;
  g.profile.score += points * g.combo;
  if (g.profile.score > g.profile.hi_score) g.profile.hi_score = g.profile.score;
}

void drop_coins_kill(Game& g, int32_t ex, int32_t ey, int32_t reward) {
  if (reward <= 0) return;
  // Within one full turn of the cursor every slot is either filled or found
  // busy, so any further coins only move the cursor on.
  const int32_t tries = reward < kSlots ? reward : kSlots;
  for (int32_t n = 0; n < tries; ++n) {
    CoinRec* c = free_coin_slot(g);
    if (!c) continue;
    c->x = ex - 6 + g.random(7);
    c->y = ey;
    const bool x_coin = g.random(40) == 0 && g.retry_count == 0;
    c->state = x_coin ? coin_state::kX : coin_state::kGold;
    c->vy = 1;
    c->value = g.combo * 5;
  }
  for (int32_t n = 0; n < (reward - tries) % kSlots; ++n) next_coin_slot(g);
}

void drop_coins_bomb(Game& g, int32_t bx, int32_t by) {
  for (int n = 0; n < 3; ++n) {
    CoinRec* c = free_coin_slot(g);
    if (!c) continue;
    c->x = bx - 5 + g.random(11);
    c->y = by - 5 + g.random(10);
    c->state = coin_state::kGold;
    c->vy = 1;
    c->value = g.combo * 5;
  }
}

void kill_scoring(Game& g, int32_t ex, int32_t ey, int32_t reward) {
  if (g.retry_count == 0) {
    add_score(g, reward);
    score_popup(g, ex, ey, reward * g.combo);
  }
  g.combo += 1;
  g.combo_timer = 60;
}

void score_popup(Game& g, int32_t x, int32_t y, int32_t points) {
  EffectRec& e = g.effects[static_cast<size_t>(next_effect_slot(g))];
  e.points = points;
  e.x = x;
  e.y = y;
  e.phase = 1;
}

void coin_step(Game& g, Canvas& bak, Host& host) {
  const bool even = g.frame_no % 2 == 0;
  for (CoinRec& c : g.coins) {
    if (c.state == coin_state::kGold) gold_coin(g, c, bak, even, host);
    // A coin caught just above shows its pop-up on the same tick.
    if (c.state >= coin_state::kCaught && c.state < coin_state::kCaughtEnd) catch_popup(c, bak, even);
    if (c.state == coin_state::kX) x_coin(g, c, bak, even, host);
  }
}

void effect_step(Game& g, Canvas& bak) {
  const bool even = g.frame_no % 2 == 0;
  for (EffectRec& e : g.effects) {
    if (e.phase < 1) continue;
    if (even) bak.font_color = 0xCDF900;
    // Phase 4 keeps whatever font colour was set last, so on odd ticks it
    // takes the colour of the pop-up or coin drawn before it.
    if (e.phase <= kPopupPhases && kPopupColors[e.phase] != 0) bak.font_color = kPopupColors[e.phase];
    bak.brush = 0x800000;
    bak.font_bold = true;
    bak.font_size = g.combo / 2 + 8;
    bak.text(e.x, e.y - 20 - e.phase, (Line() << e.points << "p").view());
    e.phase += 1;
    if (e.phase > kPopupPhases) e.phase = 0;
  }
}

void combo_timer_step(Game& g) {
  g.combo_timer -= 1;
  if (g.combo_timer < 0) {
    g.combo = 1;
    g.combo_timer = 0;
  }
}

}  // namespace quillot
