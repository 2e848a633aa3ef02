#include "session/theatre.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "game/checksum.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

Recording shipped_recording(const std::string& name) {
  const std::string here = __FILE__;
  const std::string text = read_file(here.substr(0, here.rfind("/session/")) + "/replays/" + name);
  std::string error;
  auto r = parse_recording(text, &error);
  EXPECT_TRUE(r.has_value()) << error;
  return r.value_or(Recording{});
}

// The checksum at every tick of a recording played straight through without
// a theatre, each once its tick's inputs are in.
std::map<int64_t, uint64_t> straight_through(const Recording& r) {
  Game g;
  HeadlessShell shell;
  Replayer replayer(r, g, shell, [&shell] { return shell.state(); });
  replayer.start();
  std::map<int64_t, uint64_t> sums;
  for (Replayer::Step step = Replayer::Step::Event; step != Replayer::Step::Done;) {
    step = replayer.step();
    if (replayer.next_is_tick() || step == Replayer::Step::Done) sums[replayer.ticks()] = checksum(g);
  }
  return sums;
}

// Watching in beats of 50 ms, as the window's timer gives them.
void watch(Theatre& t, double ms) {
  for (double done = 0; done < ms; done += 50) t.advance(50);
}

// The story screen's question (tick 0), a stage of 730 ticks, one snapshot at 600.
TEST(Theatre, PlaysAtItsSpeedsStepsAndSeeksToTheSameGameAsPlayingStraightThrough) {
  const Recording story_no = shipped_recording("story_no.qrp");
  Recording tampered = story_no;
  for (Recording::Line& l : tampered.lines)
    if (l.kind == Recording::Line::Kind::Check && l.tick == 400) l.checksum ^= 1;
  const auto sums = straight_through(story_no);
  ASSERT_EQ(sums.rbegin()->first, 730);

  struct Case {
    const char* name;
    const Recording* recording;
    std::function<void(Theatre&)> act;
    int64_t tick;
    Theatre::State state = Theatre::State::Playing;
  };
  auto speed = [](int index, double ms) {
    return [=](Theatre& t) {
      t.seek(100);
      t.set_speed_index(index);
      watch(t, ms);
    };
  };
  const Case cases[] = {
      {"1/4x: a tick every 200 ms", &story_no, speed(0, 1000), 105},
      {"1/2x", &story_no, speed(1, 1000), 110},
      {"1x: the recorded pace, 20 ticks a second", &story_no, speed(2, 1000), 120},
      {"2x", &story_no, speed(3, 1000), 140},
      {"4x", &story_no, speed(4, 1000), 180},
      {"8x", &story_no, speed(5, 1000), 260},
      {"16x", &story_no, speed(6, 1000), 420},
      {"the screens' inputs come a moment apart, then the stage runs", &story_no,
       [](Theatre& t) { watch(t, 3 * Theatre::kScreenInputMs + 500); }, 10},
      {"paused, nothing runs", &story_no,
       [](Theatre& t) {
         t.seek(50);
         t.set_paused(true);
         watch(t, 1000);
       },
       50},
      {"paused, one tick forward", &story_no,
       [](Theatre& t) {
         t.seek(200);
         t.set_paused(true);
         t.step_tick();
       },
       201},
      {"forward past the snapshot", &story_no, [](Theatre& t) { t.seek(650); }, 650},
      {"back from past the snapshot", &story_no,
       [](Theatre& t) {
         t.seek(700);
         t.seek(599);
       },
       599},
      {"back to the start", &story_no,
       [](Theatre& t) {
         t.seek(720);
         t.seek(0);
       },
       0},
      {"to the end, then back ten seconds", &story_no,
       [](Theatre& t) {
         t.seek(730);
         t.seek(730 - 200);
       },
       530},
      {"the end", &story_no, [](Theatre& t) { watch(t, 60000); }, 730, Theatre::State::Ended},
      {"tampered: watching stops at the tick that differs", &tampered, [](Theatre& t) { watch(t, 60000); },
       400, Theatre::State::Diverged},
      {"tampered: a jump past it stops there too", &tampered, [](Theatre& t) { t.seek(650); }, 400,
       Theatre::State::Diverged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Game g;
    HeadlessShell window;
    Theatre t(*c.recording, g, &window);
    t.start_pass();
    t.wait_for_pass();
    EXPECT_EQ(t.snapshot_count(), c.recording == &story_no ? 2u : 1u);
    c.act(t);
    EXPECT_EQ(t.tick(), c.tick);
    EXPECT_EQ(t.state(), c.state) << t.error();
    if (c.state == Theatre::State::Playing) {
      EXPECT_EQ(checksum(g), sums.at(c.tick));
    }
    if (c.state == Theatre::State::Diverged) {
      EXPECT_NE(t.error().find("tick 400"), std::string::npos) << t.error();
    }
    // The window shows what the game is at, however it got there.
    EXPECT_EQ(window.state().screen, t.shell().state().screen);
    EXPECT_EQ(window.timer_running(), false) << "the theatre runs the ticks, never the window's timer";
  }
}

}  // namespace
}  // namespace quillot
