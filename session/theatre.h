#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/canvas.h"
#include "game/state.h"
#include "session/flow.h"
#include "session/input.h"
#include "session/replay.h"

namespace quillot {

// A canvas's drawing state, which the game leaves for its next tick to use.
struct CanvasPen {
  Color brush = 0xFFFFFF, pen = 0x000000, font_color = 0x000000;
  int32_t font_size = 8;
  bool font_bold = false;

  static CanvasPen of(const Canvas& c) { return {c.brush, c.pen, c.font_color, c.font_size, c.font_bold}; }
  void put_on(Canvas& c) const {
    c.brush = brush;
    c.pen = pen;
    c.set_font(font_color, font_size, font_bold);
  }
};

// What a watched game's window holds besides the game: what the replay reads
// (the screen, the timer, SAVE, the question) and what a window rebuilt after
// a jump must show again (the story's labels, the track, the hidden count).
struct ShellState {
  Screen screen = Screen::Title;
  bool timer = false;
  bool save_enabled = true;  // as the window's SAVE button starts
  bool choice_shown = true;
  std::string story_text, story_name, story_about, story_picture;  // the story file's bytes
  int32_t enemy_count = 0;
  std::string track = "5.mid";  // the last one asked for; a window starts with the title's
  CanvasPen bak_pen;
};

// The shell a watched game plays on. It keeps the ShellState and hands what
// is seen and heard to a front (the window) only when asked to: a jump runs
// with nothing drawn or heard, fast play draws only the ticks shown, and the
// effects sound at the recorded pace alone. Messages go to `on_message`,
// never to a box, so nothing stops the watching.
class TheatreShell : public Shell {
 public:
  explicit TheatreShell(Shell* front) : front_(front) {}

  const ShellState& state() const { return state_; }
  ScreenState screen_state() const { return {state_.screen, state_.choice_shown, state_.save_enabled}; }
  // Jumps back to a state without telling the front; rebuild() tells it.
  void restore(const ShellState& s);
  // The front shows the state as it stands: screen, labels, SAVE, the question.
  void rebuild();
  // Whether the front follows the screens, labels and music (not while
  // jumping), and whether the ticks draw on its canvas and present it.
  void set_live(bool on) { live_ = on; }
  void set_drawing(bool on);
  bool drawing() const { return drawing_; }
  void set_music(bool on) { music_ = on; }
  void set_effects(bool on) { effects_ = on; }
  std::function<void(const Text&)> on_message;

  bool save_profile(const Profile&) override { return true; }
  void play_music(const std::string& name) override;
  void show_shop() override;
  void show_title() override { show_screen(Screen::Title); }
  void stop_timer() override { state_.timer = false; }
  void set_enemy_count(int32_t count) override;
  void present() override;
  void repaint_now() override;
  void sound(Sound s) override;
  void show_screen(Screen s) override;
  void start_timer() override { state_.timer = true; }
  bool timer_running() const override { return state_.timer; }
  void enable_save() override;
  void disable_save() override;
  void message(const Text& text) override;
  void set_story_text(const std::string& bytes) override;
  bool load_story_picture(const std::string& bytes) override;
  void set_story_name(const std::string& bytes) override;
  void set_story_about(const std::string& bytes) override;
  void set_choice_visible(bool visible) override;
  Canvas& bak() override;
  Canvas& cg() override;

 private:
  Shell* front() const { return live_ ? front_ : nullptr; }
  Canvas& active_bak();
  Shell* front_;
  ShellState state_;
  bool live_ = false;
  bool drawing_ = false;
  bool music_ = false;
  bool effects_ = false;
  NullCanvas bak_, cg_;
};

// A moment of a recording to come back to: the game without its stories, the
// shell and the replay's place in the file.
struct Snapshot {
  PlayState play;
  ShellState shell;
  Replayer::Place place;
};

// Where a stage starts in a recording, for the seek bar.
struct StageMark {
  int64_t tick = 0;
  int32_t stage = 0;
};

// A recording watched on a game: played on at a chosen speed, paused, stepped
// and jumped about in. A pass over the whole recording without a window (on a
// thread of its own, so watching starts at once) keeps a snapshot every
// kSnapshotEvery ticks and notes where the stages start; a jump restores the
// nearest snapshot at or before its tick and runs on from there unseen.
// The checksums are compared as it plays, whichever way it got there.
class Theatre {
 public:
  // 30 s of play: a jump re-runs at most this many ticks (about 2 ms), and an
  // hour's snapshots take about 3.5 MB.
  static constexpr int64_t kSnapshotEvery = 600;
  // Watching speeds in quarters of the recorded pace: 1/4x .. 16x.
  static constexpr std::array<int, 7> kSpeedQuarters = {1, 2, 4, 8, 16, 32, 64};
  static constexpr int kNormalSpeed = 2;  // 1x
  // On a screen, a watcher sees each input a moment apart, as a player gives them.
  static constexpr double kScreenInputMs = 400;

  enum class State : uint8_t { Playing, Ended, Diverged, Incomplete };

  // `g` is the game watched; `front` the window, or null.
  Theatre(Recording recording, Game& g, Shell* front);
  ~Theatre();
  Theatre(const Theatre&) = delete;
  Theatre& operator=(const Theatre&) = delete;

  // Starts the pass that makes the snapshots; wait_for_pass() waits for it.
  void start_pass();
  void wait_for_pass();
  bool pass_done() const { return pass_done_; }
  size_t snapshot_count() const;
  size_t snapshot_bytes() const;
  std::vector<StageMark> marks() const;

  TheatreShell& shell() { return shell_; }
  int64_t tick() const { return replayer_.ticks(); }
  // The recording's length: its last line's tick.
  int64_t total_ticks() const { return total_; }
  // The recorded game's own pace here, in percent.
  int32_t pace() const { return replayer_.speed(); }
  State state() const { return state_; }
  // Why it stopped, for Diverged and Incomplete.
  const std::string& error() const { return error_; }

  bool paused() const { return paused_; }
  void set_paused(bool paused);
  int speed_index() const { return speed_; }
  void set_speed_index(int index);

  // Plays on as far as `wall_ms` of watching reach at the speed chosen.
  // Only the last tick of the stretch is drawn. Returns the ticks run.
  int64_t advance(double wall_ms);
  // The last advance left lines due now for the next turn.
  bool more_due() const { return more_due_; }
  // One tick on, and the inputs that follow it before the next.
  void step_tick();
  // Goes to `tick`: the moment its tick has run and before the next. The
  // window is rebuilt, its last tick drawn, and the landing's track started
  // once when `music` is set.
  void seek(int64_t tick, bool music = true);

 private:
  void handle(Replayer::Step step);
  // Runs unseen until `ticks` have run and the next thing is a tick.
  void run_to(int64_t ticks);
  void take_snapshot(Snapshot& s);
  void restore(const Snapshot& s);
  void pass();

  Game& g_;
  Recording recording_;  // the pass's copy, until it starts
  TheatreShell shell_;
  Replayer replayer_;
  int64_t total_ = 0;
  State state_ = State::Playing;
  std::string error_;
  bool paused_ = false;
  int speed_ = kNormalSpeed;
  double budget_ms_ = 0;
  bool more_due_ = false;

  mutable std::mutex mutex_;  // guards the pass's results
  std::vector<Snapshot> snapshots_;
  std::vector<StageMark> marks_;
  std::thread pass_;
  std::atomic<bool> stop_pass_{false};
  std::atomic<bool> pass_done_{false};
};

}  // namespace quillot
