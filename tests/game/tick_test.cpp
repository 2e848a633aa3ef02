#include "game/tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "bench/scenarios.h"
#include "game/bird.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

// Records what the tick asked of the window, in order.
struct RecordingHost : Host {
  std::vector<std::string> events;
  int32_t enemies_left = -1;
  bool save_profile(const Profile&) override {
    events.push_back("save");
    return true;
  }
  void play_music(const std::string& name) override { events.push_back("music " + name); }
  void show_shop() override { events.push_back("shop"); }
  void show_title() override { events.push_back("title"); }
  void stop_timer() override { events.push_back("stop"); }
  void set_enemy_count(int32_t n) override { enemies_left = n; }
  void present() override { events.push_back("present"); }
  void repaint_now() override {}
};

TEST(Tick, StageZeroPlaysLayeredFromTheBirdUpToTheStatusLine) {
  Game g = bench::stage_just_started(0);
  const auto start = g.enemies;
  g.shots[0] = ShotRec{.x = 20, .y = 250, .state = 1};
  g.frame_no = 1;  // the first tick is even, when messages show
  RecordingCanvas bak;
  RecordingHost host;
  EXPECT_EQ(Timer1Timer(g, bak, host), TickEnd::Presented);
  auto first = [&](auto pred) {
    return std::find_if(bak.calls.begin(), bak.calls.end(), pred) - bak.calls.begin();
  };
  const std::vector<long> order{
      first([](const auto& c) { return c.op == Op::Rectangle && c.x2 == 400 && c.brush == kBlue; }),
      first([](const auto& c) { return c.op == Op::Sprite && c.picture == Picture::my1; }),
      first([](const auto& c) { return c.op == Op::Sprite && c.picture >= Picture::ene1; }),
      first([](const auto& c) { return c.op == Op::Ellipse && c.brush == 0xA8D900; }),  // the shot
      first([](const auto& c) { return c.op == Op::Text && c.text == "START!!!"; }),
      first([](const auto& c) { return c.op == Op::Text && c.text.starts_with("*TIME>"); }),
      static_cast<long>(bak.calls.size())};
  EXPECT_EQ(order[0], 0);
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()) &&
              std::adjacent_find(order.begin(), order.end()) == order.end());

  NullCanvas null;
  for (int tick = 1; tick < 40; ++tick) Timer1Timer(g, null, host);
  EXPECT_EQ(g.stage_time, 18);  // frames 20 and 40
  EXPECT_GT(host.enemies_left, 0);
  EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "present"), 40);
  EXPECT_NE(start[1].x, g.enemies[1].x);
}

TEST(Tick, FrameCounterWrapsAndParityAlternates) {
  Game g = bench::new_game(0);
  g.frame_no = 9998;
  std::vector<Picture> pictures;
  for (int tick = 0; tick < 3; ++tick) {
    RecordingCanvas bak;
    NullHost host;
    Timer1Timer(g, bak, host);
    pictures.push_back(bak.of(Op::Sprite).at(0).picture);
  }
  EXPECT_EQ(g.frame_no, 1);
  EXPECT_EQ(pictures, (std::vector<Picture>{Picture::my2, Picture::my1, Picture::my2}));
}

TEST(Tick, EndOfClearAndGameOverStopsTheTimerWithoutPresenting) {
  struct {
    int32_t phase;
    std::vector<std::string> events;
    int32_t gold;
  } cases[] = {{119, {"shop", "music 6.mid", "stop"}, 114}, {234, {"title", "stop"}, 100}};
  for (const auto& c : cases) {
    Game g = bench::new_game(0);
    g.frame_no = 1;
    g.msg_phase = c.phase;
    g.profile.gold = 100;
    g.stage_time = 7;
    g.combo_timer = 30;
    RecordingCanvas bak;
    RecordingHost host;
    EXPECT_EQ(Timer1Timer(g, bak, host), TickEnd::StageEnded);
    EXPECT_EQ(host.events, c.events);
    EXPECT_EQ((std::vector{g.msg_phase, g.profile.gold, g.combo_timer, host.enemies_left}),
              (std::vector{0, c.gold, 30, -1}));  // nothing after the messages ran
    const auto texts = bak.of(Op::Text);
    EXPECT_EQ(texts.back().text, c.phase == 119 ? "TIME BONUS +14G." : "(HI SCORE > 0point)");
  }
}

TEST(Tick, ABannerDuringTheClearPhaseShowsOnceAndRestartsIt) {
  Game g = bench::new_game(0);
  g.frame_no = 1;
  g.msg_phase = 110;
  g.msg_text = "CLEAR!!";
  g.profile.guard = 1;
  g.bullets[0] = BulletRec{.x = 200, .y = 276, .alive = 1, .vy = 4, .radius = 3};
  RecordingCanvas bak;
  RecordingHost host;
  Timer1Timer(g, bak, host);
  const auto drawn = bak.of(Op::Text);
  EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), [](const auto& t) { return t.text == "GUARD OFF"; }),
            1);
  EXPECT_EQ(g.msg_phase, 100);
  EXPECT_EQ(g.msg_text, "CLEAR!!");
}

// An edited save can hold any 32-bit value in any field: a stage played with
// each field at each extreme, firing and bombing, must neither crash nor hang.
TEST(Tick, EditedSaveValuesNeverCrashOrHang) {
  for (size_t field = 0; field < kProfileFields; ++field) {
    for (const int32_t value : {INT_MIN, -1, 0, 300, INT_MAX}) {
      Game g = bench::new_game(5);
      *profile_fields(g.profile)[field] = value;
      set_stage_roster(g, g.profile.stage);
      spawn_roster(g);
      NullCanvas canvas;
      NullHost host;
      for (int tick = 0; tick < 60; ++tick) {
        cgMouseMove(g, tick * 7);
        cgMouseDown(g, tick % 10 == 0 ? MouseButton::Right : MouseButton::Left, canvas, host);
        Timer1Timer(g, canvas, host);
      }
    }
  }
}

}  // namespace
}  // namespace quillot
