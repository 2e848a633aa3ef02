#pragma once
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the game asks of its music. The synth behind it lives in a module of
// its own, loaded after the window's first paint (its sound libraries would
// otherwise be mapped before main); this header is all the game sees of it.
namespace quillot::audio {

// How much quieter each step of 10 % is. Equal steps in decibels sound
// equally far apart; at 3 dB a step, 50 % lies 15 dB under the full level,
// clearly softer but still music, and 10 % 27 dB under it, quiet but heard in
// a quiet room. (5 dB a step left the lower half of a slider close to silence.)
inline constexpr double kVolumeStepDb = 3.0;

// The factor on the samples for a volume in percent (0..100, steps of 10):
// 100 is the full level, each step down kVolumeStepDb quieter, and 0 or a
// mute is silence.
inline float volume_level(int percent, bool muted) {
  if (muted || percent <= 0) return 0.0F;
  if (percent >= 100) return 1.0F;
  const double steps = (100 - percent) / 10.0;
  return static_cast<float>(std::pow(10.0, -steps * kVolumeStepDb / 20.0));
}

// A paused stage's music plays on, this much quieter, until play resumes.
inline constexpr double kPauseDuckDb = 10.0;

struct MusicStatus {
  bool ready = false;          // the SoundFont loader has finished, with or without a font
  std::string sound_font;      // empty when no SoundFont could be loaded
  std::string driver;          // empty when no audio device was opened
  double load_seconds = 0;     // time spent loading the SoundFont
  std::string track;           // the open track; empty in silence
  int starts = 0;              // playbacks begun, loops included
  int voices = 0;              // synth voices sounding
  int64_t first_sound_ns = 0;  // when the device got its first audible block (since the epoch); 0: not yet
};

// One sound effect: its file, dat_dir/sfx/NAME.wav, and how many of it may
// ring at once (a new one cuts the oldest).
struct EffectFile {
  std::string name;
  int voices = 1;
};

class MusicControl {
 public:
  virtual ~MusicControl() = default;
  // Starts dat_dir/name from its beginning in place of the current track. An
  // empty name does nothing; a name that cannot be played means silence. Never
  // throws, never waits for the SoundFont.
  virtual void play_music(const std::string& name) = 0;
  // The volume as a factor on the samples (see volume_level); at once, and
  // also for a SoundFont still loading.
  virtual void set_level(float level) = 0;
  virtual MusicStatus status() const = 0;
  // Starts an effect, by its place in the list the music was opened with,
  // in the next rendered block; from any thread, never waiting.
  virtual void play_effect(int /*effect*/) {}
  // The effects' own level, as set_level is the music's.
  virtual void set_effects_level(float /*level*/) {}
  // The player's SoundFont, empty for the automatic choice. The current
  // track starts again through it; one that cannot serve is told in one
  // line and the automatic choice plays instead.
  virtual void set_sound_font(const std::string& /*path*/) {}
};

// The module's one entry point, looked up by kOpenMusic: the game's music
// over the tracks in dat_dir, through the system's SoundFonts and sound
// servers, with the effects mixed over it; window_shown is asked when a track
// ends, which loops only while it is true; sound_font is the player's
// SoundFont, empty for the automatic choice. Called on the GUI thread, which
// must run a Qt event loop.
using OpenMusic = MusicControl* (*)(const std::string& dat_dir, std::function<bool()> window_shown,
                                    const std::vector<EffectFile>& effects, const std::string& sound_font);
// Named with its version: a module of another build is refused by name
// rather than called with arguments it does not expect.
inline constexpr char kOpenMusic[] = "quillot_open_music_2";
// The module's file name.
inline constexpr char kMusicModule[] = "quillot-audio.so";

}  // namespace quillot::audio
