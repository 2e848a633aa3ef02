#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/music_control.h"

namespace quillot::audio {

// One short sound, ready to mix: mono samples at the output's rate (44.1 kHz),
// and how many of it may sound at once.
struct EffectSample {
  std::vector<float> frames;
  int voices = 1;
};

// Larger than any effect we make (a few seconds); a bigger file is not ours.
inline constexpr std::size_t kMaxEffectBytes = 1u << 20;

// Reads a WAV file of 16-bit PCM at 44.1 kHz, mono or stereo (mixed to mono).
// A missing, oversized, malformed or differently made file gives nullopt: the
// files in dat/ can be replaced by anyone, and a bad one means silence.
std::optional<std::vector<float>> load_wav(const std::string& path);

// The sound effects, pre-rendered and mixed on top of the music in the one
// output callback, at their own level. play() may be called from any thread
// and never waits for the audio thread; render() belongs to the audio thread.
// Starting a sound is noted in an atomic counter that the next render() picks
// up, so an effect's first sample is in the first block rendered after it.
class Effects {
 public:
  static constexpr int kMaxKinds = 32;
  // Fading out a voice that is cut takes this long (2 ms), so the cut does not click.
  static constexpr int kFadeFrames = 88;

  explicit Effects(std::vector<EffectSample> kinds);
  Effects(const Effects&) = delete;
  Effects& operator=(const Effects&) = delete;

  // Starts the kind's sound at the next block. When all its voices are busy,
  // the oldest of them fades out to make room. An unknown kind, or one with no
  // sample, does nothing.
  void play(int kind);

  // Forgets the starts not yet rendered: sounds asked for while no device was
  // pulling would otherwise all burst out together once one does.
  void drop_pending();

  // A factor on every effect's samples, 0 (silent) to 1; from the next block.
  void set_level(float level) { level_.store(level); }
  float level() const { return level_.load(); }

  // Adds the next frames of every sounding effect to the two buffers.
  void render(int frames, float* left, float* right);

  // Voices sounding after the last render (for tests and benchmarks).
  int sounding() const { return sounding_.load(); }
  int kinds() const { return static_cast<int>(kinds_.size()); }

 private:
  struct Voice {
    int kind = -1;  // -1: free
    std::size_t pos = 0;
    int fade = 0;      // frames left of a fade-out; 0 when playing on
    uint64_t age = 0;  // when it started; the lowest is the oldest
  };
  void start(int kind);

  std::vector<EffectSample> kinds_;
  std::array<std::atomic<uint32_t>, kMaxKinds> pending_{};
  std::atomic<float> level_{1.0F};
  std::atomic<int> sounding_{0};
  // Owned by the audio thread.
  std::vector<Voice> voices_;
  uint64_t started_ = 0;
};

// The effects read from folder/NAME.wav, in the order given. A missing or
// unreadable file leaves that one effect silent.
std::shared_ptr<Effects> load_effects(const std::string& folder, const std::vector<EffectFile>& files);

}  // namespace quillot::audio
