#include "game/tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "game/bird.h"
#include "game/enemies.h"
#include "game/messages.h"
#include "game/rosters.h"
#include "tests/support/recording_canvas.h"

namespace quillot {
namespace {

using testing::RecordingCanvas;
using Op = RecordingCanvas::Op;

// Records what the tick asked of the window, in order.
struct RecordingHost : Host {
  std::vector<std::string> events;
  std::vector<int32_t> enemy_counts;
  bool save_succeeds = true;
  bool save_profile(const Profile&) override {
    events.push_back("save");
    return save_succeeds;
  }
  void play_music(const std::string& name) override { events.push_back("music " + name); }
  void show_shop() override { events.push_back("shop"); }
  void show_title() override { events.push_back("title"); }
  void stop_timer() override { events.push_back("stop"); }
  void set_enemy_count(int32_t n) override { enemy_counts.push_back(n); }
  void present() override { events.push_back("present"); }
  void repaint_now() override { events.push_back("repaint"); }
};

Game new_game() {
  Game g;
  g.profile = Profile{.speed = 3, .bird = 18, .shot_speed = 10, .shot_big = 2, .shot_lv = 3, .hp = 3, .bomb = 3};
  g.player_x = 200;
  g.player_y = 280;
  g.target_x = 200;
  g.steer_enabled = 1;
  g.player_state = bird_state::kFlying;
  g.combo = 1;
  return g;
}

Game stage_started(int32_t stage) {
  Game g = new_game();
  g.profile.stage = stage;
  set_stage_roster(g, stage);
  spawn_roster(g);
  show_banner(g, "START!!!");
  return g;
}

TEST(Tick, StageZeroPlaysEnemiesMoveAndTheClockRuns) {
  Game g = stage_started(0);
  const int32_t enemies = roster_total(0);
  ASSERT_GT(enemies, 0);
  const auto start = g.enemies;
  NullCanvas bak;
  RecordingHost host;
  for (int tick = 0; tick < 40; ++tick) ASSERT_EQ(Timer1Timer(g, bak, host), TickEnd::Presented);
  EXPECT_EQ(g.frame_no, 40);
  EXPECT_EQ(g.stage_time, 18);  // frames 20 and 40
  EXPECT_EQ(host.enemy_counts.back(), enemies);
  EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "present"), 40);
  int moved = 0;
  for (size_t i = 0; i < start.size(); ++i) moved += start[i].kind != 0 && start[i].x != g.enemies[i].x;
  EXPECT_GT(moved, 0);
  EXPECT_EQ(g.msg_phase, 0);  // the START banner has run its course
}

TEST(Tick, LayersFromTheBirdUpToTheStatusLine) {
  Game g = stage_started(0);
  g.shots[0] = ShotRec{.x = 20, .y = 250, .state = 1};
  g.frame_no = 1;  // the next tick is even, when messages show
  RecordingCanvas bak;
  RecordingHost host;
  Timer1Timer(g, bak, host);
  auto first = [&](auto pred) {
    return std::find_if(bak.calls.begin(), bak.calls.end(), pred) - bak.calls.begin();
  };
  const auto clear = first([](const auto& c) { return c.op == Op::Rectangle && c.x2 == 400 && c.brush == kBlue; });
  const auto bird = first([](const auto& c) { return c.op == Op::Sprite && c.picture <= Picture::my6; });
  const auto enemy = first([](const auto& c) { return c.op == Op::Sprite && c.picture >= Picture::ene1; });
  const auto shot = first([](const auto& c) { return c.op == Op::Ellipse && c.brush == 0xA8D900; });
  const auto banner = first([](const auto& c) { return c.op == Op::Text && c.text == "START!!!"; });
  const auto status = first([](const auto& c) { return c.op == Op::Text && c.text.starts_with("*TIME>"); });
  EXPECT_EQ(clear, 0);
  EXPECT_LT(clear, bird);
  EXPECT_LT(bird, enemy);
  EXPECT_LT(enemy, shot);
  EXPECT_LT(shot, banner);
  EXPECT_LT(banner, status);
  EXPECT_LT(status, static_cast<long>(bak.calls.size()));
  EXPECT_EQ(host.events, (std::vector<std::string>{"present"}));
}

