#include "game/coins.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/random_inverse.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using testing::zero_at_draw;
using Op = RecordingCanvas::Op;

Game fresh() {
  Game g;
  g.player_x = 200;
  g.player_y = 280;
  g.profile.bird = 10;
  g.player_state = bird_state::kFlying;
  g.random.seed = 777;
  g.combo = 1;
  return g;
}

CoinRec& put_coin(Game& g, size_t slot, int32_t state, int32_t x, int32_t y, int32_t value = 5, int32_t vy = 0) {
  g.coins[slot] = {.x = x, .y = y, .value = value, .vy = vy, .state = state};
  return g.coins[slot];
}

TEST(Score, AddsPointsTimesComboAndRaisesTheBestOnlyOutsideARetry) {
  Game g = fresh();
  g.combo = 3;
  g.profile.hi_score = 20;
  add_score(g, 5);
  EXPECT_EQ(g.profile.score, 15);
  EXPECT_EQ(g.profile.hi_score, 20);
  add_score(g, 5);
  EXPECT_EQ(g.profile.hi_score, 30);
  g.retry_count = 1;
  add_score(g, 5);
  EXPECT_EQ(g.profile.score, 30);
}

TEST(Kill, RewardThreeAtComboFourScoresTwelveAndDropsCoinsWorthTwenty) {
  Game g = fresh();
  g.combo = 4;
  Random expected = g.random;
  drop_coins_kill(g, 100, 60, 3);
  kill_scoring(g, 100, 60, 3);
  for (size_t slot = 1; slot <= 3; ++slot) {
    const CoinRec& c = g.coins[slot];
    EXPECT_EQ(c.x, 94 + expected(7));
    EXPECT_EQ(c.state, expected(40) == 0 ? 20 : 1);
    EXPECT_EQ(c.y, 60);
    EXPECT_EQ(c.vy, 1);
    EXPECT_EQ(c.value, 20);
  }
  EXPECT_EQ(g.random.seed, expected.seed);
  EXPECT_EQ(g.profile.score, 12);
  EXPECT_EQ(g.effects[1].points, 12);
  EXPECT_EQ(g.effects[1].phase, 1);
  EXPECT_EQ(g.combo, 5);
  EXPECT_EQ(g.combo_timer, 60);
}

TEST(Kill, XCoinOnlyOutsideARetryAndARetryKillStillRaisesTheCombo) {
  for (int32_t retry : {0, 1}) {
    Game g = fresh();
    g.retry_count = retry;
    zero_at_draw(g.random, 2);  // the coin's Random(40)
    drop_coins_kill(g, 100, 60, 1);
    kill_scoring(g, 100, 60, 1);
    EXPECT_EQ(g.coins[1].state, retry == 0 ? 20 : 1);
    EXPECT_EQ(g.effect_cursor, retry == 0 ? 1 : 0);
    EXPECT_EQ(g.profile.score, retry == 0 ? 1 : 0);
    EXPECT_EQ(g.combo, 2);
  }
}

TEST(CoinHandout, GivesUpOnABusySlotWithoutDrawing) {
  Game g = fresh();
  put_coin(g, 2, 7, 0, 0);
  Random expected = g.random;
  drop_coins_kill(g, 100, 60, 3);
  EXPECT_NE(g.coins[1].state, 0);
  EXPECT_EQ(g.coins[2].state, 7);
  EXPECT_NE(g.coins[3].state, 0);
  for (int i = 0; i < 4; ++i) expected(2);
  EXPECT_EQ(g.random.seed, expected.seed);
  EXPECT_EQ(g.coin_cursor, 3);

  // A full table drops nothing yet moves the cursor on; a huge reward ends at
  // once with the cursor where that many handouts would have left it.
  const uint32_t seed = g.random.seed;
  for (CoinRec& c : g.coins) c.state = 1;
  drop_coins_kill(g, 100, 60, 40);
  EXPECT_EQ(g.coin_cursor, 43);
  EXPECT_EQ(g.random.seed, seed);
  drop_coins_kill(g, 100, 60, 2147483647);
  EXPECT_EQ(g.coin_cursor, (43 + 2147483647 % 255) % 255);
}

