#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <filesystem>
#include <fstream>

#include "app/window/form.h"
#include "app/window/records_screen.h"
#include "session/replay.h"
#include "session/run_recorder.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

class QuietDialogs : public Dialogs {
 public:
  QStringList names_asked;
  void message(const QString&) override {}
  void error(const QString& text) override { errors << text; }
  std::optional<QString> ask_text(const QString& text, const QString& suggested) override {
    names_asked << text;
    return suggested.isEmpty() ? QString("ANNA") : suggested;
  }
  QStringList errors;
};

std::optional<Recording> shipped(const std::string& name) {
  const std::string here = __FILE__;
  std::string error;
  return read_recording(here.substr(0, here.rfind("/app/")) + "/replays/" + name, &error);
}

// A game folder in /tmp, its settings and data homes too, so nothing reaches the real home.
class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_folder("records");
    config_.emplace("XDG_CONFIG_HOME", (dir_ / "config").string());
    data_.emplace("XDG_DATA_HOME", (dir_ / "data").string());
    fs::create_directories(dir_ / "dat");
    fs::create_directories(dir_ / "cg");
    std::ofstream(dir_ / "dat/my.dat")
        << "0\r\n0\r\n44\r\n3\r\n18\r\n10\r\n2\r\n3\r\n0\r\n0\r\n1\r\n0\r\n0\r\n";
    std::ofstream(dir_ / "dat/s.dat") << "";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<TForm1> make() {
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &dialogs_;
    o.seed_from_clock = false;
    return std::make_unique<TForm1>(o);
  }

  // Plays a shipped recording's inputs in the window as a player gives them:
  // the title's and shop's buttons clicked, the mouse over the playfield,
  // and the frame ticks while the stage runs.
  void play(TForm1& form, const Recording& rec) {
    int64_t at = 0;
    for (const Recording::Line& l : rec.lines) {
      for (; at < l.tick && form.timer_running(); ++at) form.Timer1Timer();
      at = l.tick;
      if (l.kind != Recording::Line::Kind::Event) continue;
      if (l.input.kind == Input::Kind::Click) {
        QPushButton* b = l.input.control == Control::Button4   ? form.Button4
                         : l.input.control == Control::Button6 ? form.Button6
                                                               : nullptr;
        if (b != nullptr && b->isVisibleTo(&form)) b->click();
      } else {
        form.carry_out(Routed::play(l.input));
      }
    }
    while (form.timer_running()) form.Timer1Timer();
  }

  fs::path dir_;
  QuietDialogs dialogs_;
  std::optional<ScopedEnv> config_, data_;
};

TEST_F(RecordsTest, AGameAfterAnEarlierGameOverInTheSameSessionIsRecordedAndReplays) {
  const auto lost = shipped("lost_game.qrp");
  ASSERT_TRUE(lost);
  const fs::path folder = dir_ / "runs";
  {
    int64_t clock = 1700000000;
    RunRecorder runs(RunStore(folder.string()), [&clock] { return clock += 60; });
    auto form = make();
    form->game().random.seed = lost->seed;
    form->set_run_recorder(&runs);
    play(*form, *lost);
    ASSERT_EQ(form->screen(), Screen::Title);
    QCoreApplication::sendPostedEvents();  // the name box, if the game was among the best
    // The second game starts from all that the first left in the fields, and
    // from points the save brought (the score lives on through COUNTINUE).
    form->game().profile.score = 500;
    play(*form, *lost);
    QCoreApplication::sendPostedEvents();
    form->Button4->click();  // a third, given up in the shop by closing the window
    form.reset();
  }
  const auto games = RunStore(folder.string()).load();
  ASSERT_EQ(games.size(), 3u);
  EXPECT_EQ(games[2].end, RunEnd::GameOver);
  EXPECT_EQ(games[1].end, RunEnd::GameOver);
  EXPECT_EQ(games[0].end, RunEnd::Quit);
  for (const RunEntry& e : games)
    EXPECT_EQ(replay_headless((folder / e.file).string()), kReplayMatched) << e.file;
  // A lost game that scored is among the best of so few: its name was asked once and kept.
  qsizetype asked = 0;
  for (const RunEntry& e : games) {
    const bool named = e.end == RunEnd::GameOver && e.score > 0;
    asked += named ? 1 : 0;
    EXPECT_EQ(e.name, named ? "ANNA" : "") << e.file;
  }
  EXPECT_GT(asked, 0);
  EXPECT_EQ(dialogs_.names_asked.size(), asked);
}

