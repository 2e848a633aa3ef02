#include "tests/soak/soak_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "app/render/art.h"
#include "game/bird.h"
#include "game/tick.h"
#include "session/profile_file.h"
#include "session/shop_actions.h"
#include "session/story_file.h"
#include "shop/shop.h"
#include "shop/status.h"

namespace quillot::soak {

namespace {

using Clock = std::chrono::steady_clock;

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

std::mutex context_mutex;
std::string context;  // the game being played, printed when a step hangs

void set_context(std::string text) {
  const std::lock_guard lock(context_mutex);
  context = std::move(text);
}

std::string describe(const Profile& p, uint32_t seed) {
  std::string s = "generator seed " + std::to_string(seed) + ", profile";
  for (int32_t v : profile_values(p)) s += " " + std::to_string(v);
  return s;
}

bool one_in(std::mt19937& rng, uint32_t n) { return rng() % n == 0; }

// Mostly over the playfield, sometimes just beyond it, sometimes absurdly far.
int32_t mouse_x(std::mt19937& rng) {
  switch (rng() % 10) {
    case 0:
      return static_cast<int32_t>(rng());
    case 1:
      return one_in(rng, 2) ? INT32_MIN : INT32_MAX;
    case 2:
      return static_cast<int32_t>(rng() % 1200) - 400;
    default:
      return static_cast<int32_t>(rng() % kWidth);
  }
}

MouseButton mouse_button(std::mt19937& rng) {
  const uint32_t r = rng() % 20;
  if (r < 14) return MouseButton::Left;
  return r < 17 ? MouseButton::Right : MouseButton::Other;
}

// What the 100 ms refresh builds from the profile on the title and shop screens.
size_t refresh_status_texts(const Profile& p) {
  size_t length = status::status_panel(p).str().size() + status::stage_label(p).str().size() +
                  status::save_label(p).str().size() + status::shop_caption(p).str().size() +
                  std::string(status::rank_title(status::upgrade_count(p))).size();
  for (shop::Item item : shop::kScreenOrder) {
    length += shop::caption(item, p).str().size() + (shop::enabled(item, p) ? 1 : 0);
    length += static_cast<size_t>(shop::price(item, p) > 0);
  }
  return length;
}

void load_shipped_stories(std::array<StoryRec, kSlots>& stories) {
  const auto root = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  if (load_stories((root / "dat" / "s.dat").string(), stories))
    std::fprintf(stderr, "no shipped story file\n");
}

// Random bytes with many line ends, so most of the 255 records get something.
void load_garbage_stories(std::mt19937& rng, std::array<StoryRec, kSlots>& stories) {
  std::string bytes;
  const size_t n = 2000 + rng() % 6000;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t r = rng() % 16;
    bytes += r == 0 ? '\r' : r == 1 ? '\n' : static_cast<char>(rng());
  }
  if (one_in(rng, 3)) bytes += "\r\nsel\r\n";
  parse_stories(bytes, stories);
}

}  // namespace

Watchdog::Watchdog(std::chrono::milliseconds limit) : limit_(limit), thread_([this] { watch(); }) {}

Watchdog::~Watchdog() {
  stop_ = true;
  thread_.join();
}

void Watchdog::begin(int64_t step) {
  step_ = step;
  started_ns_ = now_ns();
}

std::chrono::nanoseconds Watchdog::end() {
  const int64_t took = now_ns() - started_ns_.load();
  started_ns_ = 0;
  return std::chrono::nanoseconds(took);
}

void Watchdog::watch() {
  const int64_t limit_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(limit_).count();
  while (!stop_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int64_t started = started_ns_.load();
    if (started == 0 || now_ns() - started <= limit_ns) continue;
    const std::lock_guard lock(context_mutex);
    std::fprintf(stderr, "HANG: step %lld ran for over %lld ms; %s\n", static_cast<long long>(step_.load()),
                 static_cast<long long>(limit_.count()), context.c_str());
    std::fflush(stderr);
    std::abort();
  }
}

SoakShell::SoakShell(std::mt19937& rng)
    : rng_(rng), pictures_(load_pictures()), real_bak_(&pictures_), real_cg_(&pictures_) {}

bool SoakShell::save_profile(const Profile& profile) {
  // What would be written must read back as the same profile.
  Profile back;
  if (parse_profile(format_profile(profile), back) || profile_values(back) != profile_values(profile))
    ++round_trip_faults;
  // Now and then the disk is full.
  if (one_in(rng_, 10)) {
    ++failed_saves;
    return false;
  }
  ++saves;
  return true;
}

void SoakShell::show_shop() {
  screen = Screen::Shop;
  save_enabled = true;
}

void SoakShell::present() {
  if (real_) real_cg_.copy_from(real_bak_);
}

// The story labels show the decoded text; decoding is what could go wrong.
void SoakShell::set_story_text(const std::string& bytes) { (void)game_text(bytes); }
void SoakShell::set_story_name(const std::string& bytes) { (void)game_text(bytes); }
void SoakShell::set_story_about(const std::string& bytes) { (void)game_text(bytes); }

