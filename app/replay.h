#pragma once
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/flow.h"
#include "game/canvas.h"
#include "game/state.h"

namespace quillot {

// A recorded session: how the game started and every input, in order, each
// with the number of frame ticks run before it was handled. Every 20 ticks the
// state's checksum is noted, so a replay finds the first tick that differs.
struct Recording {
  struct Line {
    enum class Kind : uint8_t { Event, Check, End } kind = Kind::Event;
    int64_t tick = 0;
    std::string event;     // "move 120", "down left", "click Button1", "click a7"
    uint64_t checksum = 0; // Check and End
  };
  uint32_t seed = 0;
  Profile profile;
  std::array<StoryRec, kSlots> stories{};
  std::vector<Line> lines;
};

constexpr int kRecordingVersion = 1;
constexpr int64_t kCheckEvery = 20;

std::string format_recording_header(const Recording& r);
std::string format_line(const Recording::Line& line);
// Reads a recording; on a malformed file, the reason.
std::optional<Recording> parse_recording(std::string_view text, std::string* error);

// Writes a recording as the game is played; every line is flushed at once so
// a session that is killed still leaves a file that replays up to that point.
class Recorder {
 public:
  Recorder(const std::string& path, const Game& start);
  bool ok() const { return static_cast<bool>(out_); }
  void event(int64_t tick, const std::string& event);
  void after_tick(int64_t tick, const Game& g);
  void end(int64_t tick, const Game& g);

 private:
  void write(const Recording::Line& line);
  std::ofstream out_;
  bool ended_ = false;
};

// Applies one recorded input through the same handlers the window uses.
// False when the input is not one the game knows.
bool apply_event(Game& g, Shell& shell, const std::string& event);

// Plays a recording step by step on a game and a shell.
class Replayer {
 public:
  enum class Step : uint8_t { Tick, Event, Checked, Done, Diverged };
  Replayer(Recording recording, Game& g, Shell& shell);
  // Sets the game to the recording's start.
  void start();
  // Does the next thing: one tick, one input or one comparison.
  Step step();
  // Whether the next thing to do is a tick (for pacing a replay in a window).
  bool next_is_tick() const;
  int64_t ticks() const { return ticks_; }
  const std::string& error() const { return error_; }

 private:
  Recording rec_;
  Game& g_;
  Shell& shell_;
  size_t next_ = 0;
  int64_t ticks_ = 0;
  std::string error_;
};

// A window stand-in for replays without one: it keeps track of the screens and
// the timer, writes no file and shows no box.
class HeadlessShell : public Shell {
 public:
  Screen screen() const { return screen_; }
  bool save_profile(const Profile&) override { return true; }
  void play_music(const std::string&) override {}
  void show_shop() override { show_screen(Screen::Shop); }
  void show_title() override { show_screen(Screen::Title); }
  void stop_timer() override { timer_ = false; }
  void set_enemy_count(int32_t) override {}
  void present() override {}
  void repaint_now() override {}
  void show_screen(Screen s) override { screen_ = s; }
  void start_timer() override { timer_ = true; }
  bool timer_running() const override { return timer_; }
  void enable_save() override {}
  void disable_save() override {}
  void message(const std::string&) override {}
  void set_story_text(const std::string&) override {}
  bool load_story_picture(const std::string&) override { return true; }
  void set_story_name(const std::string&) override {}
  void set_story_about(const std::string&) override {}
  void set_choice_visible(bool) override {}
  Canvas& bak() override { return bak_; }
  Canvas& cg() override { return cg_; }

 private:
  bool timer_ = false;
  Screen screen_ = Screen::Title;
  NullCanvas bak_, cg_;
};


// Runs a recording without a window, as fast as it goes. Returns 0 when every
// checksum matched; prints the first difference otherwise.
int replay_headless(const std::string& path);

}  // namespace quillot
