#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QWidget>

#include "app/after_first_paint.h"
#include "app/music_port.h"

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

// Beside the test program there is no music module: the game asks for its
// tracks and its volume as usual and hears nothing, without a fault.
TEST(SynthMusic, WithoutItsModuleTheGameGoesOnInSilence) {
  SynthMusic music("/nonexistent", [] { return true; });
  music.play_music("5.mid");
  music.set_volume(50, false);
  music.start();
  music.start();
  music.play_music("1.mid");
  music.set_volume(0, true);
  EXPECT_EQ(music.first_sound_ns(), 0);
}

}  // namespace
}  // namespace quillot