TEST(Tick, FrameCounterWrapsAndParityAlternates) {
  Game g = new_game();
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

struct PhaseEnd {
  int32_t phase;
  std::vector<std::string> events;
  int32_t gold;
};

TEST(Tick, EndOfClearAndGameOverStopsTheTimerWithoutPresenting) {
  const PhaseEnd cases[] = {
      {119, {"shop", "music 6.mid", "stop"}, 114},
      {234, {"title", "stop"}, 100},
  };
  for (const auto& c : cases) {
    Game g = new_game();
    g.frame_no = 1;
    g.msg_phase = c.phase;
    g.profile.gold = 100;
    g.stage_time = 7;
    g.combo_timer = 30;
    RecordingCanvas bak;
    RecordingHost host;
    EXPECT_EQ(Timer1Timer(g, bak, host), TickEnd::StageEnded);
    EXPECT_EQ(host.events, c.events);
    EXPECT_TRUE(host.enemy_counts.empty());
    EXPECT_EQ(g.msg_phase, 0);
    EXPECT_EQ(g.profile.gold, c.gold);
    EXPECT_EQ(g.combo_timer, 30);  // nothing after the messages ran
    for (const auto& t : bak.of(Op::Text)) EXPECT_NE(t.text, "*HP>");
  }
}

TEST(Tick, ABannerDuringTheClearPhaseRestartsIt) {
  Game g = new_game();
  g.frame_no = 1;
  g.msg_phase = 110;
  g.msg_text = "CLEAR!!";
  g.profile.guard = 1;
  g.bullets[0] = BulletRec{.x = 200, .y = 276, .alive = 1, .vy = 4, .radius = 3};
  RecordingCanvas bak;
  RecordingHost host;
  EXPECT_EQ(Timer1Timer(g, bak, host), TickEnd::Presented);
  const auto drawn = bak.of(Op::Text);
  EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), [](const auto& t) { return t.text == "GUARD OFF"; }), 1);
  EXPECT_EQ(g.msg_phase, 100);
  EXPECT_EQ(g.msg_text, "CLEAR!!");
}

TEST(Tick, AFailedGameOverSaveEndsTheTick) {
  Game g = new_game();
  g.player_state = 6;
  RecordingCanvas bak;
  RecordingHost host;
  host.save_succeeds = false;
  EXPECT_EQ(Timer1Timer(g, bak, host), TickEnd::SaveFailed);
  EXPECT_EQ(host.events, (std::vector<std::string>{"save"}));
  EXPECT_EQ(g.msg_phase, 200);  // the game-over phase goes on with the next tick
}

// An edited save can hold any 32-bit value in any field: a stage played with
// each field at each extreme, firing and bombing every tick, must neither
// crash nor hang.
TEST(Tick, EditedSaveValuesNeverCrashOrHang) {
  for (size_t field = 0; field < kProfileFields; ++field) {
    for (const int32_t value : {INT_MIN, -1, 0, 1, 300, INT_MAX}) {
      Game g = new_game();
      g.profile.stage = 5;
      *profile_fields(g.profile)[field] = value;
      set_stage_roster(g, g.profile.stage);
      spawn_roster(g);
      NullCanvas canvas;
      NullHost host;
      for (int tick = 0; tick < 60; ++tick) {
        cgMouseMove(g, tick * 7);
        cgMouseDown(g, MouseButton::Left, canvas, host);
        if (tick % 10 == 0) cgMouseDown(g, MouseButton::Right, canvas, host);
        Timer1Timer(g, canvas, host);
      }
    }
  }
}

}  // namespace
}  // namespace quillot
