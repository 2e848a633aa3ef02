// How long the music keeps the player waiting: loading a SoundFont (done on
// a worker thread, so it delays the first note but never the window) and
// going from play_music to the first sound in the output.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "audio/module/engine.h"
#include "audio/module/midi_file.h"
#include "audio/module/music.h"
#include "audio/module/sound_font.h"

namespace quillot::audio {
namespace {

// The checkout's own dat/, where the shipped tracks are.
std::string dat_dir() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "dat").string();
}

std::string first_sound_font() {
  for (const auto& path : sound_font_candidates()) {
    if (check_sound_font(path).usable()) return path;
  }
  return {};
}

// Renders 64-frame blocks (the audio period FluidSynth's drivers use) until
// one is audible; returns the frames rendered before it, or -1.
int64_t frames_to_first_sound(const std::function<void(int, float*, float*)>& render) {
  constexpr int kBlock = 64;
  std::vector<float> left(kBlock), right(kBlock);
  for (int64_t done = 0; done < 10 * 44100; done += kBlock) {
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
    render(kBlock, left.data(), right.data());
    for (int i = 0; i < kBlock; ++i) {
      if (std::abs(left[i]) > 1e-3f || std::abs(right[i]) > 1e-3f) return done + i;
    }
  }
  return -1;
}

void BM_SoundFontLoad(benchmark::State& state) {
  const auto candidates = sound_font_candidates();
  const std::string path = candidates[static_cast<std::size_t>(state.range(0))];
  if (!check_sound_font(path).usable()) {
    state.SkipWithError(("not installed: " + path).c_str());
    return;
  }
  state.SetLabel(path);
  for (auto _ : state) {
    Engine engine(kMusicGain);
    if (engine.load_sound_font({path}).empty()) state.SkipWithError("did not load");
  }
}
BENCHMARK(BM_SoundFontLoad)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine alone: a track already read, started, and rendered until it sounds.
void BM_StartToFirstNote(benchmark::State& state) {
  Engine engine(kMusicGain);
  if (engine.load_sound_font({first_sound_font()}).empty()) {
    state.SkipWithError("no SoundFont");
    return;
  }
  auto track = load_track(dat_dir(), "5.mid");
  if (!track) {
    state.SkipWithError("no 5.mid");
    return;
  }
  auto shared = std::make_shared<const Track>(std::move(*track));
  int64_t frames = 0;
  for (auto _ : state) {
    engine.start(shared);
    frames = frames_to_first_sound([&](int n, float* l, float* r) { engine.render(n, l, r); });
  }
  state.counters["audio_ms_before_sound"] = double(frames) * 1000 / 44100;
}
BENCHMARK(BM_StartToFirstNote)->Unit(benchmark::kMicrosecond);

// The whole call as the window makes it: read and check the file, replace the
// track, then render until the first note sounds.
void BM_PlayMusicToFirstNote(benchmark::State& state) {
  MusicOptions options;
  options.sound_fonts = {first_sound_font()};
  options.drivers = {};
  Music music(dat_dir(), [] { return true; }, options);
  while (!music.status().ready) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (music.status().sound_font.empty()) {
    state.SkipWithError("no SoundFont");
    return;
  }
  int64_t frames = 0;
  for (auto _ : state) {
    music.play_music("5.mid");
    frames = frames_to_first_sound([&](int n, float* l, float* r) { music.render(n, l, r); });
  }
  state.counters["audio_ms_before_sound"] = double(frames) * 1000 / 44100;
}
BENCHMARK(BM_PlayMusicToFirstNote)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillot::audio
