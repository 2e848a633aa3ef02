#include "game/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

std::vector<std::string> texts(const RecordingCanvas& c) {
  std::vector<std::string> out;
  for (const auto& call : c.of(Op::Text)) out.push_back(call.text);
  return out;
}

TEST(Messages, ShortMessageShowsOnNineteenEvenTicks) {
  Game g;
  show_banner(g, "START!!!");
  NullHost host;
  int shown = 0;
  for (int32_t frame = 1; frame <= 60; ++frame) {
    g.frame_no = frame;
    RecordingCanvas bak;
    EXPECT_FALSE(message_step(g, bak, host));
    const auto drawn = bak.of(Op::Text);
    shown += static_cast<int>(drawn.size());
    if (!drawn.empty()) {
      EXPECT_EQ(frame % 2, 0);
      EXPECT_EQ(drawn[0].x1, (400 - 64) / 2);
      EXPECT_EQ(drawn[0].y1, (300 - 16) / 2);
    }
  }
  EXPECT_EQ(shown, 19);
  EXPECT_EQ(g.msg_phase, 0);
}

TEST(Messages, ClearPhaseShowsTheBonusWhileTimeIsLeft) {
  for (const auto& [time, lines] : {std::pair<int32_t, std::vector<std::string>>{7, {"CLEAR!!", "TIME BONUS +14G."}},
                                    {0, {"CLEAR!!"}}}) {
    Game g;
    g.msg_phase = 100;
    g.msg_text = "CLEAR!!";
    g.stage_time = time;
    RecordingCanvas bak;
    NullHost host;
    message_step(g, bak, host);
    EXPECT_EQ(texts(bak), lines);
    EXPECT_EQ(bak.of(Op::Text).back().font_size, 20);
    EXPECT_EQ(g.msg_phase, 101);
  }
}

TEST(Messages, GameOverShowsStageScoreAndBest) {
  Game g;
  g.msg_phase = 200;
  g.msg_text = "GAME OVER";
  g.profile.stage = 12;
  g.profile.hi_score = 9000;
  g.last_score = 1234;
  RecordingCanvas bak;
  NullHost host;
  message_step(g, bak, host);
  EXPECT_EQ(texts(bak), (std::vector<std::string>{"GAME OVER", "inSTAGE 12", "SCORE > 1234point",
                                                  "(HI SCORE > 9000point)"}));
  std::vector<int32_t> rows, sizes;
  for (const auto& t : bak.of(Op::Text)) {
    rows.push_back(t.y1);
    sizes.push_back(t.font_size);
    EXPECT_EQ(t.font_color, 0x0000FFu);
    EXPECT_EQ(t.brush, 0xA00000u);
  }
  EXPECT_EQ(rows, (std::vector<int32_t>{142, 172, 202, 222}));
  EXPECT_EQ(sizes, (std::vector<int32_t>{20, 16, 16, 12}));
}

TEST(Hud, StatusLineAndMarks) {
  Game g;
  g.stage_time = 20;
  g.profile = Profile{.score = 70, .stage = 3, .gold = 150, .hp = 2, .bomb = 2, .guard = 1};
  g.combo = 4;
  g.combo_timer = 3;
  RecordingCanvas bak;
  draw_hud(g, bak);
  EXPECT_EQ(texts(bak), (std::vector<std::string>{"*TIME>20 *SCORE>70p.  *STAGE>3 *GOLD>150G.                   ",
                                                  "*HP>", "*COMBO>4", "@", "@", "GUARD"}));
  const auto bars = bak.of(Op::Rectangle);
  ASSERT_EQ(bars.size(), 5u);
  EXPECT_EQ(bars[1].x2, 50);
  EXPECT_EQ(bars[1].pen, 0xFF0000u);
  EXPECT_EQ(bars[4].x2, 5);
  EXPECT_EQ(bars[4].pen, 0xCDF900u);
}

struct Marks {
  int32_t bombs, hp_bars, combo_bars;
  RecordingCanvas::Call last_bomb, last_hp, last_combo;
};

Marks hud_marks(int32_t bomb, int32_t hp, int32_t combo_timer) {
  Game g;
  g.profile.bomb = bomb;
  g.profile.hp = hp;
  g.combo_timer = combo_timer;
  RecordingCanvas bak;
  draw_hud(g, bak);
  Marks m{};
  for (const auto& c : bak.calls) {
    if (c.op == Op::Text && c.text == "@") {
      ++m.bombs;
      m.last_bomb = c;
    } else if (c.op == Op::Rectangle && c.y1 == 290) {
      ++m.hp_bars;
      m.last_hp = c;
    } else if (c.op == Op::Rectangle && c.y1 == 275) {
      ++m.combo_bars;
      m.last_combo = c;
    }
  }
  return m;
}

TEST(Hud, HugeCountsDrawOnlyWhatCanBeSeen) {
  // With 8-px glyphs the 58th bomb at x -6 still shows; the bars stop at the
  // first that reaches past the right edge.
  for (const int32_t huge : {1000, 100000, INT_MAX}) {
    const Marks m = hud_marks(huge, huge, huge);
    EXPECT_EQ(m.bombs, 58);
    EXPECT_EQ(m.last_bomb.x1, -6);
    EXPECT_EQ(m.hp_bars, 38);
    EXPECT_EQ(m.last_hp.x2, 410);
    EXPECT_EQ(m.combo_bars, 399);
    EXPECT_EQ(m.last_combo.x2, 401);
  }
  const Marks none = hud_marks(INT_MIN, 0, -1);
  EXPECT_EQ(none.bombs + none.hp_bars + none.combo_bars, 0);
  const Marks few = hud_marks(57, 37, 397);
  EXPECT_EQ(few.bombs, 57);
  EXPECT_EQ(few.hp_bars, 37);
  EXPECT_EQ(few.combo_bars, 397);
}

TEST(StageClock, CountsSecondsOutsideTheClearAndGameOverPhases) {
  struct Case {
    int32_t frame, phase, time, want;
  };
  const Case cases[] = {{40, 0, 20, 19}, {41, 0, 20, 20}, {40, 19, 20, 19}, {40, 100, 20, 20},
                        {40, 200, 5, 5}, {40, 0, 1, 0},   {40, 0, 0, 0},    {41, 0, -7, 0}};
  for (const auto& c : cases) {
    Game g;
    g.frame_no = c.frame;
    g.msg_phase = c.phase;
    g.stage_time = c.time;
    stage_clock_step(g);
    EXPECT_EQ(g.stage_time, c.want) << c.frame << "/" << c.phase << "/" << c.time;
  }
}

struct CountHost : NullHost {
  std::vector<int32_t> counts;
  void set_enemy_count(int32_t n) override { counts.push_back(n); }
};

TEST(ClearTest, ExplosionsStillCountAndOnlyAFlyingRunIsTested) {
  Game g;
  g.player_state = bird_state::kFlying;
  g.enemies[7].kind = 104;
  CountHost host;
  check_clear(g, host);
  EXPECT_EQ(g.msg_phase, 0);
  g.enemies[7].kind = 0;
  check_clear(g, host);
  EXPECT_EQ(g.msg_phase, 100);
  EXPECT_EQ(g.msg_text, "CLEAR!!");
  check_clear(g, host);  // already clearing
  g.msg_phase = 5;
  g.player_state = bird_state::kNone;
  check_clear(g, host);  // no bird: the label keeps its count
  EXPECT_EQ(host.counts, (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(g.msg_phase, 5);
}

}  // namespace
}  // namespace quillot
