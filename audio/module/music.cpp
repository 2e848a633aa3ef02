#include "audio/module/music.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "audio/module/engine.h"
#include "audio/module/midi_file.h"
#include "audio/module/output.h"
#include "audio/module/sound_font.h"
#include "files/settings_file.h"

namespace quillot::audio {
namespace {

using Clock = std::chrono::steady_clock;

// How often the GUI thread looks for a track's end: a loop starts at most
// this much late, after a track that ends in its own reverb anyway.
constexpr int kEndPollMs = 20;

// A font's name as a line on the terminal quotes it: the player's to choose, so it may be anything.
constexpr size_t kMaxNameBytes = 200;

}  // namespace

MusicOptions default_music_options() {
  MusicOptions options;
  options.sound_fonts = sound_font_candidates();
  options.fluid_default = true;
  options.drivers = kDriverOrder;
  return options;
}

struct Music::Impl {
  // Declared first so that it goes last: its destruction drops every report
  // still queued for it, and stops the poll for a track's end.
  QObject context;

  std::string dat_dir;
  std::function<bool()> window_shown;
  MusicOptions options;

  // What the GUI asks of the loader. Only the latest counts: a newer wish
  // replaces one not yet taken, and a track whose presets are still being
  // read stops being read.
  struct Wish {
    enum class Kind { kStart, kRestart, kStop } kind = Kind::kStop;
    std::string name;                    // kStart: read by the loader, off the window's thread
    uint64_t playback = 0;               // kRestart: only while this one is open
  };

  mutable std::mutex mutex;      // everything below, except the loader thread itself
  std::condition_variable wake;  // for the loader: a wish, or closing
  std::condition_variable done;  // for the GUI: a wish handled, or the font in
  // Set once by the loader; from then on the loader alone calls into it,
  // besides the rendering thread.
  std::unique_ptr<Engine> engine;
  std::unique_ptr<Output> output;
  std::optional<Wish> wish;
  // A SoundFont the player chose since the last was loaded; empty: automatic.
  std::optional<std::string> font_wish;
  bool changing_font = false;
  uint64_t posted = 0;   // wishes posted
  uint64_t handled = 0;  // the last one the loader is done with
  bool loaded = false;   // the SoundFont loaded, or found missing
  bool has_font = false;
  bool ready = false;    // loaded, and the wishes posted meanwhile done; stays so
  std::string track;     // the track last asked for; empty after one that cannot play
  std::string sound_font;
  double load_seconds = 0;
  int starts = 0;
  float level = 1.0F;
  float effects_level = 1.0F;
  bool closing = false;
  uint64_t end_seen = 0;         // the last end report handled (GUI thread)
  uint64_t end_queued = 0;       // the last one a pulled block queued a look for (owner's thread)

  std::thread loader;
  std::thread closer;  // lets a stopped device go; owned by the loader thread
  bool told_no_device = false;  // the loader thread's

