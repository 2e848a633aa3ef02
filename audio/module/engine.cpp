#include "audio/module/engine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <utility>

#include "audio/module/sound_font.h"

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

// The reverb and chorus of what a cut silenced ring on in the synth, which
// has no way to clear them short of a system reset. They are held back for
// half a second after a cut and faded in again over a quarter, by when
// they have died away and only the new track's own are heard.
constexpr int64_t kEchoHoldFrames = 44100 / 2;
constexpr int64_t kEchoFadeFrames = 44100 / 4;

// Longer blocks are rendered in parts of this size, so that the scratch
// buffer, sized when the engine is made, fits every one.
constexpr int kMaxBlockFrames = 4096;

constexpr int kMusicChannels = 16;
constexpr int kResetAllControllers = 121;
// Volume, balance, pan, the effect sends and the sound controllers, which the
// reset above keeps, as a new channel has them.
constexpr std::pair<int, int> kFreshControllers[] = {
    {7, 100}, {8, 64},  {10, 64}, {91, 0},  {92, 0},  {93, 0},  {94, 0},  {95, 0},  {70, 64},
    {71, 64}, {72, 64}, {73, 64}, {74, 64}, {75, 64}, {76, 64}, {77, 64}, {78, 64}, {79, 64}};

}  // namespace

