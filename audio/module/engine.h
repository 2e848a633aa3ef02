#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/module/effects.h"
#include "audio/module/midi_file.h"

// The FluidSynth handles stay out of every header but this one.
typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace quillot::audio {

// The synthesizer with its one MIDI player. render() runs on the audio
// device's thread while tracks are started and presets read on the music's
// loader thread, so one lock covers the synth and the player, and every call
// into FluidSynth is made under it. (FluidSynth must not have a player
// deleted while another thread renders the synth.) render() only ever tries
// the lock; the other calls wait for it, and belong off the window's thread.
class Engine {
 public:
  explicit Engine(double gain);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Loads the first candidate that is readable and really is a SoundFont.
  // Returns its path, or an empty string when none loads; what was wrong
  // with the others is told on stderr (see report_sound_fonts). Call before
  // the first render().
  // A font loaded before is let go first, with every preset pinned from it.
  std::string load_sound_font(const std::vector<std::string>& candidates);
  // Loads this one font (letting go of any loaded before); what is wrong with
  // it, in a few words to follow its name, or empty when it loaded. Says
  // nothing on stderr.
  std::string try_sound_font(const std::string& path);
  // The distribution's default General MIDI font as FluidSynth was built to
  // know it; empty when it knows none.
  std::string default_sound_font() const;

  // Reads the samples of this preset of the loaded font and keeps them in
  // memory from now on, so that no program change has to wait for the disk.
  // The engine is held while FluidSynth reads: its player sends notes through
  // calls that wait for the synth's own lock, which the read holds, so the
  // rendering thread must not get into the synth meanwhile. It renders
  // silence instead, and the track should be stopped before its presets are
  // read: one preset at a time, so each hold is one preset's read.
  void pin(const Preset& preset);
  void pin(const std::vector<Preset>& presets) {
    for (const Preset& preset : presets) pin(preset);
  }
  // Whether every one of these presets has been pinned (or the font has none
  // of them: there is nothing to read).
  bool pinned(const std::vector<Preset>& presets) const;

  // The last playback that has sent its last event (and played for at least
  // a moment); 0 until one has. Set by the rendering thread, which must not
  // call into the window's toolkit: the window polls it.
  uint64_t ended() const { return ended_.load(); }

  // Closes the current playback, silences and resets the music's channels at
  // once and plays the track from its beginning. Returns the new playback's id.
  uint64_t start(std::shared_ptr<const Track> track);
  // Plays the current track again from its beginning. Notes still sounding
  // are released, not cut, so the last chord rings into the first bar.
  uint64_t restart();
  // Closes the current playback and silences every channel at once.
  void stop();

  // The playback that reports would be about; 0 when nothing is open.
  uint64_t playback() const { return playing_.load(); }
  // The synth's voices sounding after the last block it rendered.
  int active_voices() const { return voices_.load(); }

  // Effects mixed over the music in every block from now on; null for none.
  // They must outlive the engine. Sounds asked for before are dropped.
  void set_effects(Effects* effects) {
    if (effects != nullptr) effects->drop_pending();
    effects_.store(effects);
  }

  // Adds the next frames of music, and of the effects, to the two buffers
  // (stereo, 44.1 kHz). Never waits: while another thread holds the engine
  // (a track being cut or a preset read) the music of this block is
  // silence, and the effects sound all the same. Allocates nothing.
  void render(int frames, float* left, float* right);

  // Holds the engine, as a track cut or a preset's read does, for as long as
  // the returned lock lives: for tests and benchmarks of render().
  std::unique_lock<std::mutex> hold() { return std::unique_lock(mutex_); }

  // The player's volume as a factor on the rendered samples, 0 (silent) to 1
  // (full level). Takes effect on the next rendered block; the synth and the
  // player run on at any level, so a silenced track keeps its place.
  void set_level(float level) { level_.store(level); }

  // For the audio device, which must run at the synth's rate.
  fluid_settings_t* settings() const { return settings_; }

 private:
  struct Playback;
  static int on_tick(void* data, int tick);
  uint64_t open_locked(bool cut_sounds);
  void close_locked();
  void silence_locked();
  void render_music_locked(int frames, float* left, float* right);
  // Lets go of the loaded font, if any; the engine held.
  void unload_font_locked();
  // Loads a font that passed its check; the engine held. False when FluidSynth refuses it.
  bool load_font_locked(const std::string& path);

  mutable std::mutex mutex_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  int sample_rate_ = 44100;
  std::atomic<int> font_id_{-1};
  mutable std::mutex pins_mutex_;  // only for pinned_, never held while reading samples
  std::vector<Preset> pinned_;
  std::atomic<uint64_t> ended_{0};
  std::atomic<uint64_t> playing_{0};
  std::atomic<int> voices_{0};
  std::shared_ptr<const Track> track_;
  std::unique_ptr<Playback> playback_;
  uint64_t next_id_ = 0;
  std::atomic<float> level_{1.0F};
  std::atomic<Effects*> effects_{nullptr};
  int64_t since_cut_ = 0;  // frames rendered since the last cut, counted up to the end of the echoes' fade
  // One block at a lowered level, sized once: the rendering thread never allocates.
  std::vector<float> scratch_;
};

}  // namespace quillot::audio
