#include "audio/engine.h"

#include <fluidsynth.h>

#include <algorithm>

#include "audio/sound_font.h"

namespace quillot::audio {

struct Engine::Playback {
  Engine* engine = nullptr;
  fluid_player_t* player = nullptr;
  uint64_t id = 0;
  // Learned from the player on its first tick, once it has read the file, so
  // that "the end" is exactly where the player itself stops sending events.
  int end_tick = -1;
  bool reached_end = false;
  bool reported = false;
  int64_t frames = 0;  // rendered since it began
};

namespace {

// A track only a few ticks long would otherwise end, and be started again, on
// every audio period and flood the window's event queue.
constexpr int64_t kMinPlaybackMs = 50;

}  // namespace

Engine::Engine(double gain) {
  settings_ = new_fluid_settings();
  if (settings_ == nullptr) return;
  fluid_settings_setnum(settings_, "synth.sample-rate", sample_rate_);
  fluid_settings_setnum(settings_, "synth.gain", gain);
  // Pinning a 140 MB font in RAM fails under ordinary limits and buys nothing here.
  fluid_settings_setint(settings_, "synth.lock-memory", 0);
  // The engine decides when the synth is reset: a new track cuts everything,
  // a loop lets the last chord ring on.
  fluid_settings_setint(settings_, "player.reset-synth", 0);
  synth_ = new_fluid_synth(settings_);
}

Engine::~Engine() {
  {
    std::lock_guard lock(mutex_);
    close_locked();
  }
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

std::string Engine::load_sound_font(const std::vector<std::string>& candidates) {
  std::lock_guard lock(mutex_);
  if (synth_ == nullptr) return {};
  for (const auto& path : candidates) {
    if (!readable(path)) continue;
    if (fluid_synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED) return path;
  }
  return {};
}

void Engine::set_end_handler(EndHandler handler) {
  std::lock_guard lock(mutex_);
  on_end_ = std::move(handler);
}

uint64_t Engine::start(std::shared_ptr<const Track> track) {
  std::lock_guard lock(mutex_);
  close_locked();
  track_ = std::move(track);
  return open_locked(true);
}

uint64_t Engine::restart() {
  std::lock_guard lock(mutex_);
  close_locked();
  return open_locked(false);
}

void Engine::stop() {
  std::lock_guard lock(mutex_);
  close_locked();
  track_.reset();
  silence_locked();
}

uint64_t Engine::playback() const {
  std::lock_guard lock(mutex_);
  return playback_ ? playback_->id : 0;
}

std::string Engine::track_name() const {
  std::lock_guard lock(mutex_);
  return track_ ? track_->name : std::string();
}

int Engine::active_voices() const {
  std::lock_guard lock(mutex_);
  return synth_ != nullptr ? fluid_synth_get_active_voice_count(synth_) : 0;
}

void Engine::render(int frames, float* left, float* right) {
  std::lock_guard lock(mutex_);
  if (synth_ == nullptr || frames <= 0) return;
  const float level = level_.load();
  if (level >= 1.0F) {
    // Reverb and chorus are mixed straight into the two outputs.
    float* fx[4] = {left, right, left, right};
    float* out[2] = {left, right};
    fluid_synth_process(synth_, frames, 4, fx, 2, out);
  } else {
    // Scaled here rather than by the synth's own gain, which lets sounding
    // notes ring on at the old level for a second: a mute is silent at once.
    const auto n = static_cast<size_t>(frames);
    if (scratch_.size() < 2 * n) scratch_.resize(2 * n);
    std::fill_n(scratch_.begin(), 2 * n, 0.0F);
    float* l = scratch_.data();
    float* r = scratch_.data() + n;
    float* fx[4] = {l, r, l, r};
    float* out[2] = {l, r};
    fluid_synth_process(synth_, frames, 4, fx, 2, out);
    for (size_t i = 0; i < n; ++i) {
      left[i] += l[i] * level;
      right[i] += r[i] * level;
    }
  }
  if (Effects* effects = effects_.load()) effects->render(frames, left, right);
  if (!playback_) return;
  playback_->frames += frames;
  if (playback_->reached_end && !playback_->reported &&
      playback_->frames * 1000 >= kMinPlaybackMs * sample_rate_) {
    playback_->reported = true;
    if (on_end_) on_end_(playback_->id);
  }
}

int Engine::on_tick(void* data, int tick) {
  // Runs inside render(); the report itself waits until render() has its block.
  auto* playback = static_cast<Playback*>(data);
  if (playback->end_tick < 0) playback->end_tick = fluid_player_get_total_ticks(playback->player);
  if (tick >= playback->end_tick) playback->reached_end = true;
  return FLUID_OK;
}

uint64_t Engine::open_locked(bool cut_sounds) {
  if (synth_ == nullptr || !track_) return 0;
  if (cut_sounds) {
    silence_locked();
  } else {
    // A note left on by the file would otherwise pile up with every loop.
    fluid_synth_all_notes_off(synth_, -1);
  }
  auto playback = std::make_unique<Playback>();
  playback->engine = this;
  playback->id = ++next_id_;
  playback->player = new_fluid_player(synth_);
  if (playback->player == nullptr) return 0;
  playback_ = std::move(playback);
  fluid_player_set_tick_callback(playback_->player, &Engine::on_tick, playback_.get());
  if (fluid_player_add_mem(playback_->player, track_->bytes.data(), track_->bytes.size()) != FLUID_OK ||
      fluid_player_play(playback_->player) != FLUID_OK) {
    close_locked();
    return 0;
  }
  return playback_->id;
}

void Engine::silence_locked() {
  if (synth_ == nullptr) return;
  // The system reset clears controllers and the reverb's echoes but, in the
  // FluidSynth this was built against, leaves sounding voices ringing (and
  // revives any cut before it), so the cut comes after it.
  fluid_synth_system_reset(synth_);
  fluid_synth_all_sounds_off(synth_, -1);
}

void Engine::close_locked() {
  if (!playback_) return;
  if (playback_->player != nullptr) delete_fluid_player(playback_->player);
  playback_.reset();
}

}  // namespace quillot::audio
