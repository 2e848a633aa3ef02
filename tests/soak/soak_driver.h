#pragma once
// A random player for long unattended runs: it clicks whatever the screen on
// show offers, steers and fires during stages, and plays the core through a
// window stand-in that keeps track of the screens and the frame timer.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "app/render/qimage_canvas.h"
#include "game/canvas.h"
#include "game/state.h"
#include "session/flow.h"

namespace quillot::soak {

// Aborts the program when one step runs for longer than the limit: a hung
// step never returns, so nothing inside the test could report it.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::milliseconds limit);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // The step's number is printed if it hangs.
  void begin(int64_t step);
  // How long the step took.
  std::chrono::nanoseconds end();

 private:
  void watch();

  std::chrono::milliseconds limit_;
  std::atomic<int64_t> started_ns_{0};
  std::atomic<int64_t> step_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The window as far as the core can tell: which screen shows, whether the
// frame timer runs, whether SAVE may be clicked, and where the tick draws.
class SoakShell : public Shell {
 public:
  explicit SoakShell(std::mt19937& rng);

  Screen screen = Screen::Title;
  bool timer_on = false;
  bool save_enabled = false;
  bool choice_visible = true;
  int64_t saves = 0;
  int64_t failed_saves = 0;
  int64_t messages = 0;
  int64_t round_trip_faults = 0;

  // Drawing into real pictures or into nothing, switchable between ticks.
  void draw_for_real(bool on) { real_ = on; }
  bool drawing_for_real() const { return real_; }

  bool save_profile(const Profile& profile) override;
  void play_music(const std::string&) override {}
  void show_shop() override;
  void show_title() override { screen = Screen::Title; }
  void stop_timer() override { timer_on = false; }
  void set_enemy_count(int32_t) override {}
  void present() override;
  void repaint_now() override {}
  void show_screen(Screen s) override { screen = s; }
  void start_timer() override { timer_on = true; }
  void enable_save() override { save_enabled = true; }
  void disable_save() override { save_enabled = false; }
  void message(const Text&) override { ++messages; }
  void set_story_text(const std::string& bytes) override;
  bool load_story_picture(const std::string& bytes) override;
  void set_story_name(const std::string& bytes) override;
  void set_story_about(const std::string& bytes) override;
  void set_choice_visible(bool visible) override { choice_visible = visible; }
  Canvas& bak() override;
  Canvas& cg() override;

 private:
  std::mt19937& rng_;
  bool real_ = false;
  NullCanvas null_bak_, null_cg_;
  PictureSet pictures_;
  QImageCanvas real_bak_, real_cg_;
};

struct SoakCounts {
  int64_t ticks = 0;        // frame ticks run
  int64_t drawn_ticks = 0;  // of them, drawn into real pictures
  int64_t stages = 0;       // stages started
  int64_t clears = 0;       // shop reached from a stage
  int64_t game_overs = 0;   // title reached from a stage
  int64_t shop_buys = 0;
  int64_t stuck = 0;  // a stage screen with the timer stopped: nothing left to click
  int64_t quits = 0;  // games given up on screens that no longer lead to a stage
  int64_t saves = 0;
  int64_t failed_saves = 0;
  int64_t round_trip_faults = 0;  // a profile that would not read back as written
  std::chrono::nanoseconds slowest_step{0};
};

struct SoakPlan {
  uint32_t seed = 1;
  int64_t ticks = 10000;          // frame ticks in all
  int64_t ticks_per_game = 1500;  // then the next game starts from the title with a new profile
  int64_t drawn_per_game = 600;   // the first ticks of each game are drawn into real pictures
  int64_t patience = 400;         // ticks before a stage's remaining enemies are flown off
  int64_t idle_limit = 2000;      // steps without a tick before the player quits and starts again
  std::function<Profile(std::mt19937&)> profile;  // the saved profile each game starts from
  bool garbage_stories = false;                   // random bytes in place of the shipped story file
};

SoakCounts run_soak(const SoakPlan& plan);

}  // namespace quillot::soak
