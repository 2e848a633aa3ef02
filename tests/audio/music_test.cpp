#include "audio/module/music.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>

#include "audio/module/engine.h"
#include "audio/module/output.h"
#include "audio/module/sound_font.h"
#include "tests/audio/audio_support.h"
#include "tests/support/private_sound.h"

namespace quillot::audio {
namespace {

using namespace std::chrono_literals;
using testing::chord_midi;
using testing::Level;
using testing::TempDir;

constexpr int kRate = 44100;
constexpr int kBlock = 441;  // 10 ms
// The test tracks' chord measures -19.8 dBFS RMS through the test SoundFont at
// full level: a track heard 6 dB under that is not playing as it should.
constexpr double kHeardDb = -26;
// Below any release or reverb tail of it: nothing is playing.
constexpr double kSilentDb = -80;

// A Music without an audio device over a dat folder of test tracks. The test
// pulls the sound itself, 10 ms at a time, and lets the queued end-of-track
// reports through between blocks, as the GUI thread's event loop would.
class MusicRig : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensure_qt_app();
    font_ = testing::test_sound_font();
    dat_.write("short.mid", chord_midi(240));  // 0.25 s
    dat_.write("long.mid", chord_midi(9600));  // 10 s
    dat_.write("empty.mid", {});
    dat_.write("text.mid", {'h', 'e', 'l', 'l', 'o', '\n'});
    dat_.write("cut.mid", [] {
      auto bytes = chord_midi(240);
      bytes.resize(bytes.size() - 6);
      return bytes;
    }());
  }

  std::unique_ptr<Music> make(std::vector<std::string> fonts = {}) {
    MusicOptions options;
    options.sound_fonts = fonts.empty() ? std::vector<std::string>{font_} : fonts;
    options.drivers = {};
    return std::make_unique<Music>(
        dat_.path().string(), [this] { return shown_; }, options);
  }

  static void wait_ready(Music& music) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!music.status().ready && std::chrono::steady_clock::now() < deadline) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(2ms);
    }
    ASSERT_TRUE(music.status().ready);
  }

  static void wait_settled(Music& music) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!music.settled() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(2ms);
    ASSERT_TRUE(music.settled());
  }

  static Level play_for(Music& music, double seconds, bool deliver_reports = true) {
    std::vector<float> left, right;
    const int frames = static_cast<int>(seconds * kRate);
    for (int done = 0; done < frames; done += kBlock) {
      std::vector<float> l(kBlock), r(kBlock);
      music.render(kBlock, l.data(), r.data());
      left.insert(left.end(), l.begin(), l.end());
      right.insert(right.end(), r.begin(), r.end());
      if (deliver_reports) QCoreApplication::processEvents();
    }
    return testing::level_of(left, right);
  }

  TempDir dat_;
  std::string font_;
  bool shown_ = true;
};

TEST_F(MusicRig, LoopsATrackThatEndsWhileTheWindowIsShown) {
  auto music = make();
  wait_ready(*music);
  music->play_music("short.mid");
  const Level level = play_for(*music, 1.2);
  EXPECT_EQ(music->status().track, "short.mid");
  // 0.25 s a time: four restarts or more, and sound all along.
  EXPECT_GE(music->status().starts, 4);
  EXPECT_GT(level.db(), kHeardDb);
}

TEST_F(MusicRig, PlaysATrackOnceWhileTheWindowIsHidden) {
  shown_ = false;
  auto music = make();
  wait_ready(*music);
  music->play_music("short.mid");
  play_for(*music, 1.0);
  EXPECT_EQ(music->status().starts, 1);
  // Its release and reverb have died away; nothing started it again.
  EXPECT_LT(play_for(*music, 0.5).db(), kSilentDb);
}

TEST_F(MusicRig, AnEndReportForATrackAlreadyReplacedRestartsNothing) {
  auto music = make();
  wait_ready(*music);
  music->play_music("short.mid");
  play_for(*music, 0.4, /*deliver_reports=*/false);  // its end report waits in the queue
  music->play_music("long.mid");
  play_for(*music, 0.5);
  EXPECT_EQ(music->status().track, "long.mid");
  EXPECT_EQ(music->status().starts, 2);
}

