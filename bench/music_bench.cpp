// How long the music keeps the player waiting: loading a SoundFont (done on
// a worker thread, so it delays the first note but never the window), going
// from play_music to the first sound in the output, and how long the audio
// thread and the window's thread take while a player clicks through tracks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>
#include <vector>

// Lower-case, so this benchmark is not linked with the window's library.
#include <qcoreapplication.h>

#include "audio/module/effects.h"
#include "audio/module/engine.h"
#include "audio/module/midi_file.h"
#include "audio/module/music.h"
#include "audio/module/output.h"
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

// A player clicking through menus: a new track every 20 to 200 ms, with
// effects, through the full General MIDI font, each round on a fresh music
// so that every track's presets are read from the font again. A thread
// stands in for the audio device: it renders a period of the device's size
// (1024 frames, 23.2 ms) in real time, and times each render. The window's thread times
// play_music. Reported in milliseconds: the render's median, 99th and 99.9th
// percentile and longest, and play_music's median and longest.
// Argument 0: the large General MIDI font; 1: a compressed one, whose
// samples are decoded as they are read.
void BM_TrackSwitchStress(benchmark::State& state) {
  const std::string font = state.range(0) == 0 ? "/usr/share/sounds/sf2/FluidR3_GM.sf2"
                                               : "/usr/share/sounds/sf3/MuseScore_General_Lite.sf3";
  if (!check_sound_font(font).usable()) {
    state.SkipWithError((font + " is not installed").c_str());
    return;
  }
  if (QCoreApplication::instance() == nullptr) {
    static int argc = 1;
    static char name[] = "music_bench";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);  // for the music's end poll; lives as long as the program
  }
  std::vector<EffectFile> files;
  for (const char* effect : {"shot", "enemy_hit", "coin", "page", "refused", "bomb"}) files.push_back({effect, 2});
  constexpr int kPeriod = kPeriodFrames;
  constexpr int kRounds = 3;
  constexpr int kSwitchesPerRound = 40;
  std::vector<double> render_ms;
  std::vector<double> play_ms;
  std::mt19937 random(7);
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      MusicOptions options;
      options.sound_fonts = {font};
      // A device that never opens: the thread below pulls the blocks as one would.
      options.drivers = {"no-such-driver"};
      options.effects = load_effects(dat_dir() + "/sfx", files);
      auto effects = options.effects;
      Music music(dat_dir(), [] { return true; }, options);
      while (!music.status().ready) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::atomic<bool> done{false};
      std::vector<double> rendered;
      rendered.reserve(1 << 16);
      std::thread device([&] {
        std::vector<float> left(kPeriod), right(kPeriod);
        auto next = std::chrono::steady_clock::now();
        while (!done.load()) {
          std::fill(left.begin(), left.end(), 0.0F);
          std::fill(right.begin(), right.end(), 0.0F);
          const auto begin = std::chrono::steady_clock::now();
          music.render(kPeriod, left.data(), right.data());
          rendered.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
          next += std::chrono::microseconds(kPeriod * 1000000LL / 44100);
          std::this_thread::sleep_until(next);
        }
      });
      for (int i = 0; i < kSwitchesPerRound; ++i) {
        const std::string track = std::to_string(1 + random() % 8) + ".mid";
        const auto begin = std::chrono::steady_clock::now();
        music.play_music(track);
        play_ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        const int wait_ms = 20 + static_cast<int>(random() % 181);
        for (int t = 0; t < wait_ms; t += 10) {
          if (random() % 2 == 0) music.play_effect(static_cast<int>(random() % files.size()));
          QCoreApplication::processEvents();
          std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, wait_ms - t)));
        }
      }
      done = true;
      device.join();
      render_ms.insert(render_ms.end(), rendered.begin(), rendered.end());
    }
  }
  auto at = [](std::vector<double> v, double share) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[std::min(v.size() - 1, static_cast<std::size_t>(share * static_cast<double>(v.size())))];
  };
  state.counters["periods"] = static_cast<double>(render_ms.size());
  state.counters["render_p50_ms"] = at(render_ms, 0.5);
  state.counters["render_p99_ms"] = at(render_ms, 0.99);
  state.counters["render_p999_ms"] = at(render_ms, 0.999);
  state.counters["render_max_ms"] = at(render_ms, 1.0);
  // A fifth of the period: the render's share of a block the device waits for.
  const double fifth_ms = 1000.0 * kPeriod / 44100 / 5;
  state.counters["render_over_a_fifth"] = static_cast<double>(
      std::count_if(render_ms.begin(), render_ms.end(), [&](double ms) { return ms > fifth_ms; }));
  state.counters["play_music_p50_ms"] = at(play_ms, 0.5);
  state.counters["play_music_max_ms"] = at(play_ms, 1.0);
}
BENCHMARK(BM_TrackSwitchStress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillot::audio
