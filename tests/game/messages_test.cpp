#include "game/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

TEST(Messages, ShortMessageShowsCentredOnNineteenEvenTicks) {
  Game g;
  show_banner(g, "START!!!");
  NullHost host;
  RecordingCanvas bak;
  for (g.frame_no = 1; g.frame_no <= 60; ++g.frame_no) message_step(g, bak, host);
  const auto shown = bak.of(Op::Text);
  EXPECT_EQ(shown.size(), 19u);
  EXPECT_EQ(std::pair(shown[0].x1, shown[0].y1), std::pair((400 - 64) / 2, (300 - 16) / 2));
  EXPECT_EQ(g.msg_phase, 0);
}

TEST(Hud, HugeCountsDrawOnlyWhatCanBeSeen) {
  auto marks = [](int32_t bomb, int32_t hp, int32_t combo_timer) {
    Game g;
    g.profile.bomb = bomb;
    g.profile.hp = hp;
    g.combo_timer = combo_timer;
    RecordingCanvas bak;
    draw_hud(g, bak);
    // Count and farthest reach of the bombs, hit-point bars and combo bars.
    std::vector<int32_t> m(6, 0);
    for (const auto& c : bak.calls) {
      if (c.op == Op::Text && c.text == "@") {
        m[0]++;
        m[1] = c.x1;
      }
      if (c.op == Op::Rectangle && c.y1 == 290) {
        m[2]++;
        m[3] = c.x2;
      }
      if (c.op == Op::Rectangle && c.y1 == 275) {
        m[4]++;
        m[5] = c.x2;
      }
    }
    return m;
  };
  // With 8-px glyphs the 58th bomb at x -6 still shows; each bar covers the
  // one before, and the first to reach past the right edge is the last seen.
  for (const int32_t huge : {1000, INT_MAX})
    EXPECT_EQ(marks(huge, huge, huge), (std::vector{58, -6, 38, 410, 399, 401}));
  EXPECT_EQ(marks(2, 3, 4), (std::vector{2, 386, 3, 60, 4, 6}));
  EXPECT_EQ(marks(INT_MIN, 0, -1), (std::vector{0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace quillot