TEST(CoinHandout, BombMakesThreeGoldCoinsAroundTheBullet) {
  Game g = fresh();
  g.combo = 2;
  Random expected = g.random;
  drop_coins_bomb(g, 150, 200);
  for (size_t slot = 1; slot <= 3; ++slot) {
    const CoinRec& c = g.coins[slot];
    EXPECT_EQ(c.x, 145 + expected(11));
    EXPECT_EQ(c.y, 195 + expected(10));
    EXPECT_EQ(c.state, 1);
    EXPECT_EQ(c.value, 10);
  }
  EXPECT_EQ(g.random.seed, expected.seed);
}

TEST(CoinStep, CatchBoxIsStrictAndNeedsABirdInPlay) {
  // Bird at (200, 280) with half-size 10, coin radius 5, not moving this tick.
  struct Row { int32_t x, y, state; bool caught; };
  for (const Row& r : {Row{213, 280, 1, true}, Row{214, 280, 1, false}, Row{187, 280, 1, true},
                       Row{186, 280, 1, false}, Row{200, 293, 1, true}, Row{200, 294, 1, false},
                       Row{200, 267, 1, true}, Row{200, 266, 1, false}, Row{200, 280, 0, false},
                       Row{200, 280, 4, true}, Row{200, 280, 15, true}}) {
    Game g = fresh();
    g.player_state = r.state;
    put_coin(g, 0, 1, r.x, r.y);
    RecordingCanvas bak;
    coin_step(g, bak);
    EXPECT_EQ(g.profile.gold, r.caught ? 5 : 0) << r.x << "," << r.y << " state " << r.state;
    EXPECT_EQ(g.player_state, r.caught ? 30 : r.state);
  }
}

TEST(CoinStep, GoldCoinFallsIsDrawnAndLeavesUncaughtBelow400) {
  Game g = fresh();
  g.profile.bird = 400;  // reaches every coin
  CoinRec& c = put_coin(g, 0, 1, 100, 398, 5, 3);
  Random expected = g.random;
  RecordingCanvas bak;
  coin_step(g, bak);
  EXPECT_EQ(c.y, 401);
  EXPECT_EQ(c.state, 0);
  EXPECT_EQ(c.vy, 3 + expected(2));
  EXPECT_EQ(g.profile.gold, 0);
  const auto disc = bak.of(Op::Ellipse).at(0);
  EXPECT_EQ(disc.x1, 95);
  EXPECT_EQ(disc.y2, 406);
  EXPECT_EQ(disc.brush, 0x008080u);
  EXPECT_EQ(disc.pen, 0x008080u);
  const auto yen = bak.of(Op::Text).at(0);
  EXPECT_EQ(yen.text, "\x5C");
  EXPECT_EQ(yen.x1, 97);
  EXPECT_EQ(yen.y1, 396);
  EXPECT_EQ(yen.font_color, 0x0000FFu);

  for (int32_t state : {1, 20}) {
    Game h = fresh();
    h.player_state = 0;
    CoinRec& d = put_coin(h, 0, state, 100, 0, 5, 70);
    CoinRec& edge = put_coin(h, 1, state, 100, 397, 5, 3);
    coin_step(h, bak);
    EXPECT_EQ(d.vy, state == 1 ? 50 : 60);
    EXPECT_EQ(edge.y, 400);
    EXPECT_EQ(edge.state, state);
  }
}

