#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "app/main/first_paint.h"
#include "audio/music_port.h"
#include "audio/module/sound_font.h"
#include "tests/support/private_sound.h"

namespace quillot {
namespace {

// The music's steps wait for the window's first frame, run once each, in
// order, and a step added after that moment still runs.
TEST(AfterFirstPaint, RunsItsStepsOnceAfterTheFirstPaintInOrder) {
  QWidget window;
  window.resize(100, 80);
  AfterFirstPaint after(window);
  std::vector<int> ran;
  after.then([&] { ran.push_back(1); });
  after.then([&] { ran.push_back(2); });
  QApplication::processEvents();
  EXPECT_TRUE(ran.empty()) << "nothing before the window is painted";

  window.show();
  for (int i = 0; i < 50 && ran.size() < 2; ++i) QApplication::processEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  window.repaint();
  QApplication::processEvents();
  after.then([&] { ran.push_back(3); });
  for (int i = 0; i < 50 && ran.size() < 3; ++i) QApplication::processEvents();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

const std::string kRoot = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path().string();

// Nothing of the music is opened where its module is not found, is missing
// or is no module: the window asks as usual and the game goes on, silent.
TEST(SynthMusic, WithoutItsModuleTheGameGoesOnInSilence) {
  PrivateSound sound(false);
  const std::string not_a_module = kRoot + "/tests/audio/test_gm.sf2";
  for (const std::string& module :
       {std::string(), std::string("/nonexistent/quillot-audio.so"), not_a_module}) {
    SCOPED_TRACE(module.empty() ? "none beside the test program" : module);
    SynthMusic music(
        kRoot + "/dat", [] { return true; }, module);
    music.play_music("5.mid");
    music.set_volume(50, false);
    music.start();
    music.start();
    music.play_effect(Sound::Coin);
    music.play_music("1.mid");
    const audio::MusicStatus status = music.status();
    music.set_volume(0, true);
    EXPECT_FALSE(status.ready) << "no synth was set up";
    EXPECT_EQ(status.track, "");
    EXPECT_EQ(status.sound_font, "");
    EXPECT_EQ(status.driver, "");
    EXPECT_EQ(status.first_sound_ns, 0);
  }
}

// The game's module, named by its file, into a private sound server: the
// first track asked for plays through the system's SoundFont and reaches the
// server, and the next one asked for takes its place. Where the machine has no
// SoundFont nothing is heard and the game goes on all the same.
TEST(SynthMusic, ItsModulePlaysThroughTheSystemsSoundFontOrGoesOnInSilence) {
  PrivateSound sound(true);
  if (!sound.server_running()) GTEST_SKIP() << sound.why_not();
  std::string expected;
  for (const auto& path : audio::sound_font_candidates()) {
    if (audio::readable(path)) {
      expected = path;
      break;
    }
  }
  RecordProperty("sound_font", expected.empty() ? "none" : expected);
  // The calls the window makes, in its order: the first track asked for while
  // it is built, the volumes, the module opened after the first paint; then,
  // once the music is up, the game's next track.
  SynthMusic music(
      kRoot + "/dat", [] { return true; }, QUILLOT_TEST_MODULE);
  music.play_music("5.mid");
  music.set_volume(50, false);
  music.set_effects_volume(100, false);
  music.start();
  music.play_effect(Sound::Coin);
  auto up = [](const audio::MusicStatus& status) {
    return status.ready && (status.sound_font.empty() || status.first_sound_ns != 0);
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!up(music.status()) && std::chrono::steady_clock::now() < deadline) {
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  music.play_music("1.mid");
  const audio::MusicStatus status = music.status();
  EXPECT_TRUE(status.ready);
  EXPECT_EQ(status.sound_font, expected);
  EXPECT_EQ(status.driver, "pulseaudio") << "a device is opened, with or without a font: the effects need none";
  EXPECT_EQ(status.track, "1.mid");
  if (expected.empty()) {
    EXPECT_EQ(status.first_sound_ns, 0) << "no SoundFont, no sound";
  } else {
    EXPECT_GT(status.first_sound_ns, 0) << "the first track reached the server";
  }
}

}  // namespace
}  // namespace quillot