  void run();
  void load();
  // Loads the player's font, or the automatic choice; its path, or empty for none.
  std::string load_font(Engine& synth, const std::string& chosen);
  void change_font(const std::string& chosen);
  void handle(const Wish& wish, uint64_t serial);
  void start(const std::string& name, uint64_t serial);
  bool wanted(uint64_t serial);
  void post_locked(std::unique_lock<std::mutex>& lock, Wish next);
  // Whether a device should be pulling: not while every sound is muted, when
  // the stream would only wake the machine to render silence.
  bool device_wanted() const { return !options.drivers.empty() && (level > 0 || effects_level > 0); }
  bool device_due() const { return loaded && engine && device_wanted() != (output != nullptr); }
  // Opens or closes the device as device_wanted() says; on the loader thread.
  void sync_device(std::unique_lock<std::mutex>& lock);
  void poll_end();
  void on_track_end(uint64_t playback);
};

void Music::Impl::run() {
  load();
  std::unique_lock lock(mutex);
  while (true) {
    if (!wish) ready = true;
    wake.wait(lock, [this] { return closing || wish || font_wish || device_due(); });
    if (closing) break;
    if (device_due()) {
      sync_device(lock);
      continue;
    }
    if (font_wish) {
      const std::string chosen = std::move(*font_wish);
      font_wish.reset();
      changing_font = true;
      lock.unlock();
      change_font(chosen);
      lock.lock();
      changing_font = false;
      done.notify_all();
      continue;
    }
    const Wish next = std::move(*wish);
    wish.reset();
    const uint64_t serial = posted;
    lock.unlock();
    handle(next, serial);
    lock.lock();
    handled = serial;
    done.notify_all();
  }
}

bool Music::Impl::wanted(uint64_t serial) {
  std::lock_guard lock(mutex);
  return !closing && posted == serial;
}

void Music::Impl::handle(const Wish& next, uint64_t serial) {
  switch (next.kind) {
    case Wish::Kind::kStop:
      engine->stop();
      return;
    case Wish::Kind::kRestart:
      if (has_font && engine->playback() == next.playback && engine->restart() != 0) {
        std::lock_guard lock(mutex);
        ++starts;
      }
      return;
    case Wish::Kind::kStart:
      start(next.name, serial);
      return;
  }
}

void Music::Impl::start(const std::string& name, uint64_t serial) {
  std::shared_ptr<const Track> asked;
  try {
    if (auto read = load_track(dat_dir, name)) asked = std::make_shared<const Track>(std::move(*read));
  } catch (...) {
    // Music is never essential: a track that cannot be read is silence.
  }
  if (!asked) {
    // The old track is closed though the new one cannot open.
    engine->stop();
    std::lock_guard lock(mutex);
    if (posted == serial) track.clear();
    return;
  }
  // Without a SoundFont a track is silence: asking for one only names it.
  if (!has_font) return;
  const auto& presets = asked->info.presets;
  if (!engine->pinned(presets)) {
    // The old track ends before any sample is read: its notes would reach the
    // synth while a read holds it. The device renders silence meanwhile.
    engine->stop();
    for (const Preset& preset : presets) {
      // A track no longer wanted is not read on: the player has moved on.
      if (!wanted(serial)) return;
      if (engine->pinned({preset})) continue;
      if (options.pin) {
        options.pin(*engine, preset);
      } else {
        engine->pin(preset);
      }
    }
    if (!wanted(serial)) return;
  }
  if (engine->start(std::move(asked)) != 0) {
    std::lock_guard lock(mutex);
    ++starts;
  }
}

void Music::Impl::post_locked(std::unique_lock<std::mutex>& lock, Wish next) {
  wish = std::move(next);
  const uint64_t serial = ++posted;
  wake.notify_all();
  if (!options.drivers.empty() || !options.wait_for_loader || !loaded) return;
  done.wait(lock, [&] { return closing || handled >= serial; });
}

void Music::Impl::load() {
  const auto begin = Clock::now();
  auto fresh = std::make_unique<Engine>(options.gain);
  std::string chosen;
  {
    std::lock_guard lock(mutex);
    chosen = font_wish.value_or(options.chosen_font);
    font_wish.reset();
  }
  const std::string font = load_font(*fresh, chosen);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  const bool pulled = options.drivers.empty();
  // Pulled by its owner, the effects sound from the owner's first block.
  if (pulled) fresh->set_effects(options.effects.get());

  {
    std::lock_guard lock(mutex);
    sound_font = font;
    load_seconds = seconds;
    has_font = !font.empty();
    fresh->set_level(level);
    // Published with or without a SoundFont: the effects are our own samples
    // and need none.
    engine = std::move(fresh);
    loaded = true;
    done.notify_all();
    if (closing || pulled) return;
  }
  // Opened before the first track's samples are read: the sound server
  // settles in while they load.
  std::unique_lock lock(mutex);
  if (device_due()) sync_device(lock);
}

std::string Music::Impl::load_font(Engine& synth, const std::string& chosen) {
  if (!chosen.empty()) {
    const std::string fault = synth.try_sound_font(chosen);
    if (fault.empty()) return chosen;
    std::fprintf(stderr, "quillot: the chosen SoundFont %s %s; the automatic choice plays instead\n",
                 one_line(chosen, kMaxNameBytes).c_str(), fault.c_str());
  }
  std::vector<std::string> automatic = options.sound_fonts;
  // Where the distribution keeps its default elsewhere, FluidSynth knows it.
  const std::string fluid_default = options.fluid_default ? synth.default_sound_font() : std::string();
  if (!fluid_default.empty() && std::find(automatic.begin(), automatic.end(), fluid_default) == automatic.end())
    automatic.push_back(fluid_default);
  return synth.load_sound_font(automatic);
}

void Music::Impl::change_font(const std::string& chosen) {
  // Nothing of the old font may sound or be asked for while it goes.
  engine->stop();
  const auto begin = Clock::now();
  const std::string font = load_font(*engine, chosen);
  std::string name;
  uint64_t serial = 0;
  {
    std::lock_guard lock(mutex);
    sound_font = font;
    has_font = !font.empty();
    load_seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    // The track of the moment starts again through the new font, unless
    // another is already asked for.
    if (wish) return;
    name = track;
    serial = posted;
  }
  if (!name.empty()) start(name, serial);
}

void Music::Impl::sync_device(std::unique_lock<std::mutex>& lock) {
  Engine& synth = *engine;
  if (output == nullptr) {
    lock.unlock();
    auto device = std::make_unique<Output>(synth, options.drivers);
    if (device->driver().empty() && !told_no_device) {
      // Said once a run: a stream stopped and opened again by the mute would say it again.
      told_no_device = true;
      std::string tried;
      for (const auto& name : options.drivers) tried += (tried.empty() ? "" : ", ") + name;
      std::fprintf(stderr, "quillot: no sound device could be opened (tried %s); the game plays without sound\n",
                   tried.c_str());
    }
    // Only now that blocks are pulled: effects asked for while the device
    // opened (which can take a while) would otherwise all sound in its first block.
    synth.set_effects(options.effects.get());
    lock.lock();
    output = std::move(device);
    return;
  }
  // Everything is muted: the stream stops, and with it the wake-ups for
  // every block. The track waits where it was until a sound is heard again.
  std::unique_ptr<Output> device = std::move(output);
  lock.unlock();
  device->stop_pulling();
  synth.set_effects(nullptr);
  // The server can take two seconds to let the stream go; a sound wanted
  // again meanwhile opens a new one at once.
  if (closer.joinable()) closer.join();
  closer = std::thread([gone = std::move(device)]() mutable { gone.reset(); });
  lock.lock();
}

void Music::Impl::poll_end() {
  uint64_t ended = 0;
  {
    std::lock_guard lock(mutex);
    if (!engine) return;
    ended = engine->ended();
    if (ended == 0 || ended == end_seen) return;
    end_seen = ended;
  }
  on_track_end(ended);
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
  std::unique_lock lock(mutex);
  // Asked again: window_shown() may itself have started another track, and
  // a wish not yet handled is newer than this end.
  if (wish || handled != posted || engine->playback() != playback) return;
  post_locked(lock, Wish{Wish::Kind::kRestart, {}, playback});
}

Music::Music(std::string dat_dir, std::function<bool()> window_shown)
    : Music(std::move(dat_dir), std::move(window_shown), default_music_options()) {}

Music::Music(std::string dat_dir, std::function<bool()> window_shown, MusicOptions options)
    : impl_(std::make_unique<Impl>()) {
  silence_library_logs();
  impl_->dat_dir = std::move(dat_dir);
  impl_->window_shown = std::move(window_shown);
  impl_->options = std::move(options);
  impl_->effects_level = impl_->options.effects ? impl_->options.effects->level() : 0.0F;
  if (!impl_->options.drivers.empty()) {
    // The device's thread only notes a track's end; the GUI thread looks.
    auto* poll = new QTimer(&impl_->context);
    QObject::connect(poll, &QTimer::timeout, &impl_->context, [impl = impl_.get()] { impl->poll_end(); });
    poll->start(kEndPollMs);
  }
  try {
    impl_->loader = std::thread([impl = impl_.get()] {
      try {
        impl->run();
      } catch (...) {
        std::lock_guard lock(impl->mutex);
        impl->loaded = true;
        impl->ready = true;
        impl->closing = true;  // nobody takes wishes any more
        impl->done.notify_all();
      }
    });
  } catch (...) {
    // No thread, no music; the game goes on.
    impl_->loaded = true;
    impl_->ready = true;
    impl_->closing = true;
  }
}

Music::~Music() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->closing = true;
  }
  impl_->wake.notify_all();
  if (impl_->loader.joinable()) impl_->loader.join();
  if (impl_->closer.joinable()) impl_->closer.join();
  // The device's thread renders the engine, so it stops first.
  impl_->output.reset();
  impl_->engine.reset();
}