TEST_F(RecordsTest, TheRecordsScreenOpensFromTheTitleByMouseKeyAndPadAndGoesBack) {
  // Thirty games listed, as many as the store keeps.
  const fs::path folder = dir_ / "runs";
  fs::create_directories(folder);
  std::vector<RunEntry> entries;
  int32_t best = 0;
  for (int i = 0; i < 30; ++i) {
    RunEntry e;
    e.file = "game" + std::to_string(100 + i) + ".qrp";
    e.date = 1700000000 + i * 600;
    e.score = (i * 7919) % 5000;
    best = std::max(best, e.score);
    e.stage = i;
    e.ticks = 1200 * i;
    entries.push_back(e);
    std::ofstream(folder / e.file) << "QUILLOT-RECORDING 2\n";
  }
  std::ofstream(folder / RunStore::kIndexName) << format_run_index(entries);
  RunRecorder runs(RunStore(folder.string()), [] { return int64_t{0}; });
  auto form = make();
  form->set_run_recorder(&runs);
  std::vector<std::string> watched;
  form->watch_recording = [&](const std::string& path) { watched.push_back(path); };
  auto press = [&](PadButton b) {
    for (bool down : {true, false})
      for (const Routed& r :
           form->router().pad_event(form->input_context(), {PadEvent::Kind::Button, 0, b, down}))
        form->carry_out(r);
  };
  auto key = [&](int k) {
    QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &e);
  };
  struct Way {
    const char* name;
    std::function<void()> open, back;
  };
  const Way ways[] = {
      {"mouse", [&] { form->records_button->click(); },
       [&] { form->records_screen()->back_button->click(); }},
      {"key", [&] { key(Qt::Key_R); }, [&] { key(Qt::Key_Escape); }},
      // After NEW START and CONTINUE in the title's order.
      {"pad", [&] { press(PadButton::Down), press(PadButton::Down), press(PadButton::South); },
       [&] { press(PadButton::East); }},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.name);
    ASSERT_EQ(form->screen(), Screen::Title);
    ASSERT_FALSE(form->records_shown());
    w.open();
    ASSERT_TRUE(form->records_shown());
    RecordsScreen* r = form->records_screen();
    QElapsedTimer painting;
    painting.start();
    (void)r->grab();
    std::printf("[ records ] opened by %s with 30 games listed in %.2f ms, drawn in %.2f ms\n", w.name,
                r->last_open_ms(), static_cast<double>(painting.nsecsElapsed()) / 1e6);
    ASSERT_EQ(r->list->rows().size(), 10u);
    EXPECT_EQ(r->list->rows().front().score, best);  // the best first
    // Down the list, then Watch by its key.
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    ASSERT_FALSE(watched.empty());
    EXPECT_EQ(watched.back(), (folder / r->list->rows()[1].file).string());
    // The list's button goes round the best, the last, the statistics and the practice games.
    for (const bool stats : {false, true, false, false}) {
      r->list_button->click();
      EXPECT_EQ(r->showing_stats(), stats);
      EXPECT_EQ(!r->stats_slot->isHidden(), stats);
      EXPECT_EQ(!r->list->isHidden(), !stats);
    }
    EXPECT_TRUE(r->showing_best()) << "and round again";
    w.back();
    EXPECT_FALSE(form->records_shown());
    EXPECT_EQ(form->screen(), Screen::Title);
  }
}

}  // namespace
}  // namespace quillot
