#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/module/engine.h"

typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace quillot::audio {

// The sound servers to try, in order: PulseAudio serves most desktops and
// PipeWire's own pulse layer answers for it too; bare ALSA is the last resort.
inline const std::vector<std::string> kDriverOrder = {"pulseaudio", "pipewire", "alsa"};

// The device pulls blocks of kPeriodFrames. FluidSynth's PulseAudio driver
// asks the server to buffer one block, so its size is both the most an effect
// waits between being rendered and being heard (23 ms at 44.1 kHz) and how
// often the machine wakes to render: at 256 frames the game and the server
// together kept a fifth of a core busy on the title, at 1024 well under a
// tenth. ALSA buffers kAlsaPeriods of its own, smaller, blocks: the same 23 ms.
inline constexpr int kPeriodFrames = 1024;
inline constexpr int kAlsaPeriodFrames = 512;
inline constexpr int kAlsaPeriods = 2;

// FluidSynth and ALSA report a missing sound card on stderr, and
// libinstpatch a file that is no SoundFont; music is never essential, so a
// player without them hears silence and reads nothing but the game's own
// one line.
void silence_library_logs();

// The audio device that pulls the engine's music. The first driver that opens
// wins; when none does, the game is silent.
class Output {
 public:
  Output(Engine& engine, const std::vector<std::string>& drivers);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // The driver in use; empty when no device could be opened.
  const std::string& driver() const { return name_; }
  // When the first audible block went to the device (nanoseconds since the
  // epoch); 0 until then.
  int64_t first_sound_ns() const { return first_sound_ns_.load(); }
  // From now on the device gets silence without the engine being asked;
  // returns once no block of the engine's is being rendered for it. A sound
  // server may take seconds to let a stream go: meanwhile another device can
  // already pull the engine.
  void stop_pulling();

 private:
  static int pull(void* data, int frames, int, float*[], int outputs, float* out[]);

  Engine& engine_;
  std::atomic<int64_t> first_sound_ns_{0};
  std::atomic<bool> quiet_{false};
  std::atomic<bool> pulling_{false};
  fluid_audio_driver_t* driver_ = nullptr;
  std::string name_;
};

}  // namespace quillot::audio
