#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/module/effects.h"
#include "audio/module/midi_file.h"
#include "audio/music_control.h"

namespace quillot::audio {

class Engine;

// The synth's master gain. With the system's General MIDI fonts it puts the
// tracks between -20 and -28 dBFS RMS with peaks 3 dB or more below full
// scale: background music, and never clipping.
inline constexpr double kMusicGain = 0.45;

struct MusicOptions {
  // The player's SoundFont, tried first; empty for the automatic choice.
  std::string chosen_font;
  // The automatic choice: tried in order, then, with fluid_default,
  // FluidSynth's own default.
  std::vector<std::string> sound_fonts;
  bool fluid_default = false;
  // Tried in order. Empty: no device is opened and the owner pulls the music
  // with Music::render (tests, offline use).
  std::vector<std::string> drivers;
  // Without a device, play_music returns once the loader has started the
  // track (the SoundFont being in), so the owner's next block has it: pulled
  // by its owner, the music has no deadline to keep. Off, it returns at once
  // as with a device (tests of the loader itself).
  bool wait_for_loader = true;
  // Reads one preset's samples for a track about to start; null: the
  // engine's own Engine::pin. Runs on the loader thread.
  std::function<void(Engine&, const Preset&)> pin;
  double gain = kMusicGain;
  // Mixed over the music in the same output; null for none.
  std::shared_ptr<Effects> effects;
};

// The system's SoundFonts and sound servers, as the game uses them.
MusicOptions default_music_options();

// The background music: one track at a time, looped while the window is shown.
// One loader thread makes every FluidSynth call but the rendering: it loads
// the SoundFont, then takes the wishes the GUI thread posts (a track, a loop)
// one at a time, the latest replacing any not yet taken, so nothing the GUI
// does waits for the synth or the disk. The GUI thread, which created the
// music, must run a Qt event loop for the loops to happen: it looks for a
// track's end there.
class Music : public MusicControl {
 public:
  // dat_dir: folder holding the tracks. window_shown: asked when a track ends; it loops only while true.
  Music(std::string dat_dir, std::function<bool()> window_shown);
  Music(std::string dat_dir, std::function<bool()> window_shown, MusicOptions options);
  ~Music() override;
  Music(const Music&) = delete;
  Music& operator=(const Music&) = delete;

  // Starts dat_dir/name from its beginning in place of the current track. An
  // empty name does nothing; a name that cannot be played means silence. Never
  // throws, never waits for the SoundFont.
  void play_music(const std::string& name) override;

  MusicStatus status() const override;
  // Whether the loader has done every wish posted so far (tests, benchmarks).
  bool settled() const;

  // The volume as a factor on the samples (see volume_level); at once, and
  // also for a SoundFont still loading.
  void set_level(float level) override;
  void play_effect(int effect) override;
  void set_effects_level(float level) override;
  void set_sound_font(const std::string& path) override;

  // Mixes the next frames of music into the two buffers (stereo, 44.1 kHz).
  // Only for a Music without an audio device, which otherwise pulls the music itself.
  void render(int frames, float* left, float* right);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillot::audio
