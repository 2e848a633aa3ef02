#pragma once
#include <functional>
#include <string>

#include "app/sound_effects.h"
#include "audio/music.h"
#include "game/sound.h"

namespace quillot {

// Where the window sends its music requests: the FluidSynth player in the
// game, a recorder in tests.
class MusicPort {
 public:
  virtual ~MusicPort() = default;
  virtual void play_music(const std::string& name) = 0;
  // The player's volume, 0..100 % in steps of 10, and the mute.
  virtual void set_volume(int /*percent*/, bool /*muted*/) {}
  // The sound effects: one to play now, and their own volume beside the music's.
  virtual void play_effect(Sound /*sound*/) {}
  virtual void set_effects_volume(int /*percent*/, bool /*muted*/) {}
};

class SilentMusic : public MusicPort {
 public:
  void play_music(const std::string&) override {}
};

// The game's music and effects: FluidSynth through the system's sound
// server, the effects mixed over it in the same output.
class SynthMusic : public MusicPort {
 public:
  SynthMusic(const std::string& dat_dir, std::function<bool()> window_shown)
      : effects_(load_sound_effects(dat_dir)), music_(dat_dir, std::move(window_shown), options(effects_)) {}
  void play_music(const std::string& name) override { music_.play_music(name); }
  void set_volume(int percent, bool muted) override { music_.set_level(audio::volume_level(percent, muted)); }
  void play_effect(Sound sound) override { effects_->play(static_cast<int>(sound)); }
  void set_effects_volume(int percent, bool muted) override {
    effects_->set_level(audio::volume_level(percent, muted));
  }

 private:
  static audio::MusicOptions options(std::shared_ptr<audio::Effects> effects) {
    audio::MusicOptions o = audio::default_music_options();
    o.effects = std::move(effects);
    return o;
  }
  std::shared_ptr<audio::Effects> effects_;
  audio::Music music_;
};

}  // namespace quillot
