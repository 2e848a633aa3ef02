#pragma once
#include <functional>
#include <string>

#include "audio/music.h"

namespace quillot {

// Where the window sends its music requests: the FluidSynth player in the
// game, a recorder in tests.
class MusicPort {
 public:
  virtual ~MusicPort() = default;
  virtual void play_music(const std::string& name) = 0;
  // The player's volume, 0..100 % in steps of 10, and the mute.
  virtual void set_volume(int /*percent*/, bool /*muted*/) {}
};

class SilentMusic : public MusicPort {
 public:
  void play_music(const std::string&) override {}
};

// The game's music: FluidSynth through the system's sound server.
class SynthMusic : public MusicPort {
 public:
  SynthMusic(const std::string& dat_dir, std::function<bool()> window_shown)
      : music_(dat_dir, std::move(window_shown)) {}
  void play_music(const std::string& name) override { music_.play_music(name); }
  void set_volume(int percent, bool muted) override { music_.set_level(audio::volume_level(percent, muted)); }

 private:
  audio::Music music_;
};

}  // namespace quillot