TEST_F(MusicRig, AskingForTheCurrentTrackStartsItOverAndAnEmptyNameDoesNothing) {
  auto music = make();
  wait_ready(*music);
  music->play_music("long.mid");
  play_for(*music, 0.3);
  music->play_music("long.mid");
  EXPECT_EQ(music->status().starts, 2);
  music->play_music("");
  EXPECT_EQ(music->status().starts, 2);
  EXPECT_EQ(music->status().track, "long.mid");
  EXPECT_GT(play_for(*music, 0.3).db(), kHeardDb);
}

// A mute is silent in the very next block (the synth's own gain would let the
// chord ring on), keeps the track where it is, and each step down is quieter.
TEST_F(MusicRig, MuteSilencesAtOnceAndKeepsThePlaceAndVolumeStepsAreQuieter) {
  EXPECT_EQ(volume_level(100, false), 1.0F);
  EXPECT_EQ(volume_level(0, false), 0.0F);
  EXPECT_EQ(volume_level(100, true), 0.0F);
  // Each step as far from the next in loudness, the lower half still heard.
  const std::pair<int, double> table[] = {{100, 0}, {90, -3}, {70, -9}, {50, -15}, {30, -21}, {10, -27}};
  for (const auto& [percent, db] : table)
    EXPECT_NEAR(20 * std::log10(volume_level(percent, false)), db, 0.01) << percent << " %";

  auto music = make();
  wait_ready(*music);
  music->play_music("long.mid");
  const double full = play_for(*music, 0.3).db();
  ASSERT_GT(full, kHeardDb);
  music->set_level(0.0F);
  EXPECT_LT(play_for(*music, 0.01).db(), -120) << "silent from the first block on";
  EXPECT_GT(music->status().voices, 0) << "the notes play on unheard";
  EXPECT_EQ(music->status().starts, 1);
  music->set_level(volume_level(50, false));
  EXPECT_NEAR(play_for(*music, 0.3).db() - full, -15, 0.5) << "heard again, five steps of 3 dB down";
  EXPECT_EQ(music->status().track, "long.mid");
  EXPECT_EQ(music->status().starts, 1) << "unmuting resumes the track, it does not start it over";
}

// Every name that cannot be played silences the track before it, at once and
// for good, and raises nothing.
TEST_F(MusicRig, ATrackThatCannotBePlayedLeavesSilence) {
  std::filesystem::create_directory(dat_.path() / "inner");
  TempDir outside;
  outside.write("escape.mid", chord_midi(9600));
  const std::string escape = "../" + outside.path().filename().string() + "/escape.mid";
  ASSERT_TRUE(std::filesystem::exists(dat_.path() / escape));

  for (const std::string name : {"missing.mid", "empty.mid", "text.mid", "cut.mid", "inner", escape.c_str(),
                                 "inner/../long.mid", "/etc/passwd"}) {
    SCOPED_TRACE(name);
    auto music = make();
    wait_ready(*music);
    music->play_music("long.mid");
    ASSERT_GT(play_for(*music, 0.3).db(), kHeardDb);
    music->play_music(name);
    EXPECT_EQ(music->status().track, "");
    play_for(*music, 0.05);
    EXPECT_EQ(music->status().voices, 0);
    EXPECT_LT(play_for(*music, 1.0).db(), kSilentDb);
    EXPECT_EQ(music->status().starts, 1);
  }
}

