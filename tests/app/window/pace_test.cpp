// A gentler pace in the game's window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/options/options_window.h"
#include "app/window/form.h"
#include "game/checksum.h"
#include "session/pace.h"
#include "session/replay.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

class SilentBoxes : public Dialogs {
 public:
  void message(const QString&) override {}
  void error(const QString& text) override { errors << text; }
  QStringList errors;
};

class HeardMusic : public MusicPort {
 public:
  std::vector<std::string> tracks;
  void play_music(const std::string& name) override { tracks.push_back(name); }
};

void key(QWidget* w, int k) {
  QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

class PaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_folder("pace");
    fs::create_directories(dir_ / "dat");
    fs::create_directories(dir_ / "cg");
    // Stage 12 reached, 5230 the best score.
    std::ofstream(dir_ / "dat/my.dat", std::ios::binary)
        << "7\r\n5230\r\n12\r\n4\r\n18\r\n10\r\n2\r\n3\r\n900\r\n0\r\n3\r\n3\r\n0\r\n";
    std::ofstream(dir_ / "dat/s.dat", std::ios::binary) << "";
    config_.emplace("XDG_CONFIG_HOME", (dir_ / "config").string());
    data_.emplace("XDG_DATA_HOME", (dir_ / "data").string());
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<TForm1> make(int speed = 100) {
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &boxes_;
    o.music = &music_;
    o.seed_from_clock = false;
    o.settings = Settings{.scale = 1, .speed = speed};
    o.remember_settings = true;
    o.remembered = o.settings;
    return std::make_unique<TForm1>(o);
  }

  std::optional<ScopedEnv> config_, data_;
  fs::path dir_;
  SilentBoxes boxes_;
  HeardMusic music_;
};

// The same inputs at every pace: the frame timer's interval is all that
// differs, the game reaches the same state, and the recording says the pace
// (and its change from the options) only where it is not the normal one.
TEST_F(PaceTest, AGentlerSpeedLengthensTheTickAndChangesNothingElse) {
  std::optional<uint64_t> at_normal_pace;
  for (int32_t speed : kSpeeds) {
    const std::string file = (dir_ / "paced.qrp").string();
    std::string lines;
    {
      auto form = make(speed);
      EXPECT_EQ(form->Timer1.interval(), tick_interval_ms(speed)) << speed;
      Recorder recorder(file, form->game());
      form->set_recorder(&recorder);
      form->Button4Click();
      form->Button5Click();
      for (int i = 0; i < 60; ++i) {
        form->cgMouseMove(40 + (i * 11) % 320);
        if (i % 4 == 0) form->cgMouseDown(MouseButton::Left);
        if (i == 30) {
          // Back to the normal pace from the options, mid-stage.
          form->show_options();
          OptionsWindow* w = form->options_window();
          w->speed->setFocus();
          key(w->speed, Qt::Key_Home);
          w->close_button->click();
          form->set_paused(false);
          EXPECT_EQ(form->Timer1.interval(), kTickMs) << speed;
          EXPECT_EQ(form->pace(), 100);
        }
        form->Timer1Timer();
      }
      if (!at_normal_pace) at_normal_pace = checksum(form->game());
      EXPECT_EQ(checksum(form->game()), *at_normal_pace) << speed;
      form->settings_keeper().flush();
      EXPECT_EQ(load_settings().speed, 100) << "the change is remembered";
      form->set_recorder(nullptr);
      recorder.end(form->ticks(), form->game());
    }
    const std::string text = read_file(file);
    const std::string expected = speed == 100 ? "" : "0 speed " + std::to_string(speed) + "\n30 speed 100\n";
    std::string said;
    for (size_t at = text.find(" speed "); at != std::string::npos; at = text.find(" speed ", at + 1))
      said += text.substr(text.rfind('\n', at) + 1, text.find('\n', at) - text.rfind('\n', at));
    EXPECT_EQ(said, expected) << speed;
    EXPECT_EQ(replay_headless(file), kReplayMatched) << speed;
  }
}

}  // namespace
}  // namespace quillot