Engine::Engine(double gain) : scratch_(4 * static_cast<size_t>(kMaxBlockFrames)) {
  settings_ = new_fluid_settings();
  if (settings_ == nullptr) return;
  fluid_settings_setnum(settings_, "synth.sample-rate", sample_rate_);
  fluid_settings_setnum(settings_, "synth.gain", gain);
  // Pinning a 140 MB font in RAM fails under ordinary limits and buys nothing here.
  fluid_settings_setint(settings_, "synth.lock-memory", 0);
  // Only the samples of selected or pinned presets are read into memory: a
  // General MIDI font holds every instrument, and our tracks play a few dozen.
  fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
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

void Engine::unload_font_locked() {
  const int font = font_id_.exchange(-1);
  if (font < 0) return;
  fluid_synth_sfunload(synth_, font, 1);
  std::lock_guard pins(pins_mutex_);
  pinned_.clear();
}

bool Engine::load_font_locked(const std::string& path) {
  unload_font_locked();
  // No channel selects a preset yet: each would read piano or drum samples
  // that nothing may ever play.
  const int id = fluid_synth_sfload(synth_, path.c_str(), 0);
  if (id == FLUID_FAILED) return false;
  font_id_ = id;
  return true;
}

constexpr char kDamaged[] = "is damaged (FluidSynth could not load it)";

std::string Engine::load_sound_font(const std::vector<std::string>& candidates) {
  std::lock_guard lock(mutex_);
  if (synth_ == nullptr) return {};
  unload_font_locked();
  std::vector<std::pair<std::string, std::string>> faults;
  std::vector<std::string> missing;
  std::string loaded;
  for (const auto& path : candidates) {
    SoundFontCheck check = check_sound_font(path);
    if (check.missing) {
      missing.push_back(path);
      continue;
    }
    if (check.usable()) {
      if (load_font_locked(path)) {
        loaded = path;
        break;
      }
      check.fault = kDamaged;
    }
    faults.emplace_back(path, check.fault);
  }
  report_sound_fonts(faults, missing, loaded);
  return loaded;
}

std::string Engine::try_sound_font(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (synth_ == nullptr) return "cannot be played (no synthesizer)";
  unload_font_locked();
  const SoundFontCheck check = check_sound_font(path);
  if (!check.usable()) return check.fault;
  return load_font_locked(path) ? std::string() : kDamaged;
}

std::string Engine::default_sound_font() const {
  if (settings_ == nullptr) return {};
  char* path = nullptr;
  if (fluid_settings_getstr_default(settings_, "synth.default-soundfont", &path) != FLUID_OK || path == nullptr)
    return {};
  return path;
}

void Engine::pin(const Preset& preset) {
  if (pinned({preset})) return;
  std::lock_guard lock(mutex_);
  const int font = font_id_.load();
  if (synth_ == nullptr || font < 0) return;
  // A preset the font lacks is taken as pinned: trying again would find nothing either.
  fluid_synth_pin_preset(synth_, font, preset.bank, preset.program);
  std::lock_guard pins(pins_mutex_);
  pinned_.push_back(preset);
}

bool Engine::pinned(const std::vector<Preset>& presets) const {
  std::lock_guard lock(pins_mutex_);
  return std::all_of(presets.begin(), presets.end(), [this](const Preset& preset) {
    return std::find(pinned_.begin(), pinned_.end(), preset) != pinned_.end();
  });
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

void Engine::render(int frames, float* left, float* right) {
  if (frames <= 0) return;
  {
    // A busy engine is cutting a track or reading a preset's samples: this
    // block's music is silence rather than a late block for everything.
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (lock.owns_lock() && synth_ != nullptr) {
      for (int done = 0; done < frames; done += kMaxBlockFrames) {
        const int part = std::min(kMaxBlockFrames, frames - done);
        render_music_locked(part, left + done, right + done);
      }
    }
  }
  // Our own samples, outside the music's lock: they never drop out.
  if (Effects* effects = effects_.load()) effects->render(frames, left, right);
}

void Engine::render_music_locked(int frames, float* left, float* right) {
  const float level = level_.load();
  const int64_t echo_frames = kEchoHoldFrames + kEchoFadeFrames;
  if (level >= 1.0F && since_cut_ >= echo_frames) {
    // Reverb and chorus are mixed straight into the two outputs.
    float* fx[4] = {left, right, left, right};
    float* out[2] = {left, right};
    fluid_synth_process(synth_, frames, 4, fx, 2, out);
  } else {
    // Scaled here rather than by the synth's own gain, which lets sounding
    // notes ring on at the old level for a second: a mute is silent at once.
    // The effects come apart from the notes, to be held back after a cut.
    const auto n = static_cast<size_t>(frames);
    std::fill_n(scratch_.begin(), 4 * n, 0.0F);
    float* l = scratch_.data();
    float* r = l + n;
    float* wet_l = r + n;
    float* wet_r = wet_l + n;
    float* fx[4] = {wet_l, wet_r, wet_l, wet_r};
    float* out[2] = {l, r};
    fluid_synth_process(synth_, frames, 4, fx, 2, out);
    for (size_t i = 0; i < n; ++i) {
      const int64_t at = since_cut_ + static_cast<int64_t>(i) - kEchoHoldFrames;
      const float wet = at <= 0                 ? 0.0F
                        : at >= kEchoFadeFrames ? 1.0F
                                                : static_cast<float>(at) / kEchoFadeFrames;
      left[i] += (l[i] + wet_l[i] * wet) * level;
      right[i] += (r[i] + wet_r[i] * wet) * level;
    }
  }
  since_cut_ = std::min(since_cut_ + frames, echo_frames);
  voices_.store(fluid_synth_get_active_voice_count(synth_), std::memory_order_relaxed);
  if (!playback_) return;
  playback_->frames += frames;
  if (playback_->reached_end && !playback_->reported &&
      playback_->frames * 1000 >= kMinPlaybackMs * sample_rate_) {
    playback_->reported = true;
    ended_.store(playback_->id);
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
    for (int channel = 0; channel < kMusicChannels; ++channel) {
      if ((track_->info.default_channels & (1u << channel)) == 0) continue;
      fluid_synth_cc(synth_, channel, 0, 0);
      fluid_synth_program_change(synth_, channel, 0);
    }
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
  playing_.store(playback_->id);
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
  // Channel by channel rather than the synth's system reset, which would
  // select piano and the standard kit everywhere and so read their samples,
  // and undo the pinning. The presets stay: every track selects its own.
  for (int channel = 0; channel < kMusicChannels; ++channel) {
    fluid_synth_cc(synth_, channel, kResetAllControllers, 0);
    // What that reset leaves alone, back to a fresh channel's values.
    for (const auto& [controller, value] : kFreshControllers)
      fluid_synth_cc(synth_, channel, controller, value);
    fluid_synth_pitch_wheel_sens(synth_, channel, 2);
    // Last: a controller change after it would bring back voices in release.
    fluid_synth_all_sounds_off(synth_, channel);
  }
  since_cut_ = 0;
}

void Engine::close_locked() {
  if (!playback_) return;
  if (playback_->player != nullptr) delete_fluid_player(playback_->player);
  playback_.reset();
  playing_.store(0);
}

}  // namespace quillot::audio
