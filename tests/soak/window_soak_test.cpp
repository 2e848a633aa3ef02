// The real main window on edited save files: its buttons clicked as a player
// would (only when shown and enabled), its playfield steered and fired at, its
// two timers' handlers run, with the shipped story file and pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/window/form.h"
#include "session/profile_file.h"
#include "tests/soak/soak_driver.h"

namespace quillot::soak {
namespace {

namespace fs = std::filesystem;

class CountingDialogs : public Dialogs {
 public:
  int messages = 0, errors = 0;
  void message(const QString&) override { ++messages; }
  void error(const QString&) override { ++errors; }
};

class WindowSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quillot-soak-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    const fs::path source = fs::path(__FILE__).parent_path().parent_path().parent_path();
    for (const char* sub : {"dat", "cg"}) fs::copy(source / sub, dir_ / sub, fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<TForm1> start(const Profile& saved) {
    std::ofstream(dir_ / "dat" / "my.dat", std::ios::binary | std::ios::trunc) << format_profile(saved);
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &dialogs_;
    o.seed_from_clock = false;
    return std::make_unique<TForm1>(o);
  }

  fs::path dir_;
  CountingDialogs dialogs_;
};

bool clickable(const QWidget* w) { return w->isVisibleTo(w->window()) && w->isEnabled(); }

TEST_F(WindowSoak, ButtonsTimersAndMouseOnEditedSaves) {
  constexpr int32_t kPicks[] = {INT32_MAX, INT32_MIN, 0, -1, 1, 46, 33, 100000};
  std::mt19937 rng(21);
  Watchdog dog(std::chrono::milliseconds(1000));
  int64_t ticks = 0, stages = 0, step = 0;
  for (int game = 0; game < 4; ++game) {
    Profile saved;
    for (int32_t* f : profile_fields(saved)) *f = kPicks[rng() % std::size(kPicks)];
    if (game == 0) saved = Profile{INT32_MAX, INT32_MAX, 40, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX,
                                   INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    auto form = start(saved);
    form->show();
    int64_t game_ticks = 0, idle = 0, stage_ticks = 0;
    while (game_ticks < 1200 && idle < 1500) {
      dog.begin(step++);
      ++idle;
      const bool was_on = form->Timer1.isActive();
      switch (form->screen()) {
        case Screen::Title:
          if (rng() % 10 == 0) (rng() % 4 == 0 ? form->Button1 : form->Button4)->click();
          break;
        case Screen::Shop:
          if (rng() % 4 == 0) {
            const uint32_t r = rng() % 9;
            QPushButton* b = r == 0 ? form->Button5 : r == 1 ? form->Button6 : form->a[rng() % 10];
            if (clickable(b)) b->click();
          }
          break;
        case Screen::Story:
          if (rng() % 5 == 0) (clickable(form->Button10) && rng() % 2 == 0 ? form->Button10 : form->Button8)->click();
          break;
        case Screen::None:
          ASSERT_TRUE(form->Timer1.isActive()) << "the playfield shows with nothing to move it on";
          if (rng() % 2 == 0) form->cgMouseMove(rng() % 8 == 0 ? static_cast<int>(rng()) : int(rng() % 500) - 50);
          // The bomb's flash waits between its frames, so it is set off rarely.
          if (rng() % 3 == 0) form->cgMouseDown(rng() % 200 == 0 ? MouseButton::Right : MouseButton::Left);
          // A player who cannot find the last enemies waits until they fly off.
          if (++stage_ticks > 400 && form->game().msg_phase < 100)
            for (EnemyRec& e : form->game().enemies)
              if (e.kind >= 1 && e.kind <= 99) e.kind = 0;
          form->Timer1Timer();
          ++ticks;
          ++game_ticks;
          idle = 0;
          break;
      }
      if (!was_on && form->Timer1.isActive()) {
        ++stages;
        stage_ticks = 0;
      }
      if (step % 2 == 0) form->Timer2Timer();
      EXPECT_LT(dog.end(), std::chrono::seconds(1)) << "step " << step;
    }
    QApplication::processEvents();
    (void)form->grab();
  }
  std::cout << ticks << " window ticks, " << stages << " stages, " << dialogs_.messages << " messages, "
            << dialogs_.errors << " error boxes\n";
  EXPECT_GT(ticks, 1000);
  EXPECT_GT(stages, 3);
}

}  // namespace
}  // namespace quillot::soak