void Music::play_music(const std::string& name) {
  if (name.empty()) return;
  try {
    std::unique_lock lock(impl_->mutex);
    // Named at once; the loader clears the name of a track that cannot play.
    impl_->track = name;
    impl_->post_locked(lock, Impl::Wish{Impl::Wish::Kind::kStart, name, 0});
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
  status.track = impl_->track;
  return status;
}

bool Music::settled() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->ready && (impl_->closing || (!impl_->wish && impl_->handled == impl_->posted &&
                                              !impl_->font_wish && !impl_->changing_font));
}

void Music::set_level(float level) {
  std::lock_guard lock(impl_->mutex);
  impl_->level = level;
  if (impl_->engine) impl_->engine->set_level(level);
  if (impl_->device_due()) impl_->wake.notify_all();
}

void Music::render(int frames, float* left, float* right) {
  Engine* engine = nullptr;
  {
    std::lock_guard lock(impl_->mutex);
    engine = impl_->engine.get();
  }
  if (engine == nullptr) return;
  // Outside the music's lock, as a device renders: once published, the
  // engine stays until the music goes.
  engine->render(frames, left, right);
  // On the owner's thread, not the device's: the look for the end may be
  // queued here, once for each end, to come when the owner lets events through.
  const uint64_t ended = engine->ended();
  if (ended != 0 && ended != impl_->end_queued) {
    impl_->end_queued = ended;
    QMetaObject::invokeMethod(
        &impl_->context, [impl = impl_.get()] { impl->poll_end(); }, Qt::QueuedConnection);
  }
}

// The effects live as long as the music and are mixed by its engine, with or
// without a SoundFont, once its device pulls blocks; those asked for before
// are dropped.
void Music::play_effect(int effect) {
  if (impl_->options.effects) impl_->options.effects->play(effect);
}

void Music::set_sound_font(const std::string& path) {
  std::lock_guard lock(impl_->mutex);
  impl_->font_wish = path;
  impl_->wake.notify_all();
}

void Music::set_effects_level(float level) {
  if (impl_->options.effects) impl_->options.effects->set_level(level);
  std::lock_guard lock(impl_->mutex);
  // Without effects to play, only the music's level decides whether anything sounds.
  impl_->effects_level = impl_->options.effects ? level : 0.0F;
  if (impl_->device_due()) impl_->wake.notify_all();
}

}  // namespace quillot::audio
