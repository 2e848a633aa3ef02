#include "audio/module/effects.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

#include "audio/module/engine.h"
#include "audio/module/music.h"
#include "game/sound.h"
#include "tests/audio/audio_support.h"

namespace quillot::audio {
namespace {

using testing::level_of;
using testing::source_root;

constexpr int kBlock = 256;  // what the device asks for at a time
constexpr int kRate = 44100;

std::vector<float> shipped(std::string_view name) {
  auto frames = load_wav((source_root() / "dat" / "sfx" / (std::string(name) + ".wav")).string());
  return frames ? *frames : std::vector<float>{};
}

struct Rendered {
  std::vector<float> left, right;
};

// Renders `blocks` blocks, calling `before` ahead of each.
template <typename Before>
Rendered render(Effects& fx, int blocks, Before before) {
  Rendered out;
  for (int b = 0; b < blocks; ++b) {
    before(b);
    std::vector<float> l(kBlock), r(kBlock);
    fx.render(kBlock, l.data(), r.data());
    out.left.insert(out.left.end(), l.begin(), l.end());
    out.right.insert(out.right.end(), r.begin(), r.end());
  }
  return out;
}

// Every effect the game reports is heard within 30 ms at full volume, and is
// silent at 0 % or muted; each is short and stays well under full scale.
TEST(Effects, EachShippedEffectSoundsAtOnceAtFullVolumeAndNotAtZeroOrMuted) {
  struct Volume {
    int percent;
    bool muted;
    bool heard;
  };
  const Volume volumes[] = {{100, false, true}, {0, false, false}, {100, true, false}};
  const int blocks_in_30ms = 30 * kRate / 1000 / kBlock;  // 5
  for (std::string_view name : kSoundNames) {
    const std::vector<float> frames = shipped(name);
    ASSERT_FALSE(frames.empty()) << name << " is missing or unreadable";
    EXPECT_LT(frames.size(), std::size_t{kRate}) << name << " lasts a second or more";
    for (const Volume& v : volumes) {
      Effects fx({EffectSample{frames, 1}});
      fx.set_level(volume_level(v.percent, v.muted));
      const Rendered out = render(fx, blocks_in_30ms, [&](int b) {
        if (b == 0) fx.play(0);
      });
      const auto level = level_of(out.left, out.right);
      if (v.heard) {
        EXPECT_GT(level.db(), -50) << name << " at " << v.percent << " %";
        EXPECT_LE(level.peak, 0.51) << name << " comes near full scale";
      } else {
        EXPECT_EQ(level.peak, 0) << name << " at " << v.percent << " %, muted " << v.muted;
      }
    }
  }
}

// A shot every block, and many in one block: the kind never holds more than
// its voices (plus those fading out), the newest is always heard, and the sum
// stays bounded.
TEST(Effects, AFloodOfOneKindIsHeldToItsVoiceLimitWithTheNewestSounding) {
  const std::vector<float> shot = shipped("shot");
  ASSERT_FALSE(shot.empty());
  float peak = 0;
  for (float s : shot) peak = std::max(peak, std::abs(s));
  Effects fx({EffectSample{shot, 3}, EffectSample{std::vector<float>(kRate / 10, 0.1F), 1}});
  int most = 0;
  const Rendered out = render(fx, 200, [&](int b) {
    for (int i = 0; i < 40; ++i) fx.play(0);
    if (b % 50 == 0) fx.play(1);
    most = std::max(most, fx.sounding());
  });
  EXPECT_LE(most, 2 * 3 + 2) << "three shots and their fade-outs, the other kind and its fade-out";
  EXPECT_LE(level_of(out.left, out.right).peak, 2 * 3 * peak + 0.1 + 1e-4) << "no pile-up past the voices";
  std::vector<float> l(kBlock), r(kBlock);
  fx.play(0);
  fx.render(kBlock, l.data(), r.data());
  EXPECT_GT(level_of(l, r).peak, 0) << "a new shot always finds a voice";

  // Kinds outside the list, below it, past it within the room for kinds and
  // past that room, start nothing and reach no memory beyond the list.
  Effects fresh({EffectSample{shot, 3}, EffectSample{std::vector<float>(kRate / 10, 0.1F), 1}});
  for (int kind : {-1, 2, Effects::kMaxKinds - 1, Effects::kMaxKinds, 99}) fresh.play(kind);
  const Rendered unknown = render(fresh, 2, [](int) {});
  EXPECT_EQ(level_of(unknown.left, unknown.right).peak, 0);
  EXPECT_EQ(fresh.sounding(), 0);
}

// The effects are added over the music in the engine's block: the music sounds
// the same whatever the effects' level, and the effects whatever the music's.
TEST(Effects, MusicAndEffectsLevelsAreIndependentInTheSharedOutput) {
  const std::string font = testing::test_sound_font();
  const auto track = std::make_shared<const Track>(
      Track{"chord", testing::chord_midi(4 * 480), *inspect_midi(testing::chord_midi(4 * 480))});
  const std::vector<float> bomb = shipped("bomb");
  ASSERT_FALSE(bomb.empty());

  // One engine per case, each played from the start, so the music is the same.
  auto mix = [&](float music, float effects, bool attach) {
    Engine engine(kMusicGain);
    EXPECT_EQ(engine.load_sound_font({font}), font);
    engine.pin(track->info.presets);
    Effects fx({EffectSample{bomb, 1}});
    fx.set_level(effects);
    engine.set_level(music);
    if (attach) engine.set_effects(&fx);
    engine.start(track);
    Rendered out;
    for (int b = 0; b < 40; ++b) {
      if (b == 4) fx.play(0);
      std::vector<float> l(kBlock), r(kBlock);
      engine.render(kBlock, l.data(), r.data());
      out.left.insert(out.left.end(), l.begin(), l.end());
      out.right.insert(out.right.end(), r.begin(), r.end());
    }
    return out;
  };
  auto max_difference = [](const Rendered& a, const Rendered& b, float scale_b) {
    float most = 0;
    for (std::size_t i = 0; i < a.left.size(); ++i) {
      most = std::max(most, std::abs(a.left[i] - b.left[i] * scale_b));
    }
    return most;
  };
  const float half = volume_level(50, false);
  const Rendered music_only = mix(half, 0, false);
  ASSERT_GT(level_of(music_only.left, music_only.right).peak, 0.01);
  EXPECT_EQ(max_difference(mix(half, 0.0F, true), music_only, 1), 0) << "silent effects change nothing";
  const Rendered effects_only = mix(0, 1, true);
  ASSERT_GT(level_of(effects_only.left, effects_only.right).peak, 0.01);
  for (float fx_level : {1.0F, volume_level(30, false)}) {
    const Rendered both = mix(half, fx_level, true);
    Rendered sum = music_only;
    for (std::size_t i = 0; i < sum.left.size(); ++i) sum.left[i] += effects_only.left[i] * fx_level;
    EXPECT_LT(max_difference(both, sum, 1), 1e-5) << "music at 50 %, effects at " << fx_level;
  }
}

// While another thread holds the engine (a track being cut, a preset's
// samples being read) the device's block comes back at once: silence for the
// music, and the effect asked for sounds in it as it would alone.
TEST(Effects, ABusyEngineRendersAtOnceWithSilentMusicAndTheEffectsStillSound) {
  const std::string font = testing::test_sound_font();
  const auto track = std::make_shared<const Track>(
      Track{"chord", testing::chord_midi(4 * 480), *inspect_midi(testing::chord_midi(4 * 480))});
  const std::vector<float> bomb = shipped("bomb");
  ASSERT_GE(bomb.size(), std::size_t{kBlock});
  Engine engine(kMusicGain);
  ASSERT_EQ(engine.load_sound_font({font}), font);
  engine.pin(track->info.presets);
  Effects fx({EffectSample{bomb, 1}});
  engine.set_effects(&fx);
  engine.start(track);
  std::vector<float> l(kBlock), r(kBlock);
  for (int b = 0; b < 8; ++b) engine.render(kBlock, l.data(), r.data());
  ASSERT_GT(level_of(l, r).peak, 0.01) << "the music plays while the engine is free";

  auto held = engine.hold();
  fx.play(0);
  std::fill(l.begin(), l.end(), 0.0F);
  std::fill(r.begin(), r.end(), 0.0F);
  auto rendered = std::async(std::launch::async, [&] { engine.render(kBlock, l.data(), r.data()); });
  // Only a guard against a hang: a waiting render would never return while held.
  const bool returned = rendered.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  held.unlock();
  rendered.get();
  ASSERT_TRUE(returned) << "the render waited for the engine";
  for (int i = 0; i < kBlock; ++i) {
    ASSERT_EQ(l[static_cast<std::size_t>(i)], bomb[static_cast<std::size_t>(i)]) << i;
    ASSERT_EQ(r[static_cast<std::size_t>(i)], bomb[static_cast<std::size_t>(i)]) << i;
  }
  engine.render(kBlock, l.data(), r.data());
  EXPECT_GT(engine.active_voices(), 0) << "the track plays on once the engine is free";
}

TEST(Effects, ReadsOnlyWellFormedSixteenBitFilesAtTheOutputRate) {
  testing::TempDir dir;
  auto wav = [](uint32_t rate, uint16_t bits, uint32_t data_size, std::size_t actual) {
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                              'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   1,   0};
    for (uint32_t v : {rate, rate * 2}) {
      for (int s = 0; s < 32; s += 8) b.push_back(static_cast<uint8_t>(v >> s));
    }
    b.insert(b.end(), {2, 0, static_cast<uint8_t>(bits), 0, 'd', 'a', 't', 'a'});
    for (int s = 0; s < 32; s += 8) b.push_back(static_cast<uint8_t>(data_size >> s));
    b.resize(b.size() + actual, 0x10);
    return b;
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    bool ok;
  } cases[] = {
      {"good.wav", wav(44100, 16, 200, 200), true},
      {"other_rate.wav", wav(22050, 16, 200, 200), false},
      {"eight_bit.wav", wav(44100, 8, 200, 200), false},
      {"short_data.wav", wav(44100, 16, 4000, 200), false},
      {"not_wave.wav", std::vector<uint8_t>(100, 'x'), false},
  };
  for (const auto& c : cases) {
    dir.write(c.name, c.bytes);
    const auto frames = load_wav((dir.path() / c.name).string());
    EXPECT_EQ(frames.has_value(), c.ok) << c.name;
    if (frames) {
      EXPECT_EQ(frames->size(), 100U);
    }
  }
  EXPECT_FALSE(load_wav(dir.path().string()).has_value()) << "a folder";
}

}  // namespace
}  // namespace quillot::audio
