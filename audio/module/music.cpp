#include "audio/module/music.h"

#include <QMetaObject>
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "audio/module/engine.h"
#include "audio/module/midi_file.h"
#include "audio/module/output.h"
#include "audio/module/sound_font.h"

namespace quillot::audio {
namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

MusicOptions default_music_options() {
  MusicOptions options;
  options.sound_fonts = sound_font_candidates();
  options.drivers = kDriverOrder;
  return options;
}

struct Music::Impl {
  // Declared first so that it goes last: its destruction drops every report
  // still queued for it.
  QObject context;

  std::string dat_dir;
  std::function<bool()> window_shown;
  MusicOptions options;

  mutable std::mutex mutex;      // everything below, except the loader thread itself
  std::condition_variable wake;  // for the loader: a pending track, or closing
  std::unique_ptr<Engine> engine;
  std::unique_ptr<Output> output;
  // The track asked for last, while its presets are not in memory yet (or the
  // SoundFont is not): the loader reads them, then starts it.
  std::shared_ptr<const Track> pending;
  bool ready = false;
  std::string sound_font;
  double load_seconds = 0;
  int starts = 0;
  float level = 1.0F;
  bool closing = false;

  std::thread loader;

  void run();
  void load();
  void start_locked(std::shared_ptr<const Track> track);
  void on_track_end(uint64_t playback);
};

void Music::Impl::run() {
  load();
  std::unique_lock lock(mutex);
  // Ready once the first track asked for has started (or none was asked for).
  while (engine) {
    if (!pending) {
      ready = true;
      wake.wait(lock, [this] { return closing || pending; });
    }
    if (closing) break;
    const auto track = pending;
    lock.unlock();
    // Nothing plays meanwhile (play_music stopped the last track), so no
    // event of the rendering thread waits for the synth while it reads; the
    // device renders silence on alone.
    engine->pin(track->info.presets);
    lock.lock();
    if (pending == track) start_locked(std::move(pending));
  }
  ready = true;
}

void Music::Impl::load() {
  const auto begin = Clock::now();
  auto fresh = std::make_unique<Engine>(options.gain);
  const std::string font = fresh->load_sound_font(options.sound_fonts);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  fresh->set_effects(options.effects.get());
  // Runs on the audio thread: only a queued call may cross to the GUI thread.
  fresh->set_end_handler([this](uint64_t playback) {
    QMetaObject::invokeMethod(
        &context, [this, playback] { on_track_end(playback); }, Qt::QueuedConnection);
  });

  Engine* published = nullptr;
  {
    std::lock_guard lock(mutex);
    sound_font = font;
    load_seconds = seconds;
    if (font.empty()) return;
    fresh->set_level(level);
    engine = std::move(fresh);
    published = engine.get();
    if (closing || options.drivers.empty()) return;
  }
  // Opened before the first track's samples are read: the sound server
  // settles in while they load.
  auto device = std::make_unique<Output>(*published, options.drivers);
  std::lock_guard lock(mutex);
  output = std::move(device);
}

void Music::Impl::start_locked(std::shared_ptr<const Track> track) {
  pending.reset();
  if (engine->start(std::move(track)) != 0) ++starts;
}

void Music::Impl::on_track_end(uint64_t playback) {
  {
    std::lock_guard lock(mutex);
    if (!engine || engine->playback() != playback) return;  // cut short by a later track
  }
  bool shown = false;
  try {
    shown = window_shown && window_shown();
  } catch (...) {
    return;
  }
  if (!shown) return;
  std::lock_guard lock(mutex);
  // Asked again: window_shown() may itself have started another track.
  if (engine->playback() == playback && engine->restart() != 0) ++starts;
}

Music::Music(std::string dat_dir, std::function<bool()> window_shown)
    : Music(std::move(dat_dir), std::move(window_shown), default_music_options()) {}

Music::Music(std::string dat_dir, std::function<bool()> window_shown, MusicOptions options)
    : impl_(std::make_unique<Impl>()) {
  silence_library_logs();
  impl_->dat_dir = std::move(dat_dir);
  impl_->window_shown = std::move(window_shown);
  impl_->options = std::move(options);
  try {
    impl_->loader = std::thread([impl = impl_.get()] {
      try {
        impl->run();
      } catch (...) {
        std::lock_guard lock(impl->mutex);
        impl->ready = true;
      }
    });
  } catch (...) {
    // No thread, no music; the game goes on.
    impl_->ready = true;
  }
}

Music::~Music() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->closing = true;
  }
  impl_->wake.notify_all();
  if (impl_->loader.joinable()) impl_->loader.join();
  // The device's thread renders the engine, so it stops first.
  impl_->output.reset();
  impl_->engine.reset();
}

void Music::play_music(const std::string& name) {
  if (name.empty()) return;
  try {
    auto track = load_track(impl_->dat_dir, name);
    std::lock_guard lock(impl_->mutex);
    if (!track) {
      // The old track was closed before the new one failed to open.
      impl_->pending.reset();
      if (impl_->engine) impl_->engine->stop();
      return;
    }
    auto shared = std::make_shared<const Track>(std::move(*track));
    // Pulled by its owner, the music has no deadline to keep: the samples are
    // read at once, here, and the track starts as asked.
    if (impl_->engine && impl_->options.drivers.empty()) impl_->engine->pin(shared->info.presets);
    if (impl_->engine && impl_->engine->pinned(shared->info.presets)) {
      impl_->start_locked(std::move(shared));
      return;
    }
    impl_->pending = std::move(shared);
    if (impl_->engine) {
      // The old track ends now rather than when the new one is ready: its
      // events would wait for the synth while the loader reads samples.
      impl_->engine->stop();
      impl_->wake.notify_all();
    }
  } catch (...) {
    // Music is never essential: whatever went wrong, the game goes on.
  }
}

MusicStatus Music::status() const {
  std::lock_guard lock(impl_->mutex);
  MusicStatus status;
  status.ready = impl_->ready;
  status.sound_font = impl_->sound_font;
  status.driver = impl_->output ? impl_->output->driver() : std::string();
  status.first_sound_ns = impl_->output ? impl_->output->first_sound_ns() : 0;
  status.load_seconds = impl_->load_seconds;
  status.starts = impl_->starts;
  if (impl_->engine) status.voices = impl_->engine->active_voices();
  if (impl_->pending) {
    status.track = impl_->pending->name;
  } else if (impl_->engine) {
    status.track = impl_->engine->track_name();
  }
  return status;
}

void Music::set_level(float level) {
  std::lock_guard lock(impl_->mutex);
  impl_->level = level;
  if (impl_->engine) impl_->engine->set_level(level);
}

void Music::render(int frames, float* left, float* right) {
  std::lock_guard lock(impl_->mutex);
  if (impl_->engine) impl_->engine->render(frames, left, right);
}

// The effects live as long as the music and are mixed by its engine once one
// is loaded; until then they wait silently.
void Music::play_effect(int effect) {
  if (impl_->options.effects) impl_->options.effects->play(effect);
}

void Music::set_effects_level(float level) {
  if (impl_->options.effects) impl_->options.effects->set_level(level);
}

}  // namespace quillot::audio
