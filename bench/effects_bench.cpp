// The sound effects: how soon a reported effect is in the output, and what
// music plus the busiest tick's effects cost the audio thread.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "audio/sound_effects.h"
#include "audio/module/engine.h"
#include "audio/module/midi_file.h"
#include "audio/module/music.h"
#include "audio/module/output.h"
#include "audio/module/sound_font.h"
#include "bench/scenarios.h"
#include "game/host.h"
#include "game/tick.h"

namespace quillot {
namespace {

constexpr int kRate = 44100;
constexpr int kTickFrames = kRate / 20;  // one 50 ms frame tick of audio
constexpr int kBlock = audio::kPeriodFrames;

std::string dat_dir() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "dat").string();
}

std::string first_sound_font() {
  for (const auto& path : audio::sound_font_candidates()) {
    if (audio::check_sound_font(path).usable()) return path;
  }
  return {};
}

// Every sound the heaviest tick the rules allow reports (a full table of
// enemies, bullets and coins, every shot in the air), plus a click and a bomb.
std::vector<Sound> heaviest_tick_sounds() {
  struct Listener : NullHost {
    std::vector<Sound> heard{Sound::Shot, Sound::Bomb};
    void sound(Sound s) override { heard.push_back(s); }
  } host;
  Game g = bench::heaviest_load();
  NullCanvas bak;
  Timer1Timer(g, bak, host);
  return host.heard;
}

// From the report to the effect's first sample in the output: the report is
// picked up by the next block rendered, and that block is then heard after
// the device's buffer.
void BM_EffectToFirstSample(benchmark::State& state) {
  auto effects = audio::load_effects(dat_dir() + "/sfx", sound_effect_files());
  std::vector<float> left(kBlock), right(kBlock);
  int64_t first = -1;
  for (auto _ : state) {
    std::fill(left.begin(), left.end(), 0.0F);
    std::fill(right.begin(), right.end(), 0.0F);
    effects->play(static_cast<int>(Sound::EnemyDown));
    effects->render(kBlock, left.data(), right.data());
    first = -1;
    for (int i = 0; i < kBlock && first < 0; ++i) {
      if (left[static_cast<std::size_t>(i)] != 0.0F) first = i;
    }
  }
  state.counters["first_sample_frame"] = static_cast<double>(first);
  state.counters["block_frames"] = kBlock;
  state.counters["block_ms"] = 1000.0 * kBlock / kRate;
  state.counters["device_buffer_ms"] = 1000.0 * kBlock / kRate;
}
BENCHMARK(BM_EffectToFirstSample);

// One 50 ms tick of audio as the device pulls it, in blocks: the stage's music
// and, with range(0) == 1, every sound of the heaviest tick reported at its
// start, every tick. The time over the 50 ms is the share of one core.
void BM_MusicAndHeaviestTickEffects(benchmark::State& state) {
  const std::string font = first_sound_font();
  auto track = audio::load_track(dat_dir(), "7.mid");
  if (font.empty() || !track) {
    state.SkipWithError("no SoundFont or no 7.mid");
    return;
  }
  audio::Engine engine(audio::kMusicGain);
  engine.load_sound_font({font});
  auto effects = audio::load_effects(dat_dir() + "/sfx", sound_effect_files());
  const bool with_effects = state.range(0) == 1;
  if (with_effects) engine.set_effects(effects.get());
  engine.start(std::make_shared<const audio::Track>(std::move(*track)));
  const std::vector<Sound> sounds = heaviest_tick_sounds();
  std::vector<float> left(kBlock), right(kBlock);
  int most_voices = 0;
  for (auto _ : state) {
    if (with_effects) {
      for (Sound s : sounds) effects->play(static_cast<int>(s));
    }
    for (int done = 0; done < kTickFrames; done += kBlock) {
      std::fill(left.begin(), left.end(), 0.0F);
      std::fill(right.begin(), right.end(), 0.0F);
      engine.render(kBlock, left.data(), right.data());
      most_voices = std::max(most_voices, effects->sounding());
    }
    benchmark::DoNotOptimize(left.data());
  }
  state.counters["reports_per_tick"] = with_effects ? static_cast<double>(sounds.size()) : 0;
  state.counters["effect_voices_most"] = most_voices;
  // Seconds of work per second of audio, as a percentage of one core.
  // (Inverted, the rate counter is CPU time / (iterations x value).)
  state.counters["core_percent"] =
      benchmark::Counter(static_cast<double>(kTickFrames) / kRate / 100.0,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MusicAndHeaviestTickEffects)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillot
