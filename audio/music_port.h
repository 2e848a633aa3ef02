#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "audio/music_control.h"
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
  // A paused stage: the music plays on, quieter, until `ducked` is false again.
  virtual void set_ducked(bool /*ducked*/) {}
  // The sound effects: one to play now, and their own volume beside the music's.
  virtual void play_effect(Sound /*sound*/) {}
  virtual void set_effects_volume(int /*percent*/, bool /*muted*/) {}
  // The player's General MIDI SoundFont, empty for the automatic choice; the
  // music of the moment starts again through it.
  virtual void set_sound_font(const std::string& /*path*/) {}
  // The SoundFont the music plays through; empty when none (or not yet known).
  virtual std::string sound_font_in_use() const { return {}; }
};

class SilentMusic : public MusicPort {
 public:
  void play_music(const std::string&) override {}
};

// The game's music and effects: FluidSynth through the system's sound server,
// the effects mixed over it in the same output, in a module opened by start().
// Until then nothing of it exists: the window asks for its first track while
// it is built, and that track begins once the synth is there. Without the
// module, or when it cannot be opened, the game is silent and says why in
// one line on stderr.
class SynthMusic : public MusicPort {
 public:
  // module: the module's file; empty for the one installed with the program
  // (or beside it in a build tree).
  SynthMusic(std::string dat_dir, std::function<bool()> window_shown, std::string module = {});
  ~SynthMusic() override;
  SynthMusic(const SynthMusic&) = delete;
  SynthMusic& operator=(const SynthMusic&) = delete;

  // Opens the module, which loads the synth and its SoundFont on a thread of
  // its own and plays the last track asked for. Later calls do nothing.
  void start();

  void play_music(const std::string& name) override;
  void set_volume(int percent, bool muted) override;
  void set_ducked(bool ducked) override;
  void play_effect(Sound sound) override;
  void set_effects_volume(int percent, bool muted) override;
  void set_sound_font(const std::string& path) override;
  std::string sound_font_in_use() const override { return status().sound_font; }
  // What the module reports (first_sound_ns: when the sound server got the
  // first audible music); all empty without a module.
  audio::MusicStatus status() const;

 private:
  std::string dat_dir_;
  std::string module_;
  std::function<bool()> window_shown_;
  bool started_ = false;
  std::string pending_;
  std::string sound_font_;
  // The level the volume asks for, and the one heard (less while ducked).
  float level_ = 1.0F;
  bool ducked_ = false;
  float heard_level() const;
  float effects_level_ = 1.0F;
  std::unique_ptr<audio::MusicControl> music_;
};

}  // namespace quillot