bool SoakShell::load_story_picture(const std::string& bytes) {
  ++messages;
  // A name that is not a plain file name, or now and then a missing file, gets the error box.
  return is_plain_file_name(cp932_to_utf8(bytes)) && !one_in(rng_, 8);
}

Canvas& SoakShell::bak() { return real_ ? static_cast<Canvas&>(real_bak_) : null_bak_; }
Canvas& SoakShell::cg() { return real_ ? static_cast<Canvas&>(real_cg_) : null_cg_; }

namespace {

class Player {
 public:
  Player(const SoakPlan& plan, SoakCounts& counts) : plan_(plan), c_(counts), rng_(plan.seed), shell_(rng_) {}

  void run() {
    Watchdog dog(std::chrono::milliseconds(1000));
    int64_t step = 0;
    start_game();
    while (c_.ticks < plan_.ticks) {
      if (game_ticks_ >= plan_.ticks_per_game) start_game();
      // Past the last stage NEXT only says so, and RETRY runs out: a player would quit.
      if (idle_steps_ > plan_.idle_limit) {
        ++c_.quits;
        start_game();
      }
      shell_.draw_for_real(game_ticks_ < plan_.drawn_per_game);
      dog.begin(step);
      play_one_step(step);
      c_.slowest_step = std::max(c_.slowest_step, dog.end());
      ++step;
    }
    c_.saves = shell_.saves;
    c_.failed_saves = shell_.failed_saves;
    c_.round_trip_faults = shell_.round_trip_faults;
  }

 private:
  // As after start-up: the title screen, over a profile read from the save file.
  void start_game() {
    *g_ = Game{};
    g_->random.seed = static_cast<uint32_t>(rng_());
    g_->profile = plan_.profile(rng_);
    if (plan_.garbage_stories) {
      load_garbage_stories(rng_, g_->stories);
    } else {
      load_shipped_stories(g_->stories);
    }
    shell_.screen = Screen::Title;
    shell_.timer_on = false;
    shell_.save_enabled = false;
    shell_.choice_visible = true;
    game_ticks_ = 0;
    idle_steps_ = 0;
    set_context(describe(g_->profile, g_->random.seed) + ", game seed " + std::to_string(plan_.seed));
  }

  void play_one_step(int64_t step) {
    Game& g = *g_;
    const bool was_on = shell_.timer_on;
    ++idle_steps_;
    switch (shell_.screen) {
      case Screen::Title:
        if (one_in(rng_, 10)) (one_in(rng_, 4) ? new_start : continue_game)(g, shell_);
        break;
      case Screen::Shop:
        if (one_in(rng_, 4)) shop_move(g);
        break;
      case Screen::Story:
        if (one_in(rng_, 5)) (shell_.choice_visible && one_in(rng_, 2) ? story_no : story_next)(g, shell_);
        break;
      case Screen::None:
        if (shell_.timer_on) {
          stage_step(g);
        } else {
          // Nothing on screen to click and no timer to move on: only a restart helps.
          ++c_.stuck;
          start_game();
        }
        break;
    }
    if (!was_on && shell_.timer_on) {
      ++c_.stages;
      stage_ticks_ = 0;
    }
    if (step % 2 == 0) status_length_ += refresh_status_texts(g.profile);
  }

  void shop_move(Game& g) {
    const uint32_t r = rng_() % 9;
    if (r == 0) return next_from_shop(g, shell_);
    if (r == 1) return retry_from_shop(g, shell_);
    const auto item = static_cast<shop::Item>(rng_() % 10);
    // A disabled button cannot be clicked.
    const bool clickable = item == shop::Item::a9 ? shell_.save_enabled : shop::enabled(item, g.profile);
    if (!clickable) return;
    shop_click(g, shell_, item);
    ++c_.shop_buys;
  }

  void stage_step(Game& g) {
    if (one_in(rng_, 2)) cgMouseMove(g, mouse_x(rng_));
    if (one_in(rng_, 3)) cgMouseDown(g, mouse_button(rng_), shell_.cg(), shell_);
    // A player who cannot find the last enemies waits until they fly off.
    if (++stage_ticks_ > plan_.patience && g.msg_phase < 100) {
      for (EnemyRec& e : g.enemies)
        if (e.kind >= 1 && e.kind <= 99) e.kind = 0;
    }
    Timer1Timer(g, shell_.bak(), shell_);
    ++c_.ticks;
    ++game_ticks_;
    idle_steps_ = 0;
    if (shell_.drawing_for_real()) ++c_.drawn_ticks;
    if (!shell_.timer_on) {
      if (shell_.screen == Screen::Shop) ++c_.clears;
      if (shell_.screen == Screen::Title) ++c_.game_overs;
    }
  }

  const SoakPlan& plan_;
  SoakCounts& c_;
  std::mt19937 rng_;
  SoakShell shell_;
  std::unique_ptr<Game> g_ = std::make_unique<Game>();
  int64_t game_ticks_ = 0;
  int64_t stage_ticks_ = 0;
  int64_t idle_steps_ = 0;
  size_t status_length_ = 0;
};

}  // namespace

SoakCounts run_soak(const SoakPlan& plan) {
  SoakCounts counts;
  Player(plan, counts).run();
  return counts;
}

}  // namespace quillot::soak