// A track start resets only the music's channels, by hand: whatever a track
// left behind (a quiet volume, a bent pitch, another instrument), the next
// one sounds as it does on its own.
TEST_F(MusicRig, ATrackSoundsTheSameAfterOneThatLeftItsChannelsOddlySet) {
  // The chord of chord_midi, led by events on its channel, at delta 0.
  auto led_by = [](std::vector<uint8_t> events) {
    auto bytes = chord_midi(9600);
    constexpr std::size_t kAfterTempo = 22 + 7;
    bytes.insert(bytes.begin() + kAfterTempo, events.begin(), events.end());
    const auto size = static_cast<uint32_t>(bytes.size() - 22);
    for (int i = 0; i < 4; ++i) bytes[18 + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    return bytes;
  };
  dat_.write("odd.mid", led_by({0x00, 0xB0, 7,    5,    0x00, 0xB0, 11, 20,  0x00, 0xB0, 10, 0,
                                0x00, 0xE0, 0x7F, 0x7F, 0x00, 0xB0, 91, 127, 0x00, 0xC0, 40}));
  dat_.write("cut_short.mid", led_by({0x00, 0xC0, 40}));
  auto alone = make();
  wait_ready(*alone);
  alone->play_music("long.mid");
  const double expected = play_for(*alone, 1.0).db();
  ASSERT_GT(expected, kHeardDb);

  for (const char* before : {"odd.mid", "cut_short.mid"}) {
    SCOPED_TRACE(before);
    auto music = make();
    wait_ready(*music);
    music->play_music(before);
    play_for(*music, 0.5);
    music->play_music("long.mid");
    EXPECT_NEAR(play_for(*music, 1.0).db(), expected, 1.0);
  }
}

TEST_F(MusicRig, TheLastTrackAskedForBeforeTheSoundFontIsInIsTheOneThatPlays) {
  auto music = make();
  music->play_music("long.mid");
  music->play_music("short.mid");
  wait_ready(*music);
  EXPECT_EQ(music->status().track, "short.mid");
  EXPECT_EQ(music->status().starts, 1);
  EXPECT_GT(play_for(*music, 0.2).db(), kHeardDb);
}

// A preset reader that stops at each preset until the test lets it go on,
// noting the programs it was asked for.
class HeldPins {
 public:
  void operator()(Engine& engine, const Preset& preset) {
    std::unique_lock lock(mutex_);
    asked_.push_back(preset.program);
    changed_.notify_all();
    changed_.wait(lock, [this] { return free_ || asked_.size() <= let_through_; });
    lock.unlock();
    engine.pin(preset);
  }
  // True once `count` presets have been asked for; false only if the loader hangs.
  bool wait_asked(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 30s, [&] { return asked_.size() >= count; });
  }
  void let_all_through() {
    std::lock_guard lock(mutex_);
    free_ = true;
    changed_.notify_all();
  }
  // Stops at every preset asked for from now on.
  void hold_again() {
    std::lock_guard lock(mutex_);
    free_ = false;
    let_through_ = asked_.size();
  }
  std::vector<int> asked() {
    std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> asked_;
  std::size_t let_through_ = 0;
  bool free_ = false;
};

// The GUI only posts wishes; the loader reads one preset at a time and looks
// at the latest wish in between: a track asked for and replaced before the
// loader took it is never read, one replaced while being read is read no
// further, and a track that cannot play stops the reading as well.
TEST_F(MusicRig, TheLoaderReadsOnlyTheLatestTrackAskedForAndStopsReadingOneNoLongerWanted) {
  // chord_midi's chord, on channel 0 after it and channel 1 select programs.
  auto programs = [](uint8_t first, uint8_t second) {
    auto bytes = chord_midi(9600);
    const std::vector<uint8_t> events = {0x00, 0xC0, first, 0x00, 0xC1, second};
    bytes.insert(bytes.begin() + 22 + 7, events.begin(), events.end());
    const auto size = static_cast<uint32_t>(bytes.size() - 22);
    for (int i = 0; i < 4; ++i) bytes[18 + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    return bytes;
  };
  dat_.write("a.mid", programs(40, 41));
  dat_.write("b.mid", programs(42, 43));
  dat_.write("c.mid", programs(44, 45));
  dat_.write("d.mid", programs(46, 47));
  auto pins = std::make_shared<HeldPins>();
  MusicOptions options;
  options.sound_fonts = {font_};
  options.wait_for_loader = false;
  options.pin = [pins](Engine& engine, const Preset& preset) { (*pins)(engine, preset); };
  Music music(dat_.path().string(), [] { return true; }, options);
  wait_ready(music);

  music.play_music("a.mid");
  ASSERT_TRUE(pins->wait_asked(1));
  music.play_music("b.mid");
  music.play_music("c.mid");
  EXPECT_EQ(music.status().track, "c.mid");
  EXPECT_FALSE(music.settled());
  pins->let_all_through();
  wait_settled(music);
  EXPECT_EQ(pins->asked(), (std::vector<int>{40, 44, 45}));
  EXPECT_EQ(music.status().starts, 1);
  EXPECT_EQ(music.status().track, "c.mid");
  play_for(music, 0.1);
  EXPECT_GT(music.status().voices, 0);

  pins->hold_again();
  music.play_music("d.mid");
  ASSERT_TRUE(pins->wait_asked(4));
  music.play_music("missing.mid");
  pins->let_all_through();
  wait_settled(music);
  EXPECT_EQ(music.status().track, "");
  EXPECT_EQ(pins->asked(), (std::vector<int>{40, 44, 45, 46}));
  EXPECT_EQ(music.status().starts, 1);
  play_for(music, 0.1);
  EXPECT_EQ(music.status().voices, 0);
}

TEST_F(MusicRig, SoundFontsThatCannotBeReadOrAreNotSoundFontsAreSkipped) {
  dat_.write("noise.sf2", std::vector<uint8_t>(4096, 0x5A));
  const std::string dir = dat_.path().string();
  ::testing::internal::CaptureStderr();
  auto music = make({dir + "/absent.sf2", dir, dir + "/noise.sf2", font_});
  wait_ready(*music);
  EXPECT_EQ(music->status().sound_font, font_);
  // A font that is not installed is no news; one that is there and fails is.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "quillot: the SoundFont " + dir + " is a folder; the music plays through " + font_ +
                "\nquillot: the SoundFont " + dir +
                "/noise.sf2 is not a SoundFont (no RIFF sfbk header); the music plays through " + font_ + "\n");

  auto silent = make({dir + "/absent.sf2", dir + "/noise.sf2"});
  wait_ready(*silent);
  EXPECT_EQ(silent->status().sound_font, "");
  silent->play_music("long.mid");
  EXPECT_LT(play_for(*silent, 0.2).db(), kSilentDb);
}

// A SoundFont that cannot serve is told in one line, naming it and why, and
// not a word from FluidSynth or its loaders; the music is silent and the game
// asks on.
TEST_F(MusicRig, EachSoundFontThatCannotServeIsToldInOneLine) {
  std::ifstream in(font_, std::ios::binary);
  const std::vector<uint8_t> font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(font.size(), 1000U);
  const std::vector<uint8_t> wave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
  const struct {
    const char* file;
    const char* says;
    std::function<void(const std::filesystem::path&)> make;
  } rows[] = {
      {"missing.sf2", "is missing", [](const auto&) {}},
      {"empty.sf2", "is empty", [&](const auto& path) { dat_.write(path.filename(), {}); }},
      {"fifo.sf2", "is a FIFO", [](const auto& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
      {"cut.sf2", "is cut short",
       [&](const auto& path) { dat_.write(path.filename(), {font.begin(), font.begin() + font.size() / 2}); }},
      {"noise.sf2", "is not a SoundFont",
       [&](const auto& path) { dat_.write(path.filename(), std::vector<uint8_t>(4096, 0x5A)); }},
      {"wave.sf2", "is not a SoundFont", [&](const auto& path) { dat_.write(path.filename(), wave); }},
      {"damaged.sf2", "is damaged",
       [&](const auto& path) {
         auto bytes = font;
         std::fill_n(bytes.begin() + 12, 4, 'X');  // its first chunk's name; the length still holds
         dat_.write(path.filename(), bytes);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string path = (dat_.path() / row.file).string();
    row.make(path);
    ::testing::internal::CaptureStderr();
    auto music = make({path});
    wait_ready(*music);
    music->play_music("long.mid");
    const Level heard = play_for(*music, 0.2);
    const MusicStatus status = music->status();
    music.reset();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(path + " " + row.says), std::string::npos) << said;
    EXPECT_EQ(status.sound_font, "");
    EXPECT_EQ(status.track, "long.mid") << "the game asks on";
    EXPECT_LT(heard.db(), kSilentDb);
  }
}

// The player's SoundFont comes before the automatic choice; one that cannot
// serve is told in one line and the automatic choice plays. A new choice
// takes the track of the moment to the new font at once.
TEST_F(MusicRig, ThePlayersSoundFontIsTakenOrToldAndTheAutomaticPlays) {
  const std::string automatic = (dat_.path() / "automatic.sf2").string();
  std::filesystem::copy_file(font_, automatic);
  const std::string noise = (dat_.path() / "noise.sf2").string();
  dat_.write("noise.sf2", std::vector<uint8_t>(4096, 0x5A));
  const std::string missing = (dat_.path() / "missing.sf3").string();
  const struct {
    std::string chosen;
    std::string plays;
    std::string says;
  } rows[] = {
      {"", automatic, ""},
      {font_, font_, ""},
      {missing, automatic, "quillot: the chosen SoundFont " + missing + " is missing; the automatic choice plays instead\n"},
      {noise, automatic, "quillot: the chosen SoundFont " + noise +
                             " is not a SoundFont (no RIFF sfbk header); the automatic choice plays instead\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.chosen);
    MusicOptions options;
    options.sound_fonts = {automatic};
    options.chosen_font = row.chosen;
    ::testing::internal::CaptureStderr();
    Music music(dat_.path().string(), [] { return true; }, options);
    wait_ready(music);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), row.says);
    EXPECT_EQ(music.status().sound_font, row.plays);
  }

  auto music = make({automatic});
  wait_ready(*music);
  music->play_music("long.mid");
  wait_settled(*music);
  const int starts = music->status().starts;
  music->set_sound_font(font_);
  wait_settled(*music);
  EXPECT_EQ(music->status().sound_font, font_);
  EXPECT_EQ(music->status().starts, starts + 1) << "the track of the moment starts again through it";
  EXPECT_GT(play_for(*music, 0.2).db(), kSilentDb);
  music->set_sound_font("");
  wait_settled(*music);
  EXPECT_EQ(music->status().sound_font, automatic) << "back to the automatic choice";
}

// The effects are our own samples: with no SoundFont at all they still sound,
// over a silent track.
TEST_F(MusicRig, EffectsSoundWithoutAnySoundFont) {
  MusicOptions options;
  options.effects = std::make_shared<Effects>(std::vector<EffectSample>{{std::vector<float>(kBlock, 0.5F), 1}});
  Music music(dat_.path().string(), [] { return true; }, options);
  wait_ready(music);
  ASSERT_EQ(music.status().sound_font, "");
  music.play_music("long.mid");
  EXPECT_LT(play_for(music, 0.1).db(), kSilentDb);
  music.play_effect(0);
  EXPECT_NEAR(play_for(music, 0.01).peak, 0.5, 1e-6);
}

// The game's own lookup, behind candidates that are missing or no SoundFont:
// the first readable font of the system's list loads. What it sounds like is
// that font's affair, so only figures against the same font at full level are
// checked. Where the machine has no SoundFont, the game goes on in silence.
TEST_F(MusicRig, TheSystemsSoundFontLoadsOrTheGameGoesOnInSilence) {
  dat_.write("noise.sf2", std::vector<uint8_t>(4096, 0x5A));
  std::vector<std::string> fonts = {(dat_.path() / "absent.sf2").string(),
                                    (dat_.path() / "noise.sf2").string()};
  for (const auto& candidate : sound_font_candidates()) fonts.push_back(candidate);
  const std::string expected = testing::system_sound_font();
  RecordProperty("sound_font", expected.empty() ? "none" : expected);

  // One Music per level, each from the start of the same track.
  auto heard_at = [&](float level) {
    auto music = make(fonts);
    music->set_level(level);
    wait_ready(*music);
    EXPECT_EQ(music->status().sound_font, expected);
    music->play_music("long.mid");
    const Level heard = play_for(*music, 1.0);
    music->play_music("short.mid");
    EXPECT_EQ(music->status().track, "short.mid") << "the game asks on";
    return heard;
  };
  const Level full = heard_at(1.0F);
  const Level half = heard_at(volume_level(50, false));
  const Level muted = heard_at(volume_level(100, true));
  EXPECT_LT(muted.db(), -60);
  if (expected.empty()) {
    EXPECT_LT(full.db(), -60) << "no SoundFont, no sound";
    return;
  }
  EXPECT_GT(full.db(), -60);
  EXPECT_NEAR(half.db() - full.db(), -15, 0.1) << "50 % is five steps of 3 dB down";
}

// Closing the music at any moment of its start, with a track waiting for the
// font, returns at once; a loader thread left touching what is gone would be
// caught by the sanitizers.
TEST_F(MusicRig, GoingAwayWhileTheSoundFontLoadsNeitherHangsNorCrashes) {
  using Clock = std::chrono::steady_clock;
  int while_loading = 0;
  for (int delay_us : {0, 0, 0, 0, 100, 300, 1000, 3000, 10000, 30000}) {
    SCOPED_TRACE(delay_us);
    auto music = make();
    music->play_music("long.mid");
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
    if (!music->status().ready) ++while_loading;
    const auto begin = Clock::now();
    music.reset();
    EXPECT_LT(Clock::now() - begin, 2s);
  }
  EXPECT_GT(while_loading, 0) << "none was closed before its font was in";
}

// The real device path, in a sound setting of the test's own. Where no sound
// server or card answers, no driver opens and the game says so in one line;
// where a server does, the music reaches it. Either way neither FluidSynth,
// ALSA nor PulseAudio may say a word of their own on the terminal.
TEST_F(MusicRig, OpeningTheAudioDeviceSaysNothingOnStderr) {
  MusicOptions options = default_music_options();
  options.sound_fonts = {font_};
  for (const bool server : {false, true}) {
    SCOPED_TRACE(server ? "a private sound server" : "no sound server");
    PrivateSound sound(server);
    if (server && !sound.server_running()) GTEST_SKIP() << sound.why_not();
    MusicStatus status;
    ::testing::internal::CaptureStderr();
    {
      Music music(
          dat_.path().string(), [] { return true; }, options);
      music.play_music("long.mid");
      wait_ready(music);
      music.play_music("short.mid");
      const auto deadline = std::chrono::steady_clock::now() + (server ? 10s : 300ms);
      while (music.status().first_sound_ns == 0 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(5ms);
      }
      status = music.status();
      if (server) {
        // Everything muted, the stream stops; a sound heard again opens it.
        const auto driver_is = [&](bool open) {
          const auto until = std::chrono::steady_clock::now() + 5s;
          while (music.status().driver.empty() == open && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(5ms);
          return !music.status().driver.empty() == open;
        };
        music.set_level(0.0F);
        EXPECT_TRUE(driver_is(false)) << "muted, the device stays open";
        music.set_level(0.5F);
        EXPECT_TRUE(driver_is(true)) << "unmuted, the device stays closed";
      }
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              server ? "" : "quillot: no sound device could be opened (tried pulseaudio, pipewire, alsa); the game plays without sound\n");
    EXPECT_EQ(status.driver, server ? kDriverOrder.front() : "");
    EXPECT_EQ(status.first_sound_ns > 0, server) << "the music reaches the server, and only a server";
  }
}

}  // namespace
}  // namespace quillot::audio
