#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "audio/module/engine.h"
#include "audio/module/midi_file.h"
#include "audio/module/music.h"
#include "tests/audio/audio_support.h"

namespace quillot::audio {
namespace {

using testing::Level;

constexpr int kRate = 44100;
constexpr int kBlock = 512;

// The length its note source says the track is meant to have, in seconds.
double intended_seconds(int number) {
  std::ifstream source(testing::source_root() / "tools" / "music" / (std::to_string(number) + ".txt"));
  std::string line;
  while (std::getline(source, line)) {
    std::istringstream words(line);
    std::string heading;
    double seconds = -1;
    if (words >> heading >> seconds && heading == "length") return seconds;
  }
  return -1;
}

struct Rendering {
  double end_seconds = -1;  // when the player reported the track's end
  Level whole, first_two_seconds, last_two_seconds;
};

// Renders a shipped track offline, as fast as the synth goes, up to its end
// report (the moment the game would loop it).
Rendering render_track(Engine& engine, int number) {
  auto track = load_track((testing::source_root() / "dat").string(), std::to_string(number) + ".mid");
  if (!track) return {};
  // As the game does: the track's samples are in memory before it starts.
  engine.pin(track->info.presets);
  const uint64_t playback = engine.start(std::make_shared<const Track>(std::move(*track)));

  std::vector<float> left, right;
  const std::size_t limit = 130 * kRate;
  while (engine.ended() != playback && left.size() < limit) {
    const std::size_t at = left.size();
    left.resize(at + kBlock);
    right.resize(at + kBlock);
    engine.render(kBlock, left.data() + at, right.data() + at);
  }
  Rendering result;
  if (engine.ended() != playback) return result;
  result.end_seconds = double(left.size()) / kRate;
  auto slice = [&](std::size_t from, std::size_t to) {
    return testing::level_of({left.begin() + from, left.begin() + to}, {right.begin() + from, right.begin() + to});
  };
  result.whole = slice(0, left.size());
  result.first_two_seconds = slice(0, 2 * kRate);
  result.last_two_seconds = slice(left.size() - 2 * kRate, left.size());
  return result;
}

class ShippedTrack : public ::testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    engine_ = std::make_unique<Engine>(kMusicGain);
    if (engine_->load_sound_font({testing::test_sound_font()}).empty()) engine_.reset();
  }
  static void TearDownTestSuite() { engine_.reset(); }
  static std::unique_ptr<Engine> engine_;
};
std::unique_ptr<Engine> ShippedTrack::engine_;

// Each track is as long as its source intends, audible from its first bar to
// its last (a silent head or tail would be a gap at every loop), and never
// loud enough to clip. Through the test SoundFont every track measures -23.6
// to -25.6 dBFS RMS, -22.7 to -30 dBFS in its first and last two seconds, and
// peaks at 0.23 to 0.44; the bounds leave a few dB either side.
TEST_P(ShippedTrack, PlaysForItsIntendedLengthAudiblyWithoutClipping) {
  ASSERT_TRUE(engine_) << "the test SoundFont does not load";
  const int number = GetParam();
  const double intended = intended_seconds(number);
  ASSERT_GE(intended, 40);
  ASSERT_LE(intended, 120);

  const Rendering r = render_track(*engine_, number);
  ASSERT_GT(r.end_seconds, 0) << "no end report";
  EXPECT_NEAR(r.end_seconds, intended, 0.03);
  EXPECT_GT(r.whole.db(), -28);
  EXPECT_LT(r.whole.db(), -21);
  EXPECT_GT(r.first_two_seconds.db(), -34);
  EXPECT_GT(r.last_two_seconds.db(), -34);
  EXPECT_LT(r.whole.peak, 0.6);
  RecordProperty("seconds", std::to_string(r.end_seconds));
  RecordProperty("rms_db", std::to_string(r.whole.db()));
  RecordProperty("peak_db", std::to_string(20 * std::log10(r.whole.peak)));
}

INSTANTIATE_TEST_SUITE_P(Tracks, ShippedTrack, ::testing::Range(1, 9),
                         [](const auto& param_info) { return std::to_string(param_info.param) + "_mid"; });

}  // namespace
}  // namespace quillot::audio
