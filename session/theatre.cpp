#include "session/theatre.h"

#include <algorithm>
#include <utility>

#include "session/pace.h"

namespace quillot {

void TheatreShell::restore(const ShellState& s) {
  state_ = s;
  s.bak_pen.put_on(bak());
}

void TheatreShell::rebuild() {
  if (front_ == nullptr) return;
  front_->show_screen(state_.screen);
  if (state_.screen == Screen::Story) {
    front_->set_story_text(state_.story_text);
    if (!state_.story_picture.empty()) front_->load_story_picture(state_.story_picture);
    front_->set_story_name(state_.story_name);
    front_->set_story_about(state_.story_about);
  }
  front_->set_choice_visible(state_.choice_shown);
  if (state_.save_enabled) {
    front_->enable_save();
  } else {
    front_->disable_save();
  }
  front_->set_enemy_count(state_.enemy_count);
}

Canvas& TheatreShell::bak() { return drawing_ && front_ != nullptr ? front_->bak() : bak_; }
Canvas& TheatreShell::cg() { return drawing_ && front_ != nullptr ? front_->cg() : cg_; }

void TheatreShell::set_drawing(bool on) {
  if (on == drawing_) return;
  // The game draws some things in whatever colour it set last, on any canvas.
  const CanvasPen pen = CanvasPen::of(bak());
  drawing_ = on;
  pen.put_on(bak());
}

void TheatreShell::play_music(const std::string& name) {
  state_.track = name;
  if (music_ && front() != nullptr) front_->play_music(name);
}

void TheatreShell::show_shop() {
  // As the window does: the shop opens with SAVE enabled.
  show_screen(Screen::Shop);
  enable_save();
}

void TheatreShell::set_enemy_count(int32_t count) {
  state_.enemy_count = count;
  if (Shell* f = front()) f->set_enemy_count(count);
}

void TheatreShell::present() {
  if (drawing_ && front() != nullptr) front_->present();
}

void TheatreShell::repaint_now() {
  // The bomb's flash frames are held on screen at the recorded pace only.
  if (drawing_ && effects_ && front() != nullptr) front_->repaint_now();
}

void TheatreShell::sound(Sound s) {
  if (effects_ && front() != nullptr) front_->sound(s);
}

void TheatreShell::show_screen(Screen s) {
  state_.screen = s;
  if (Shell* f = front()) f->show_screen(s);
}

void TheatreShell::enable_save() {
  state_.save_enabled = true;
  if (Shell* f = front()) f->enable_save();
}

void TheatreShell::disable_save() {
  state_.save_enabled = false;
  if (Shell* f = front()) f->disable_save();
}

void TheatreShell::message(const Text& text) {
  if (front() != nullptr && on_message) on_message(text);
}

void TheatreShell::set_story_text(const std::string& bytes) {
  state_.story_text = bytes;
  if (Shell* f = front()) f->set_story_text(bytes);
}

bool TheatreShell::load_story_picture(const std::string& bytes) {
  state_.story_picture = bytes;
  // The recording says whether it loaded when it was played.
  if (Shell* f = front()) f->load_story_picture(bytes);
  return true;
}

void TheatreShell::set_story_name(const std::string& bytes) {
  state_.story_name = bytes;
  if (Shell* f = front()) f->set_story_name(bytes);
}

void TheatreShell::set_story_about(const std::string& bytes) {
  state_.story_about = bytes;
  if (Shell* f = front()) f->set_story_about(bytes);
}

void TheatreShell::set_choice_visible(bool visible) {
  state_.choice_shown = visible;
  if (Shell* f = front()) f->set_choice_visible(visible);
}

namespace {

int64_t last_tick(const Recording& r) { return r.lines.empty() ? 0 : r.lines.back().tick; }

}  // namespace

Theatre::Theatre(Recording recording, Game& g, Shell* front)
    : g_(g),
      recording_(recording),
      shell_(front),
      replayer_(std::move(recording), g, shell_, [this] { return shell_.screen_state(); }),
      total_(last_tick(recording_)) {
  replayer_.start();
  snapshots_.reserve(static_cast<size_t>(total_ / kSnapshotEvery) + 2);
  snapshots_.emplace_back();
  take_snapshot(snapshots_.back());
  shell_.set_live(true);
  shell_.set_drawing(true);
  shell_.set_music(true);
  set_speed_index(kNormalSpeed);
}

Theatre::~Theatre() {
  stop_pass_ = true;
  if (pass_.joinable()) pass_.join();
}

void Theatre::start_pass() {
  if (!pass_.joinable()) pass_ = std::thread([this] { pass(); });
}

void Theatre::wait_for_pass() {
  if (pass_.joinable()) pass_.join();
}

size_t Theatre::snapshot_count() const {
  std::lock_guard lock(mutex_);
  return snapshots_.size();
}

size_t Theatre::snapshot_bytes() const {
  std::lock_guard lock(mutex_);
  size_t bytes = snapshots_.capacity() * sizeof(Snapshot);
  for (const Snapshot& s : snapshots_)
    bytes += s.play.msg_text.capacity() + s.shell.story_text.capacity() + s.shell.story_name.capacity() +
             s.shell.story_about.capacity() + s.shell.story_picture.capacity() + s.shell.track.capacity();
  return bytes;
}

std::vector<StageMark> Theatre::marks() const {
  std::lock_guard lock(mutex_);
  return marks_;
}

void Theatre::pass() {
  Game g;
  TheatreShell shell(nullptr);
  // The pass's copy of the recording goes with it.
  Replayer replayer(std::move(recording_), g, shell, [&shell] { return shell.screen_state(); });
  replayer.start();
  int64_t snapped = 0;
  for (;;) {
    if (stop_pass_) return;
    const bool timer_was = shell.timer_running();
    const Replayer::Step step = replayer.step();
    if (step == Replayer::Step::Done || step == Replayer::Step::Diverged ||
        step == Replayer::Step::Incomplete)
      break;
    if (!timer_was && shell.timer_running()) {
      std::lock_guard lock(mutex_);
      marks_.push_back({replayer.ticks(), g.profile.stage});
    }
    const int64_t t = replayer.ticks();
    if (t > snapped && t % kSnapshotEvery == 0 && replayer.next_is_tick()) {
      Snapshot s{g, shell.state(), replayer.place()};
      s.shell.bak_pen = CanvasPen::of(shell.bak());
      std::lock_guard lock(mutex_);
      snapshots_.push_back(std::move(s));
      snapped = t;
    }
  }
  pass_done_ = true;
}

void Theatre::take_snapshot(Snapshot& s) {
  s.play = g_;
  s.shell = shell_.state();
  s.shell.bak_pen = CanvasPen::of(shell_.bak());
  s.place = replayer_.place();
}

void Theatre::restore(const Snapshot& s) {
  // The stories stay: they are the recording's and never change in play.
  static_cast<PlayState&>(g_) = s.play;
  shell_.restore(s.shell);
  replayer_.go_to(s.place);
}

void Theatre::handle(Replayer::Step step) {
  switch (step) {
    case Replayer::Step::Done:
      state_ = State::Ended;
      return;
    case Replayer::Step::Diverged:
      state_ = State::Diverged;
      error_ = replayer_.error();
      return;
    case Replayer::Step::Incomplete:
      state_ = State::Incomplete;
      error_ = replayer_.error();
      return;
    default:
      return;
  }
}

void Theatre::run_to(int64_t ticks) {
  while (state_ == State::Playing && !(replayer_.ticks() >= ticks && replayer_.next_is_tick()))
    handle(replayer_.step());
}

void Theatre::set_paused(bool paused) {
  paused_ = paused;
  budget_ms_ = 0;
}

void Theatre::set_speed_index(int index) {
  speed_ = std::clamp(index, 0, static_cast<int>(kSpeedQuarters.size()) - 1);
  // At any other pace than the recorded one the effects would be a noise.
  shell_.set_effects(speed_ == kNormalSpeed);
}

int64_t Theatre::advance(double wall_ms) {
  more_due_ = false;
  if (paused_ || state_ != State::Playing) return 0;
  const double rate = kSpeedQuarters[static_cast<size_t>(speed_)] / 4.0;
  // A stall of the window (a box, a dragged window) does not rush the game.
  constexpr double kMostAtOnceMs = 2 * kScreenInputMs;
  budget_ms_ = std::min(budget_ms_ + wall_ms * rate, kMostAtOnceMs * rate);
  // A timer that wakes a little early still runs its tick on time.
  constexpr double kSlackMs = 2;
  int64_t ran = 0;
  // A recording may hold any number of lines at one tick: the window gets
  // its events back between turns of this many.
  constexpr int kLinesPerTurn = 2000;
  int taken = 0;
  while (state_ == State::Playing) {
    if (replayer_.next_is_tick()) {
      const double cost = tick_interval_ms(replayer_.speed());
      if (budget_ms_ + kSlackMs < cost) break;
      budget_ms_ -= cost;
      // The last tick this stretch can afford is the one the window shows.
      shell_.set_drawing(budget_ms_ + kSlackMs < cost);
      handle(replayer_.step());
      ++ran;
      continue;
    }
    const Replayer::Place at = replayer_.place();
    const auto& lines = replayer_.recording().lines;
    const bool screen_input = at.next < lines.size() && lines[at.next].kind == Recording::Line::Kind::Event &&
                              !shell_.timer_running();
    if (screen_input) {
      if (budget_ms_ + kSlackMs < kScreenInputMs) break;
      budget_ms_ -= kScreenInputMs;
    }
    if (++taken > kLinesPerTurn) {
      more_due_ = true;
      break;
    }
    shell_.set_drawing(true);
    handle(replayer_.step());
  }
  shell_.set_drawing(true);
  return ran;
}

void Theatre::step_tick() {
  if (state_ != State::Playing) return;
  shell_.set_drawing(true);
  run_to(replayer_.ticks() + 1);
}

void Theatre::seek(int64_t tick, bool music) {
  tick = std::clamp<int64_t>(tick, 0, total_);
  const int64_t before = std::max<int64_t>(tick - 1, 0);
  // From here when here is on the way and no snapshot is nearer.
  bool from_here = state_ == State::Playing && replayer_.ticks() <= before && replayer_.next_is_tick();
  {
    std::lock_guard lock(mutex_);
    const auto after = std::upper_bound(snapshots_.begin(), snapshots_.end(), before,
                                        [](int64_t t, const Snapshot& s) { return t < s.place.ticks; });
    const Snapshot& nearest = *std::prev(after);  // the start's is first, at tick 0
    if (!from_here || nearest.place.ticks > replayer_.ticks()) {
      restore(nearest);
      from_here = false;
    }
  }
  state_ = State::Playing;
  error_.clear();
  budget_ms_ = 0;
  // Unseen and unheard up to the last tick before the landing.
  shell_.set_live(false);
  shell_.set_drawing(false);
  if (tick > 0) run_to(before);
  shell_.rebuild();
  // The landing's own tick is drawn, so the window shows the game as it is there.
  shell_.set_live(true);
  shell_.set_drawing(true);
  shell_.set_music(false);
  const bool effects = speed_ == kNormalSpeed;
  shell_.set_effects(false);
  run_to(tick);
  shell_.set_music(true);
  shell_.set_effects(effects);
  if (music && !shell_.state().track.empty()) {
    const std::string track = shell_.state().track;
    shell_.play_music(track);
  }
}

}  // namespace quillot
