#pragma once
#include <functional>
#include <memory>
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

// The game's music: FluidSynth through the system's sound server. Nothing of
// it exists until start(): the window asks for its first track while it is
// built, and that track begins once the synth is there.
class SynthMusic : public MusicPort {
 public:
  SynthMusic(std::string dat_dir, std::function<bool()> window_shown)
      : dat_dir_(std::move(dat_dir)), window_shown_(std::move(window_shown)) {}

  // Loads the synth and its SoundFont on a thread of their own and plays the
  // last track asked for. Later calls do nothing.
  void start() {
    if (music_) return;
    music_ = std::make_unique<audio::Music>(dat_dir_, std::move(window_shown_));
    music_->set_level(level_);
    if (!pending_.empty()) music_->play_music(pending_);
    pending_.clear();
  }

  void play_music(const std::string& name) override {
    if (music_) {
      music_->play_music(name);
    } else if (!name.empty()) {
      pending_ = name;
    }
  }
  void set_volume(int percent, bool muted) override {
    level_ = audio::volume_level(percent, muted);
    if (music_) music_->set_level(level_);
  }

 private:
  std::string dat_dir_;
  std::function<bool()> window_shown_;
  std::string pending_;
  float level_ = 1.0F;
  std::unique_ptr<audio::Music> music_;
};

}  // namespace quillot