TEST(CoinStep, CatchPopupRisesFromEightToSixteenPixelsAndShowsOnEvenTicks) {
  Game g = fresh();
  CoinRec& c = put_coin(g, 0, 1, 200, 280, 15);
  RecordingCanvas bak;
  g.frame_no = 10;
  coin_step(g, bak);
  EXPECT_EQ(g.profile.gold, 15);
  g.player_state = 0;
  for (int t = 1; t < 9; ++t) {
    EXPECT_NE(c.state, 0);
    g.frame_no += 1;
    coin_step(g, bak);
  }
  EXPECT_EQ(c.state, 0);
  std::vector<int32_t> ys;
  for (const auto& call : bak.of(Op::Text))
    if (call.text == "+15G") ys.push_back(call.y1);
  EXPECT_EQ(ys, (std::vector<int32_t>{272, 270, 268, 266, 264}));
}

TEST(CoinStep, CaughtXCoinScoresAndPopsUpButPaysNoGold) {
  for (int32_t retry : {0, 1}) {
    Game g = fresh();
    g.retry_count = retry;
    g.combo = 3;
    put_coin(g, 0, 20, 200, 280);
    Random expected = g.random;
    expected(2);
    RecordingCanvas bak;
    coin_step(g, bak);
    EXPECT_EQ(g.coins[0].state, 0);
    EXPECT_EQ(g.profile.gold, 0);
    EXPECT_EQ(g.profile.score, retry == 0 ? 30 : 0);
    EXPECT_EQ(g.player_state, 30);
    const EffectRec& e = g.effects[1];
    EXPECT_EQ(e.x, 216 + expected(8));
    EXPECT_EQ(e.y, 270 + expected(20));
    EXPECT_EQ(e.points, 30);
    EXPECT_EQ(g.random.seed, expected.seed);
  }
}

TEST(Popup, TenPhasesRisingInTheirColoursThenFree) {
  const Color colors[] = {0xFFBBFF, 0xFF80FF, 0x7744FF, 0, 0x7846FD, 0x8000FF, 0xEF0AF5, 0xEE11B7, 0xE41B62, 0xF30C3A};
  Game g = fresh();
  g.combo = 12;
  score_popup(g, 50, 100, 36);
  RecordingCanvas bak;
  bak.font_color = 0x123456;
  for (int32_t phase = 1; phase <= 10; ++phase) {
    g.frame_no = phase;  // phase 4 falls on an even tick here
    effect_step(g, bak);
    const auto text = bak.calls.back();
    EXPECT_EQ(text.text, "36p");
    EXPECT_EQ(text.y1, 80 - phase);
    EXPECT_EQ(text.font_size, 14);
    EXPECT_EQ(text.font_color, phase == 4 ? 0xCDF900u : colors[phase - 1]);
  }
  EXPECT_EQ(g.effects[1].phase, 0);
  EXPECT_EQ(bak.calls.size(), 10u);

  g.frame_no = 1;
  score_popup(g, 50, 100, 36);
  g.effects[3] = {.x = 0, .y = 0, .phase = 4, .points = 1};
  bak.font_color = 0x123456;
  effect_step(g, bak);
  // On an odd tick phase 4 takes the colour of the pop-up drawn before it.
  EXPECT_EQ(bak.calls.back().font_color, 0xFFBBFFu);
}

TEST(Combo, FallsBackToOneSixtyTicksAfterTheLastKill) {
  Game g = fresh();
  kill_scoring(g, 0, 0, 1);  // tick T
  combo_timer_step(g);
  for (int t = 1; t < 60; ++t) combo_timer_step(g);
  EXPECT_EQ(g.combo, 2);
  EXPECT_EQ(g.combo_timer, 0);
  kill_scoring(g, 0, 0, 1);  // a kill in tick T + 60 still counts
  combo_timer_step(g);
  EXPECT_EQ(g.combo, 3);
  for (int t = 1; t < 60; ++t) combo_timer_step(g);
  EXPECT_EQ(g.combo, 3);
  combo_timer_step(g);  // tick T + 120
  EXPECT_EQ(g.combo, 1);
  EXPECT_EQ(g.combo_timer, 0);
}

}  // namespace
}  // namespace quillot
