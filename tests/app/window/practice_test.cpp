// A gentler pace and the practice of one stage, in the game's window.
#include "app/window/practice.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/options/options_window.h"
#include "app/window/form.h"
#include "game/checksum.h"
#include "session/pace.h"
#include "session/replay.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

struct SilentBoxes : Dialogs {
  void message(const QString&) override {}
  void error(const QString&) override {}
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

class PracticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_folder("practice");
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

  // Chooses `stage` with the saved game's equipment and starts it.
  static void practise(TForm1* form, int32_t stage) {
    form->open_practice();
    PracticeChooser* chooser = form->practice()->chooser();
    ASSERT_NE(chooser, nullptr);
    chooser->stages->setCurrentIndex(chooser->stages->findData(stage));
    chooser->start->click();
  }

  std::optional<ScopedEnv> config_, data_;
  fs::path dir_;
  SilentBoxes boxes_;
  HeardMusic music_;
};

// The same inputs at every pace: the frame timer's interval is all that
// differs, the game reaches the same state, and the recording says the pace
// (and its change from the options) only where it is not the normal one.
TEST_F(PracticeTest, AGentlerSpeedLengthensTheTickAndChangesNothingElse) {
  std::optional<uint64_t> at_normal_pace;
  for (int32_t speed : kSpeeds) {
    const std::string file = (dir_ / "paced.qrp").string();
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
    std::istringstream text(read_file(file));
    std::string said;
    for (std::string line; std::getline(text, line);)
      if (line.find(" speed ") != std::string::npos) said += line + "\n";
    EXPECT_EQ(said, speed == 100 ? "" : "0 speed " + std::to_string(speed) + "\n30 speed 100\n") << speed;
    EXPECT_EQ(replay_headless(file), kReplayMatched) << speed;
  }
}

// However a practice ends and whichever way its box is left, the save file
// keeps its bytes and the player's game (its best score with it) is the one
// it was, though the practice scored far more.
TEST_F(PracticeTest, PracticeNeverWritesTheSaveOrTheBestScore) {
  enum class End { Cleared, Lost };
  struct Case {
    End end;
    std::function<void(PracticeResultBox*)> leave;
    bool practising_after;
    bool chooser_after;
  };
  const Case cases[] = {
      {End::Cleared, [](PracticeResultBox* b) { b->back->click(); }, false, false},
      {End::Lost, [](PracticeResultBox* b) { key(b, Qt::Key_Escape); }, false, false},
      {End::Lost, [](PracticeResultBox* b) { b->again->click(); }, true, false},
      {End::Cleared, [](PracticeResultBox* b) { b->another->click(); }, false, true},
  };
  const std::string save = read_file(dir_ / "dat/my.dat");
  for (const Case& c : cases) {
    auto form = make();
    const uint64_t player = checksum(form->game());
    form->Timer2Timer();
    const std::string best_shown = (form->stage_l->text() + form->save_l->text()).toStdString();
    practise(form.get(), 7);
    Game& g = form->game();
    ASSERT_TRUE(form->practising());
    EXPECT_EQ(std::make_tuple(form->screen(), g.profile.stage, g.msg_text, music_.tracks.back()),
              std::make_tuple(Screen::None, 7, std::string("START!!!"), std::string("7.mid")));
    g.profile.score = 999999;
    g.profile.hi_score = 999999;
    if (c.end == End::Cleared) g.enemies = {};
    if (c.end == End::Lost) g.player_state = bird_state::kDying;
    for (int i = 0; i < 400 && form->Timer1.isActive(); ++i) form->Timer1Timer();
    QCoreApplication::sendPostedEvents();
    PracticeResultBox* box = form->practice()->result_box();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text->text().contains(c.end == End::Cleared ? "CLEAR!!" : "GAME OVER"));
    EXPECT_TRUE(box->text->text().contains("999999")) << "the practice's own score";
    EXPECT_EQ(form->screen(), Screen::None) << "no shop and no title after a practice";
    c.leave(box);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(read_file(dir_ / "dat/my.dat"), save);
    EXPECT_EQ(form->practising(), c.practising_after);
    EXPECT_EQ(form->practice()->chooser() != nullptr, c.chooser_after);
    if (c.practising_after) {
      EXPECT_TRUE(form->Timer1.isActive() && form->game().profile.stage == 7)
          << "again: the same stage at once";
      continue;
    }
    EXPECT_EQ(checksum(form->game()), player);
    EXPECT_EQ(form->game().profile.hi_score, 5230);
    form->Timer2Timer();
    EXPECT_EQ((form->stage_l->text() + form->save_l->text()).toStdString(), best_shown);
  }
}

// A practice is recorded apart and replays as any game; a game recorded
// around it goes on as if it had not been.
TEST_F(PracticeTest, APracticeRecordingReplaysAndLeavesTheGameRecordedAroundIt) {
  const std::string around = (dir_ / "around.qrp").string();
  std::string practice;
  {
    auto form = make(70);
    Recorder recorder(around, form->game());
    form->set_recorder(&recorder);
    practise(form.get(), 12);
    practice = form->practice()->recording_path();
    EXPECT_EQ(fs::path(practice).parent_path(), dir_ / "dat/runs/practice");
    for (int i = 0; i < 80; ++i) {
      form->cgMouseMove(30 + (i * 13) % 340);
      if (i % 3 == 0) form->cgMouseDown(MouseButton::Left);
      form->Timer1Timer();
    }
    form->close();  // mid-stage
    EXPECT_FALSE(form->practising());
    form->Button4Click();
    form->set_recorder(nullptr);
    recorder.end(form->ticks(), form->game());
  }
  const std::string text = read_file(practice);
  EXPECT_NE(text.find("\n0 speed 70\n0 click practice\n"), std::string::npos);
  EXPECT_NE(text.find("\n80 end "), std::string::npos);
  EXPECT_EQ(replay_headless(practice), kReplayMatched);
  EXPECT_EQ(replay_headless(around), kReplayMatched);
}

}  // namespace
}  // namespace quillot
