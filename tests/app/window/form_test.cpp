#include "app/window/form.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "app/render/art.h"
#include "app/options/controls_page.h"
#include "app/options/language.h"
#include "app/options/options_window.h"
#include "app/options/settings.h"
#include "app/window/dialogs.h"
#include "app/window/theatre.h"
#include "app/window/window_scale.h"
#include "game/checksum.h"
#include "session/profile_file.h"
#include "session/replay.h"
#include "session/theatre.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

class RecordingDialogs : public Dialogs {
 public:
  QStringList messages, errors;
  int modal_ms = 0;  // an error box stays open this long, its event loop running as a real one's
  QStringList questions;
  bool answer = true;
  void message(const QString& text) override { messages << text; }
  bool ask(const QString& text) override {
    questions << text;
    return answer;
  }
  void error(const QString& text) override {
    errors << error_box_text(text);
    if (modal_ms == 0) return;
    QEventLoop loop;
    QTimer::singleShot(modal_ms, &loop, &QEventLoop::quit);
    loop.exec();
  }
};

class RecordingMusic : public MusicPort {
 public:
  std::vector<std::string> tracks;
  int volume = -1;
  bool muted = false;
  void play_music(const std::string& name) override { tracks.push_back(name); }
  bool ducked = false;
  void set_ducked(bool duck) override { ducked = duck; }
  void set_volume(int percent, bool mute) override {
    volume = percent;
    muted = mute;
  }
  std::vector<Sound> sounds;
  int effects_volume = -1;
  bool effects_muted = false;
  void play_effect(Sound sound) override { sounds.push_back(sound); }
  void set_effects_volume(int percent, bool mute) override {
    effects_volume = percent;
    effects_muted = mute;
  }
};

// Whether a label shows its text whole: drawn the same but taller, nothing
// lies under its real bottom edge. (A font's cell may be a pixel taller than
// a box that still shows every letter whole.)
bool ink_fits_height(const QLabel* l) {
  QLabel tall(l->text());
  tall.setFont(l->font());
  tall.setPalette(l->palette());
  tall.setAutoFillBackground(true);
  tall.setAlignment(l->alignment());
  tall.setWordWrap(l->wordWrap());
  tall.resize(l->width(), l->height() + 40);
  const QImage image = tall.grab().toImage();
  const QRgb background = l->palette().color(QPalette::Window).rgb();
  for (int y = l->height(); y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) return false;
    }
  }
  return true;
}

// Whether a right-aligned label's text stays off its last column: a glyph
// whose ink reaches past its advance is cut there otherwise.
bool ink_clear_of_right_edge(QLabel* l) {
  const QImage image = l->grab().toImage();
  const QRgb background = l->palette().color(QPalette::Window).rgb();
  for (int y = 0; y < image.height(); ++y)
    if (image.pixel(image.width() - 1, y) != background) return false;
  return true;
}

// The text-fit tests measure with the game's own font: a stand-in's letters
// have other widths, and its figures would say nothing.
bool game_font_installed() { return QFontInfo(game_font(12)).family() == kGameFontFamily; }

// What the settings file holds once the changes waiting for a quiet moment are written.
Settings remembered(TForm1* form) {
  form->settings_keeper().flush();
  return load_settings();
}

// A box asked for by a handler opens once the handler has returned, when the
// event loop next runs: here, at once.
void boxes_open() { QCoreApplication::sendPostedEvents(); }

// Real Qt events, delivered as the window system would deliver them.
void key(QWidget* w, int k, bool press, Qt::KeyboardModifiers mods = Qt::NoModifier,
         bool autorepeat = false) {
  QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, k, mods, QString(), autorepeat);
  QApplication::sendEvent(w, &e);
}
void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, button, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// The game in one language for the length of a test; Japanese again after.
struct SpeakingIn {
  explicit SpeakingIn(Language language) { use_language(language); }
  ~SpeakingIn() { use_language(Language::Japanese); }
};

// Whether an English player can read the text: no kana, no kanji, no
// full-width or half-width forms (arrows and marks such as ◆ and ♪ are fine).
bool latin(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF))
      return false;
  }
  return true;
}

// A game folder of its own in /tmp, so no test touches the real data.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_folder("form");
    fs::create_directories(dir_ / "dat");
    fs::create_directories(dir_ / "cg");
    write("dat/my.dat", "7\r\n5230\r\n12\r\n4\r\n18\r\n10\r\n2\r\n3\r\n900\r\n0\r\n3\r\n3\r\n0\r\n");
    write("dat/s.dat", "");
    QImage start(400, 300, QImage::Format_RGB32);
    start.fill(Qt::green);
    start.save(QString::fromStdString((dir_ / "cg/start.bmp").string()));
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& rel, const std::string& bytes) {
    std::ofstream(dir_ / rel, std::ios::binary) << bytes;
  }

  std::unique_ptr<TForm1> make(const Settings& settings = Settings{.scale = 1}, bool remember = false) {
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &dialogs_;
    o.music = &music_;
    o.settings = settings;
    o.remember_settings = remember;
    if (remember) o.remembered = load_settings();
    return std::make_unique<TForm1>(o);
  }

  // Plays `session` in a window that records every input and tick, closes it
  // (which ends the recording) and checks that the recording replays without
  // a window to the same checksums. Returns the recording.
  std::string record(const std::function<void(TForm1* form)>& session) {
    const std::string file = (dir_ / "session.qrp").string();
    std::unique_ptr<Recorder> recorder;
    {
      auto form = make();
      recorder = std::make_unique<Recorder>(file, form->game());
      form->set_recorder(recorder.get());
      session(form.get());
      boxes_open();  // the boxes asked for open before the window closes
    }
    recorder.reset();
    EXPECT_EQ(replay_headless(file), 0);
    replay_in_a_window(read_file(file));
    return read_file(file);
  }

  // A window a recording drives: the player's input never reaches its game.
  FormOptions watching(Dialogs& boxes, MusicPort& music) const {
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &boxes;
    o.music = &music;
    o.replaying = true;
    return o;
  }

  // Plays a recording in a window of its own, which loads the pictures for
  // real and shows the boxes; it must reach the same end as without one.
  void replay_in_a_window(const std::string& text) {
    std::string error;
    auto recording = parse_recording(text, &error);
    ASSERT_TRUE(recording.has_value()) << error;
    RecordingDialogs boxes;
    RecordingMusic music;
    TForm1 viewer(watching(boxes, music));
    Replayer replayer(std::move(*recording), viewer.game(), viewer, [&viewer] { return viewer.screen_state(); });
    replayer.start();
    Replayer::Step step = Replayer::Step::Tick;
    while (step == Replayer::Step::Tick || step == Replayer::Step::Event || step == Replayer::Step::Checked)
      step = replayer.step();
    EXPECT_EQ(step, Replayer::Step::Done) << replayer.error();
  }

  fs::path dir_;
  RecordingDialogs dialogs_;
  RecordingMusic music_;
};

TEST_F(FormTest, OpensOnTheTitleScreenWithTheSavedProfile) {
  auto form = make();
  EXPECT_TRUE(dialogs_.errors.isEmpty()) << dialogs_.errors.join("|").toStdString();
  EXPECT_EQ(form->size(), QSize(401, 301));
  EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
  EXPECT_EQ(form->windowTitle(), QString("ＱＵＩＬＬＯＴ ver 1.0 2001/3  ﾌﾞﾗｽｺ"));
  for (QGroupBox* box : {form->start_box, form->shop_box, form->story_box})
    EXPECT_EQ(box->geometry(), QRect(0, 0, 401, 301));
  EXPECT_EQ(form->screen(), Screen::Title);
  EXPECT_TRUE(form->shop_box->isHidden());
  EXPECT_TRUE(form->story_box->isHidden());
  EXPECT_FALSE(form->select_box->isHidden());
  EXPECT_FALSE(form->Timer1.isActive());
  EXPECT_TRUE(form->Timer2.isActive());
  EXPECT_EQ(form->Timer1.interval(), 50);
  EXPECT_EQ(form->Timer2.interval(), 100);
  EXPECT_EQ(music_.tracks, std::vector<std::string>{"5.mid"});
  EXPECT_EQ(form->game().profile.hi_score, 5230);
  EXPECT_EQ(form->game().profile.gold, 900);
  // The playfield under the title: blue with a black border, not the start picture.
  const QImage& cg = form->playfield_image();
  EXPECT_EQ(cg.size(), QSize(400, 300));
  EXPECT_EQ(cg.pixelColor(200, 150), QColor(0, 0, 255));
  EXPECT_EQ(cg.pixelColor(0, 0), QColor(0, 0, 0));
}

TEST_F(FormTest, TitleScreenCoversThePlayfieldAndHasItsControls) {
  auto form = make();
  form->show();
  QApplication::processEvents();
  const QImage shot = form->grab().toImage();
  EXPECT_NE(shot.pixelColor(200, 150), QColor(0, 0, 255)) << "the playfield must be hidden";
  EXPECT_EQ(form->Button1->text(), "NEW START");
  EXPECT_EQ(form->Button4->text(), "COUNTINUE");
  EXPECT_EQ(form->Button1->geometry(), QRect(148, 196, 101, 25));
  EXPECT_EQ(form->Image1->geometry(), QRect(4, 8, 393, 289));
}

TEST_F(FormTest, MissingSaveFileReportsAndStillGivesAUsableWindow) {
  fs::remove(dir_ / "dat/my.dat");
  auto form = make();
  ASSERT_EQ(dialogs_.errors.size(), 1);
  EXPECT_EQ(dialogs_.errors[0], QString("ﾌｧｲﾙが見つかりません."));
  EXPECT_EQ(profile_values(form->game().profile), (std::array<int32_t, 13>{}));
  EXPECT_EQ(form->size(), QSize(401, 301));
  EXPECT_EQ(music_.tracks, std::vector<std::string>{"5.mid"});
  EXPECT_EQ(form->playfield_image().pixelColor(200, 150), QColor(0, 0, 255));
}

TEST_F(FormTest, WithNowhereToSaveTheGamePlaysAndSaveSaysWhy) {
  FormOptions o;
  o.base_dir = dir_.string();
  o.dialogs = &dialogs_;
  o.music = &music_;
  o.cannot_save = "ﾎｰﾑ ﾌｫﾙﾀﾞが見つからないためｾｰﾌﾞできません";
  TForm1 form(o);
  EXPECT_TRUE(dialogs_.errors.isEmpty()) << "the game starts from the shipped save";
  EXPECT_EQ(form.game().profile.hi_score, 5230);
  const std::string shipped = read_file(dir_ / "dat/my.dat");
  form.game().profile.hi_score = 9999;
  EXPECT_FALSE(form.save_profile(form.game().profile));
  boxes_open();
  EXPECT_EQ(dialogs_.errors, QStringList{error_box_text(QString::fromStdString(o.cannot_save))});
  EXPECT_EQ(read_file(dir_ / "dat/my.dat"), shipped);
}

TEST_F(FormTest, EachBrokenFileGetsItsOwnErrorBox) {
  write("dat/my.dat", "1\r\n2\r\nthree\r\n4\r\n");
  fs::remove(dir_ / "dat/s.dat");
  fs::remove(dir_ / "cg/start.bmp");
  auto form = make();
  EXPECT_EQ(dialogs_.errors,
            (QStringList{"入力値が数値ではありません.", "ﾌｧｲﾙが見つかりません.", "ﾌｧｲﾙが見つかりません."}));
  EXPECT_EQ(form->game().profile.hi_score, 2);
  EXPECT_EQ(form->game().profile.speed, 0);
  EXPECT_EQ(form->playfield_image().size(), QSize(400, 300));
}

TEST_F(FormTest, WhatStandsInPlaceOfAFileIsRefusedAtOnce) {
  const std::string denied = "ﾌｧｲﾙ ｱｸｾｽが拒否されました.";
  const struct {
    const char* what;
    std::function<void(const fs::path&)> put;
    const char* error;  // nullptr: no error box
  } kinds[] = {
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, denied.c_str()},
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, denied.c_str()},
      {"a link to an endless device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       denied.c_str()},
      // Only the start of a huge file is read (sparse, so the test writes nothing).
      {"a 4 GiB file",
       [](const fs::path& p) {
         std::ofstream{p};
         fs::resize_file(p, 4ull << 30);
       },
       nullptr},
  };
  for (const auto& k : kinds) {
    for (const char* file : {"dat/my.dat", "dat/s.dat", "cg/start.bmp"}) {
      SCOPED_TRACE(std::string(k.what) + " as " + file);
      SetUp();
      fs::remove(dir_ / file);
      k.put(dir_ / file);
      dialogs_.errors.clear();
      auto form = make();
      const bool picture = std::string(file) == "cg/start.bmp";
      if (k.error != nullptr) {
        EXPECT_EQ(dialogs_.errors, QStringList{k.error});
      } else {
        // A picture must be read whole to be shown; the text files need only their start.
        EXPECT_EQ(dialogs_.errors, picture ? QStringList{"ﾌｧｲﾙが見つかりません."} : QStringList{});
      }
      EXPECT_EQ(form->screen(), Screen::Title);
    }
  }
  // A story picture: the story screen stays, with its error box.
  SetUp();
  write("dat/s.dat", "once upon a time\r\nfifo.bmp\r\nname\r\n\r\n\r\n");
  ASSERT_EQ(::mkfifo((dir_ / "cg/fifo.bmp").c_str(), 0600), 0);
  dialogs_.errors.clear();
  auto form = make();
  form->game().profile.stage = 0;
  form->Button4Click();
  form->Button5Click();
  boxes_open();
  EXPECT_EQ(form->screen(), Screen::Story);
  EXPECT_EQ(dialogs_.errors, QStringList{denied.c_str()});
}

TEST_F(FormTest, ATickClearsToBlueAndPresents) {
  auto form = make();
  form->Button1Click();
  boxes_open();  // the question a saved game asks, answered はい
  EXPECT_EQ(form->screen(), Screen::None);
  EXPECT_TRUE(form->Timer1.isActive());
  form->Timer1Timer();
  const QImage& cg = form->playfield_image();
  EXPECT_EQ(cg.pixelColor(399, 150), QColor(0, 0, 255));
  EXPECT_EQ(cg.pixelColor(0, 150), QColor(0, 0, 255)) << "the border is gone after a tick";
  EXPECT_EQ(form->game().frame_no, 1);
}

TEST_F(FormTest, ASessionRecordedInTheWindowReplaysWithoutIt) {
  const std::string text = record([](TForm1* form) {
    form->Button1Click();
    boxes_open();  // the question a saved game asks, answered はい
    // Inputs no player could give now are neither played nor recorded, or
    // the replay would stop at them.
    form->Button4Click();
    form->shop_click(shop::Item::a9);
    for (int i = 0; i < 90; ++i) {
      form->cgMouseMove(40 + (i * 7) % 320);
      if (i % 3 == 0) form->cgMouseDown(MouseButton::Left);
      if (i == 50) form->cgMouseDown(MouseButton::Right);
      form->Timer1Timer();
    }
    EXPECT_EQ(form->ticks(), 90);
  });
  EXPECT_NE(text.find("\n90 end "), std::string::npos);
}

// Every control a player can press, pressed through its real button on the
// screen it belongs to: each must lead where its caption says, and the
// session recorded meanwhile must replay without a window to the same
// checksums. A control that does nothing fails here.
TEST_F(FormTest, AWindowedReplayTakesTheLinesOfOneTickInTurns) {
  // A recording may hold any number of lines at one tick.
  const std::string text = record([](TForm1* form) {
    form->Button1Click();
    boxes_open();  // the question a saved game asks, answered はい
    for (int i = 0; i < 400000; ++i) form->cgMouseMove(40 + i % 300);
  });
  std::string error;
  auto recording = parse_recording(text, &error);
  ASSERT_TRUE(recording.has_value()) << error;
  TForm1 form(watching(dialogs_, music_));
  int result = -1;
  form.watch(std::move(*recording), [&result](int status) { result = status; }, true);
  // Each time the window gets its events back, count whether the game moved on.
  QElapsedTimer clock;
  clock.start();
  uint64_t seen = checksum(form.game());
  int turns = 0;
  while (result < 0 && clock.elapsed() < 30000) {
    QCoreApplication::processEvents();
    const uint64_t now = checksum(form.game());
    turns += now != seen;
    seen = now;
  }
  EXPECT_EQ(result, kReplayMatched) << "watched to the end, the theatre closes with the replay's status";
  EXPECT_GT(turns, 20) << "the window got its events between the lines of one tick";
}

TEST_F(FormTest, EveryControlLeadsWhereItSaysAndItsRecordingReplays) {
  // Stage 12's story asks a question or not; the save is rich enough that
  // every shop item can be bought.
  const std::string rich = "7\r\n5230\r\n12\r\n4\r\n18\r\n10\r\n2\r\n3\r\n900000\r\n0\r\n3\r\n3\r\n0\r\n";
  auto stories = [](const char* choice, const std::string& picture = "q.bmp") {
    std::string bytes;
    for (int i = 0; i < kSlots; ++i)
      bytes += i == 12 ? "Go on?\r\n" + picture + "\r\nNAME\r\nabout\r\n" + choice + "\r\n"
                       : "\r\n\r\n\r\n\r\n\r\n";
    return bytes;
  };
  QImage picture(20, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(QString::fromStdString((dir_ / "cg/q.bmp").string()));
  struct Road {
    const char* name;
    std::string story;
    std::vector<const char*> presses;
    int32_t stage;
    Screen screen;
    bool save_fails = false;  // the save cannot be written once the game has read it
  };
  const Road roads[] = {
      {"NEW START", "", {"Button1"}, 0, Screen::None},
      {"COUNTINUE", "", {"Button4"}, 12, Screen::Shop},
      {"RETRY plays the same stage", "", {"Button4", "Button6"}, 12, Screen::None},
      {"NEXT without a story", "", {"Button4", "Button5"}, 13, Screen::None},
      {"story NEXT", stories(""), {"Button4", "Button5", "Button8"}, 13, Screen::None},
      {"はい: the next stage", stories("sel"), {"Button4", "Button5", "Button9"}, 13, Screen::None},
      {"いいえ: the stage after it", stories("sel"), {"Button4", "Button5", "Button10"}, 14, Screen::None},
      {"every shop item",
       "",
       {"Button4", "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a10", "a9"},
       12,
       Screen::Shop},
      // The outside world's failures take the game down other roads; the
      // recording must follow them wherever it is replayed.
      {"SAVE failing twice, then NEXT", "", {"Button4", "a9", "a9", "Button5"}, 13, Screen::None, true},
      {"a story picture that cannot be loaded leaves the question as it was",
       stories("", "gone.bmp"),
       {"Button4", "Button5", "Button9"},
       13,
       Screen::None},
  };
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    fs::remove_all(dir_ / "dat/my.dat");
    write("dat/my.dat", rich);
    write("dat/s.dat", road.story);
    dialogs_.messages.clear();
    Screen screen = Screen::Title;
    int32_t stage = -1;
    record([&](TForm1* form) {
      if (road.save_fails) {
        fs::remove(dir_ / "dat/my.dat");
        fs::create_directory(dir_ / "dat/my.dat");
      }
      const std::map<std::string, QPushButton*> buttons = {
          {"Button1", form->Button1},  {"Button4", form->Button4}, {"Button5", form->Button5},
          {"Button6", form->Button6},  {"Button8", form->Button8}, {"Button9", form->Button9},
          {"Button10", form->Button10}};
      for (const char* name : road.presses) {
        QPushButton* b = buttons.count(name) != 0 ? buttons.at(name) : form->a[std::stoul(name + 1) - 1];
        form->Timer2Timer();  // the shop's buttons as the player sees them
        ASSERT_TRUE(b->isVisibleTo(form) && b->isEnabled()) << name << " cannot be pressed";
        const auto before = profile_values(form->game().profile);
        const qsizetype said = dialogs_.messages.size() + dialogs_.errors.size();
        const Screen was = form->screen();
        b->click();
        boxes_open();
        EXPECT_TRUE(form->screen() != was || profile_values(form->game().profile) != before ||
                    dialogs_.messages.size() + dialogs_.errors.size() > said)
            << name << " did nothing";
      }
      screen = form->screen();
      stage = form->game().profile.stage;
      if (screen == Screen::None) {
        EXPECT_TRUE(form->timer_running());
        for (int i = 0; i < 30; ++i) form->Timer1Timer();
      }
    });
    EXPECT_EQ(screen, road.screen);
    EXPECT_EQ(stage, road.stage);
  }
}

// A game lost while the save cannot be written: the error box opens once the
// tick that asked for it has ended, the game-over banner goes on behind it,
// and the recording replays wherever it is played.
TEST_F(FormTest, AGameLostWhileTheSaveFailsReplaysAndItsBoxOpensBetweenTicks) {
  write("dat/my.dat", "0\r\n5230\r\n30\r\n5\r\n12\r\n14\r\n4\r\n6\r\n800\r\n1\r\n1\r\n3\r\n0\r\n");
  dialogs_.modal_ms = 300;
  int64_t ticks_behind_box = -1;
  record([&](TForm1* form) {
    fs::remove(dir_ / "dat/my.dat");
    fs::create_directory(dir_ / "dat/my.dat");
    form->Button4Click();
    form->Button6Click();  // RETRY: stage 30, one hit point
    for (int i = 0; i < 20000 && form->screen() != Screen::Title; ++i) {
      form->Timer1Timer();
      if (!dialogs_.errors.isEmpty()) continue;
      const int64_t before = form->ticks();
      QCoreApplication::sendPostedEvents();  // a box asked for by the tick opens now
      if (!dialogs_.errors.isEmpty()) ticks_behind_box = form->ticks() - before;
    }
    EXPECT_EQ(form->screen(), Screen::Title);
  });
  EXPECT_EQ(dialogs_.errors.size(), 1);
  EXPECT_GT(ticks_behind_box, 2) << "the frame timer runs on behind the box";
}

// One Return on the title must not throw a saved game away: with a save
// worth keeping, the focus starts on CONTINUE and NEW START asks first; No
// keeps the title, はい starts the game, and the recording holds only the
// click that started it, as a new player's does.
TEST_F(FormTest, NewStartAsksBeforeASavedGameIsReplaced) {
  const std::string new_player = "0\r\n0\r\n0\r\n3\r\n18\r\n10\r\n2\r\n3\r\n0\r\n0\r\n3\r\n3\r\n0\r\n";
  const std::string saved = "0\r\n5230\r\n6\r\n3\r\n18\r\n10\r\n2\r\n3\r\n1400\r\n0\r\n3\r\n3\r\n0\r\n";
  const struct {
    const char* what;
    const std::string& save;
    bool answer;
    bool asked;
    Screen screen;
  } cases[] = {
      {"a new player's save", new_player, false, false, Screen::None},
      {"a saved game, いいえ", saved, false, true, Screen::Title},
      {"a saved game, はい", saved, true, true, Screen::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write("dat/my.dat", c.save);
    dialogs_.questions.clear();
    dialogs_.answer = c.answer;
    Screen screen = Screen::Title;
    const std::string text = record([&](TForm1* form) {
      EXPECT_EQ(form->focusWidget(), c.asked ? form->Button4 : form->Button1);
      form->Button1->click();
      boxes_open();
      screen = form->screen();
    });
    EXPECT_EQ(screen, c.screen);
    ASSERT_EQ(dialogs_.questions.size(), c.asked ? 1 : 0);
    if (c.asked) {
      EXPECT_TRUE(dialogs_.questions[0].contains("STAGE 6 / GOLD > 1400円")) << dialogs_.questions[0].toStdString();
    }
    const bool started = c.screen == Screen::None;
    EXPECT_EQ(text.find("0 click Button1\n") != std::string::npos, started);
    EXPECT_EQ(std::count(text.begin(), text.end(), 'k'), started ? 1 : 0) << "one click, no other line";
  }
  dialogs_.answer = true;
}

// The menus by keyboard: where the focus starts on each screen, the order
// Tab and the arrows visit, and that only a fresh press of Return or Space
// presses: a held key's repeats never skip a screen.
TEST_F(FormTest, MenusTakeTheKeyboardInTheirOwnOrder) {
  write("dat/s.dat", [] {
    std::string bytes;
    for (int i = 0; i < kSlots; ++i)
      bytes += i == 12 ? "Go on?\r\n\r\nN\r\nA\r\nsel\r\n" : "\r\n\r\n\r\n\r\n\r\n";
    return bytes;
  }());
  auto form = make();
  form->show();
  auto focused = [&] { return form->focusWidget(); };
  auto press = [&](int k, Qt::KeyboardModifiers mods = Qt::NoModifier, bool repeat = false) {
    QWidget* to = focused() != nullptr ? focused() : form.get();
    key(to, k, true, mods, repeat);
    key(to, k, false, mods, repeat);
  };
  EXPECT_EQ(focused(), form->Button4) << "with a saved game the title starts on CONTINUE";
  const QWidget* ring = form->findChild<QWidget*>("focus_ring");
  ASSERT_NE(ring, nullptr);
  EXPECT_TRUE(ring->isVisible() && ring->geometry().contains(form->Button4->geometry())) << "and shows it";
  const std::pair<int, Qt::KeyboardModifiers> forward[] = {{Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_Down, {}}};
  // The records come after NEW START and CONTINUE.
  for (const auto& [k, mods] : forward) {
    press(k, mods);
    EXPECT_EQ(focused(), form->Button1);
    press(k, mods);
    EXPECT_EQ(focused(), form->records_button);
    press(k, mods);
    EXPECT_EQ(focused(), form->Button4) << "and round again";
  }
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), form->records_button);
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), form->Button1);
  press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), form->Button4);
  press(Qt::Key_Return);
  ASSERT_EQ(form->screen(), Screen::Shop) << "Return pressed COUNTINUE";
  EXPECT_EQ(focused(), form->Button5) << "the shop starts on NEXT";
  press(Qt::Key_Up);
  EXPECT_EQ(focused(), form->Button6);
  press(Qt::Key_Tab);
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), form->a[0]) << "after NEXT, the first item";
  press(Qt::Key_Left);
  press(Qt::Key_Space, Qt::NoModifier, true);
  EXPECT_EQ(form->screen(), Screen::Shop) << "a repeat of a key held from before presses nothing";
  press(Qt::Key_Space);
  ASSERT_EQ(form->screen(), Screen::Story) << "a fresh Space pressed NEXT";
  EXPECT_EQ(focused(), form->Button9) << "the question starts on はい";
  press(Qt::Key_Right);
  EXPECT_EQ(focused(), form->Button10);
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), form->Button9) << "NEXT lies under the question and is skipped";
  press(Qt::Key_Enter);
  EXPECT_EQ(form->screen(), Screen::None);
  EXPECT_EQ(form->game().profile.stage, 13);
  EXPECT_EQ(focused(), form.get()) << "during a stage the keys play";
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), form.get()) << "and no button takes them";
}

// Every text the title and shop screens draw in a fixed box is whole, at
// every scale: the fullest status panel, the widest scores, and every rank
// title, which grows leftward from the right edge its box has.
TEST_F(FormTest, EveryStatusTextFitsItsBoxAtEveryScale) {
  ASSERT_TRUE(game_font_installed()) << "the game's font " << kGameFontFamily << " is not installed";
  struct Speech {
    Language language;
    const char* top_rank;
    const char* hp_caption;
  };
  for (const Speech& speech : {Speech{Language::Japanese, "ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ", "ＨＰ＋１(2900円)"},
                               Speech{Language::English, "OCTAVY KNIGHT ALFREDO", "HP +1 (2900 G)"}}) {
    SCOPED_TRACE(language_name(speech.language).toStdString());
    const SpeakingIn speaking(speech.language);
    auto form = make();
    // The fullest panel the shop allows: eleven hit points, ten bombs; the widest numbers.
    const Profile fullest{0, -2147483647 - 1, -2147483647 - 1, 21, 5, 16, 21, 33, -2147483647 - 1, 20, 11, 10,
                          1};
    // upgrade_count 0, 1, 6, 10, 15, 20, 25 and 30 by speed and shot level.
    std::vector<Profile> ranks;
    for (int up : {0, 1, 6, 10, 15, 20, 25, 30})
      ranks.push_back(
          Profile{0, 0, 0, 3 + std::min(up, 18), 18, 10, 2, 3 + std::max(0, up - 18), 0, 0, 3, 3, 0});
    // A rank title is fitted where it is seen: one changed behind the title
    // screen fits as the shop opens.
    form->set_scale(3);
    form->game().profile = ranks.back();
    form->Timer2Timer();
    form->Button4Click();
    ASSERT_EQ(form->screen(), Screen::Shop);
    EXPECT_LE(form->rank_l->fontMetrics().horizontalAdvance(form->rank_l->text()), form->rank_l->width());
    for (int s : {1, 2, 3, 4}) {
      SCOPED_TRACE(s);
      form->set_scale(s);
      form->game().profile = fullest;
      form->Timer2Timer();
      QLabel* panel = form->state_l;
      EXPECT_EQ(panel->heightForWidth(panel->width()), panel->heightForWidth(20000)) << "no line may wrap";
      EXPECT_LE(14 * QFontMetrics(panel->font()).lineSpacing(), panel->height());
      for (QLabel* l : {form->stage_l, form->save_l}) {
        EXPECT_TRUE(ink_fits_height(l)) << l->text().toStdString();
        EXPECT_EQ(l->heightForWidth(l->width()), l->heightForWidth(20000)) << "no line may wrap";
      }
      for (const Profile& p : ranks) {
        form->game().profile = p;
        form->Timer2Timer();
        QLabel* rank = form->rank_l;
        SCOPED_TRACE(rank->text().toStdString());
        EXPECT_LE(rank->fontMetrics().horizontalAdvance(rank->text()), rank->width());
        EXPECT_TRUE(ink_clear_of_right_edge(rank)) << "no glyph is cut at the right edge";
        EXPECT_EQ(rank->geometry().right() + 1, 385 * s) << "the right edge stays";
        EXPECT_GE(rank->width(), 62 * s);
        EXPECT_TRUE(ink_fits_height(rank));
      }
    }
    EXPECT_EQ(form->rank_l->text(), speech.top_rank);
    form->game().profile = fullest;
    form->Timer2Timer();
    EXPECT_EQ(form->shop_box->title(), "STAGE > -2147483648");
    EXPECT_EQ(form->item_button(shop::Item::a2)->text(), speech.hp_caption);
    EXPECT_FALSE(form->item_button(shop::Item::a1)->isEnabled()) << "no money, and speed at its limit";
  }
}

// In English every screen, button, tooltip and message box reads in Latin
// letters and every caption fits its button at every scale; only the
// window's caption and the credit line are the same in both languages. The
// English story file is the one read, and the game recorded meanwhile
// replays without a window to the same checksums.
TEST_F(FormTest, InEnglishEveryTextIsLatinFitsItsBoxAndTheGameReplays) {
  ASSERT_TRUE(game_font_installed()) << "the game's font " << kGameFontFamily << " is not installed";
  const SpeakingIn english(Language::English);
  write("dat/my.dat", "7\r\n5230\r\n12\r\n4\r\n18\r\n10\r\n2\r\n3\r\n900000\r\n0\r\n3\r\n3\r\n0\r\n");
  auto stories = [](const char* words) {
    std::string bytes;
    for (int i = 0; i < kSlots; ++i)
      bytes += i == 12 ? std::string(words) + "\r\nq.bmp\r\n" + words + "\r\n" + words + "\r\nsel\r\n"
                       : "\r\n\r\n\r\n\r\n\r\n";
    return bytes;
  };
  write("dat/s.dat", stories("進む？"));
  write("dat/s_en.dat", stories("Go on?"));
  QImage picture(20, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(QString::fromStdString((dir_ / "cg/q.bmp").string()));

  auto check_screen = [](TForm1* form, const char* where) {
    SCOPED_TRACE(where);
    form->Timer2Timer();
    for (int s : {1, 2, 3, 4}) {
      form->set_scale(s);
      for (QPushButton* b : form->findChildren<QPushButton*>()) {
        if (!b->isVisibleTo(form)) continue;
        EXPECT_TRUE(latin(b->text()) && latin(b->toolTip())) << b->text().toStdString();
        EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
      }
      EXPECT_LE(form->help_hint_l->sizeHint().width(), form->help_hint_l->width()) << "the title's F1 line";
    }
    form->set_scale(1);
    for (QLabel* l : form->findChildren<QLabel*>())
      EXPECT_TRUE(!l->isVisibleTo(form) || l == form->Label3 || latin(l->text())) << l->text().toStdString();
    for (QGroupBox* g : form->findChildren<QGroupBox*>())
      EXPECT_TRUE(!g->isVisibleTo(form) || latin(g->title())) << g->title().toStdString();
  };
  record([&](TForm1* form) {
    check_screen(form, "title");
    form->show_help();
    form->Button4Click();
    check_screen(form, "shop");
    for (shop::Item item : shop::kScreenOrder) {
      form->Timer2Timer();
      form->shop_click(item);
    }
    form->set_volume(50, false);
    form->set_volume(50, true);
    form->Button5Click();
    ASSERT_EQ(form->screen(), Screen::Story);
    EXPECT_EQ(form->story_l->text(), "Go on?");
    check_screen(form, "story question");
    form->Button9Click();
    for (int i = 0; i < 30; ++i) form->Timer1Timer();
  });
  EXPECT_EQ(dialogs_.messages.size(), 11) << "the help and a box for each item";

  // The refusals and the errors, outside any recording.
  write("dat/my.dat", "7\r\n5230\r\n46\r\n4\r\n18\r\n10\r\n2\r\n3\r\n50\r\n0\r\n3\r\n3\r\n0\r\n");
  {
    auto form = make();
    form->Button4Click();
    form->shop_click(shop::Item::a9);  // SAVE is offered on every visit, even without the gold
    form->game().retry_count = 2;
    form->Button6Click();
    form->Button5Click();
    // A change of language re-texts the open window at once.
    use_language(Language::Japanese);
    QApplication::processEvents();
    EXPECT_EQ(form->Button6->text(), "←ＲＥＴＲＹ");
    EXPECT_EQ(form->a[0]->toolTip(), "スピードを上げます。同時に弾の慣性も大きくなります。");
    EXPECT_EQ(form->save_l->text(), "SAVE DATE > STAGE 46\nGOLD > 50円");
    use_language(Language::English);
    QApplication::processEvents();
    EXPECT_EQ(form->Button6->text(), "← RETRY");
    EXPECT_EQ(form->save_l->text(), "SAVE DATA > STAGE 46\nGOLD > 50 G");
  }
  fs::remove(dir_ / "dat/my.dat");
  make();
  ASSERT_EQ(dialogs_.messages.size(), 14) << dialogs_.messages.join("|").toStdString();
  EXPECT_EQ(dialogs_.messages[11], "Not enough gold!");
  EXPECT_EQ(dialogs_.errors.back(), "File not found.");
  for (const QString& text : dialogs_.messages + dialogs_.errors)
    EXPECT_TRUE(latin(text)) << text.toStdString();
}

// At every scale each control keeps its place in proportion, its text is
// drawn at the larger size, the playfield is enlarged with hard edges, and
// every window pixel maps back to the game pixel it shows.
TEST_F(FormTest, EveryScaleLaysOutExactlyAndMapsTheMouseBack) {
  auto form = make();
  form->Button1Click();
  boxes_open();  // the question a saved game asks, answered はい
  form->cgMouseMove(123);
  for (int i = 0; i < 3; ++i) form->Timer1Timer();
  for (int s : {1, 2, 3, 4, 2, 1}) {
    SCOPED_TRACE(s);
    form->set_scale(s);
    EXPECT_EQ(form->shown_scale(), s);
    EXPECT_EQ(form->size(), QSize(401 * s, 301 * s));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
    EXPECT_EQ(form->Button1->geometry(), QRect(148 * s, 196 * s, 101 * s, 25 * s));
    EXPECT_EQ(form->Button9->geometry(), QRect(4 * s, 12 * s, 85 * s, 21 * s)) << "inside select_box";
    {
      // The title picture, scaled ahead of its paint, looks as a label would show it.
      QLabel label;
      label.setScaledContents(true);
      label.setPixmap(QPixmap::fromImage(title_picture()));
      label.resize(form->Image1->size());
      EXPECT_EQ(form->Image1->grab().toImage().convertToFormat(QImage::Format_RGB32),
                label.grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_EQ(form->cg_view->geometry(), QRect(0, 0, 400 * s, 300 * s));
    EXPECT_EQ(form->state_l->font().pixelSize(), 15 * s);
    EXPECT_EQ(form->Button1->font().pixelSize(), 12 * s);
    for (int x : {0, 1, 57, 200, 399}) {
      for (int within : {0, s - 1}) {
        mouse(form->cg_view, QEvent::MouseMove, QPoint(x * s + within, 150 * s));
        EXPECT_EQ(form->game().target_x, std::clamp(x, 18, 382)) << x << "+" << within;
      }
    }
    const QImage shown = form->cg_view->grab().toImage();
    const QImage& game = form->playfield_image();
    ASSERT_EQ(shown.size(), QSize(400 * s, 300 * s));
    for (int y = 0; y < 300; y += 7) {
      for (int x = 0; x < 400; x += 3) {
        const QRgb want = game.pixel(x, y);
        ASSERT_EQ(shown.pixel(x * s, y * s), want) << x << "," << y;
        ASSERT_EQ(shown.pixel(x * s + s - 1, y * s + s - 1), want) << x << "," << y;
      }
    }
  }
}

// A pause stops the ticks (the timer runs on, so nothing takes it for the end
// of the stage), moves nothing and is no input; keys play through the mouse's
// own recorded inputs. The recording replays to the same checksums.
TEST_F(FormTest, PausesAndKeyboardPlayLeaveARecordingThatReplays) {
  const std::string text = record([this](TForm1* form) {
    Game& g = form->game();
    key(form, Qt::Key_P, true);
    EXPECT_FALSE(form->paused()) << "nothing to pause on the title screen";
    form->Button1Click();
    boxes_open();  // the question a saved game asks, answered はい
    for (int i = 0; i < 5; ++i) form->Timer1Timer();

    key(form, Qt::Key_Right, true);
    const int32_t x0 = g.player_x;
    form->Timer1Timer();
    EXPECT_EQ(g.player_x, x0 + g.profile.speed) << "one step towards the held side";
    key(form, Qt::Key_Right, true, Qt::NoModifier, true);  // the keyboard's own repeat
    key(form, Qt::Key_Right, false);
    form->Timer1Timer();
    form->Timer1Timer();
    EXPECT_EQ(g.player_x, x0 + g.profile.speed) << "stops when the key is let go";
    key(form, Qt::Key_Right, true);
    key(form, Qt::Key_Right, false, Qt::ControlModifier);
    EXPECT_FALSE(form->held().held(Action::Right)) << "even with Ctrl down by then";

    auto flying = [&g] {
      return std::count_if(g.shots.begin(), g.shots.end(), [](const ShotRec& s) { return s.state == 1; });
    };
    key(form, Qt::Key_Z, true);
    EXPECT_EQ(flying(), 1) << "fires on the press";
    for (int i = 0; i < 3; ++i) form->Timer1Timer();
    EXPECT_EQ(flying(), 1);
    form->Timer1Timer();
    EXPECT_EQ(flying(), 2) << "and again while held, every fourth tick";
    key(form, Qt::Key_Z, false);
    key(form, Qt::Key_A, true);

    EXPECT_EQ(form->cg_view->cursor().shape(), Qt::BlankCursor) << "the pointer would hide the bird";
    for (int k : {Qt::Key_P, Qt::Key_Escape}) {
      key(form, k, true);
      ASSERT_TRUE(form->paused());
      EXPECT_NE(form->cg_view->cursor().shape(), Qt::BlankCursor) << "shown while paused";
      EXPECT_FALSE(form->held().held(Action::Left)) << "a pause lets go of the keys";
      EXPECT_TRUE(music_.ducked) << "the music plays on, quieter";
      const int64_t ticks = form->ticks();
      const uint64_t state = checksum(g);
      for (int i = 0; i < 10; ++i) form->Timer1Timer();
      mouse(form->cg_view, QEvent::MouseMove, QPoint(10, 150));
      EXPECT_TRUE(form->timer_running());
      EXPECT_EQ(form->ticks(), ticks);
      EXPECT_EQ(checksum(g), state) << "nothing moves, not even the steering target";
      if (k == Qt::Key_P) {
        key(form, Qt::Key_P, true);
      } else {
        mouse(form->cg_view, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
        EXPECT_EQ(checksum(g), state) << "the click that resumes does not fire";
      }
      EXPECT_FALSE(form->paused());
      EXPECT_FALSE(music_.ducked) << "and as loud as before once play resumes";
      form->Timer1Timer();
      EXPECT_EQ(form->ticks(), ticks + 1);
    }
    // Another program takes the focus: only a change from active pauses, so a
    // display without a window manager, where nothing is ever active, plays on.
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    if (form->paused()) key(form, Qt::Key_P, true);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(form->paused());
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_TRUE(form->paused());
    key(form, Qt::Key_P, true);
    key(form, Qt::Key_F1, true);
    boxes_open();
    EXPECT_TRUE(form->paused()) << "help pauses first";
    EXPECT_EQ(dialogs_.messages.size(), 1);
    key(form, Qt::Key_P, true);
    key(form, Qt::Key_X, true);
    EXPECT_EQ(g.profile.bomb, 2) << "X bombs";
    for (int i = 0; i < 30; ++i) form->Timer1Timer();
  });
  EXPECT_NE(text.find(" down right\n"), std::string::npos);
}

// Scale, full screen and sound are remembered in the settings file; options
// given for one run are not.
TEST_F(FormTest, KeysChangeScaleFullScreenAndSoundAndOnlyTheyAreRemembered) {
  const ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "config").string());
  {
    auto form = make(Settings{.scale = 2, .fullscreen = false, .volume = 50, .muted = true}, true);
    EXPECT_EQ(music_.volume, 50);
    EXPECT_TRUE(music_.muted);
    key(form.get(), Qt::Key_3, true, Qt::ControlModifier);
    EXPECT_EQ(form->size(), QSize(1203, 903));
    key(form.get(), Qt::Key_Minus, true, Qt::ControlModifier);
    key(form.get(), Qt::Key_Equal, true);
    EXPECT_EQ(music_.volume, 60);
    EXPECT_FALSE(music_.muted) << "a volume step is heard";
    key(form.get(), Qt::Key_Minus, true, Qt::KeypadModifier);
    key(form.get(), Qt::Key_M, true);
    EXPECT_TRUE(music_.muted);
    key(form.get(), Qt::Key_F11, true);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(form->size(), screen);
    EXPECT_EQ(form->shown_scale(), largest_scale_fitting(screen));
    EXPECT_EQ(form->cg_view->pos(), centred_offset(screen, form->shown_scale()));
    key(form.get(), Qt::Key_Escape, true);
    EXPECT_EQ(form->size(), QSize(802, 602));
  }
  EXPECT_EQ(load_settings(), (Settings{.scale = 2, .fullscreen = false, .volume = 50, .muted = true}));

  // A run of volume keys in a stage writes nothing in the frames it falls in:
  // one write, after a quiet moment.
  auto form = make(Settings{.scale = 1}, true);
  form->Button1Click();
  boxes_open();  // the question a saved game asks, answered はい
  const int before = form->settings_keeper().writes();
  for (int i = 0; i < 6; ++i) {
    key(form.get(), Qt::Key_Minus, true);
    form->Timer1Timer();
  }
  EXPECT_EQ(form->settings_keeper().writes(), before) << "no write while the keys come";
  QElapsedTimer quiet;
  quiet.start();
  while (form->settings_keeper().writes() == before && quiet.elapsed() < 5000) QApplication::processEvents();
  EXPECT_EQ(form->settings_keeper().writes(), before + 1);
  EXPECT_GE(quiet.elapsed(), SettingsKeeper::kQuietMs - 100);
  EXPECT_EQ(load_settings().volume, 40);
}

// The largest scale whose window, frame and all, fits the available area: the
// first start's, and the most a player can choose.
TEST(WindowScale, TheLargestWindowThatFitsTheScreenAndTheHomePositionOnlyWhereThereIsRoom) {
  const std::pair<QRect, int> screens[] = {
      {QRect(0, 0, 1024, 768), 2},  {QRect(0, 0, 1024, 740), 2},  {QRect(0, 0, 1280, 800), 2},
      {QRect(0, 0, 1366, 768), 2},  {QRect(0, 0, 1920, 1050), 3}, {QRect(0, 0, 1920, 1080), 3},
      {QRect(0, 0, 2560, 1440), 4}, {QRect(0, 0, 3840, 2160), 4}, {QRect(0, 0, 640, 400), 1},
      {QRect(0, 0, 300, 200), 1},   {QRect(0, 0, 810, 630), 2},   {QRect(0, 0, 809, 630), 1}};
  for (const auto& [available, scale] : screens)
    EXPECT_EQ(largest_window_scale(available), scale) << available.width() << "x" << available.height();
  EXPECT_EQ(window_position(1, QRect(0, 0, 1024, 768)), QPoint(193, 107));
  EXPECT_EQ(window_position(1, QRect(0, 0, 500, 400)), QPoint(45, 35)) << "centred when it does not fit";
  EXPECT_EQ(window_position(2, QRect(0, 0, 1024, 768)), QPoint(107, 69));
  EXPECT_EQ(unscale(-1, 2), -1);
  EXPECT_EQ(unscale(-2, 2), -1);
  EXPECT_EQ(unscale(7, 4), 1);
}

// The help, frame and all, fits the screen at every scale the window can
// take there, in both languages, at a font no smaller than three quarters
// of the window's; its table breaks no line inside a cell.
TEST(WindowScale, TheHelpFitsTheScreenAtEveryScaleInBothLanguages) {
  // The smallest screen that takes 2x needs a smaller font for it.
  const QRect screens[] = {QRect(0, 0, 1024, 768), QRect(0, 0, 1920, 1080), QRect(0, 0, 810, 630)};
  for (Language language : {Language::Japanese, Language::English}) {
    SpeakingIn speaking(language);
    const QString html = help_text(Bindings::defaults());
    EXPECT_EQ(html.indexOf(QChar(0x3000)), -1) << "no padding: the table aligns";
    for (const char* named : {"Tab", "Return", "Esc", "F1", "F2"}) EXPECT_NE(html.indexOf(named), -1) << named;
    for (const QRect& available : screens) {
      for (int scale = 1; scale <= largest_window_scale(available); ++scale) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(language) << " " << available.width() << "x"
                                        << available.height() << " at " << scale);
        const auto box = help_box(html, scale, available);
        const QSize size = box->sizeHint() + kFrameSize;
        EXPECT_LE(size.width(), available.width());
        EXPECT_LE(size.height(), available.height());
        EXPECT_GE(box->font().pixelSize(), 12 * scale * 3 / 4);
      }
    }
  }
}

// The options window is worked by keyboard alone, and each of its controls
// leaves the sound, the window and the settings file just as the control's
// key does.
TEST_F(FormTest, OptionsWindowChangesTheSettingsAsTheKeysDo) {
  const ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "config").string());
  struct Case {
    const char* what;
    std::function<void(TForm1*)> by_key;
    std::function<void(OptionsWindow*)> by_window;
  };
  const Case cases[] = {
      {"music down", [](TForm1* f) { key(f, Qt::Key_Minus, true); },
       [](OptionsWindow* w) { key(w->music_volume, Qt::Key_Left, true); }},
      {"effects down", [](TForm1* f) { key(f, Qt::Key_Underscore, true, Qt::ShiftModifier); },
       [](OptionsWindow* w) { key(w->effects_volume, Qt::Key_Left, true); }},
      {"effects down on the keypad",
       [](TForm1* f) { key(f, Qt::Key_Minus, true, Qt::ShiftModifier | Qt::KeypadModifier); },
       [](OptionsWindow* w) { key(w->effects_volume, Qt::Key_Left, true); }},
      {"mute", [](TForm1* f) { key(f, Qt::Key_M, true); },
       [](OptionsWindow* w) {
         key(w->mute, Qt::Key_Space, true);
         key(w->mute, Qt::Key_Space, false);
       }},
      {"scale 1", [](TForm1* f) { key(f, Qt::Key_1, true, Qt::ControlModifier); },
       [](OptionsWindow* w) { key(w->scale, Qt::Key_Up, true); }},
      {"full screen", [](TForm1* f) { key(f, Qt::Key_F11, true); },
       [](OptionsWindow* w) {
         key(w->fullscreen, Qt::Key_Space, true);
         key(w->fullscreen, Qt::Key_Space, false);
       }},
  };
  for (const Case& c : cases) {
    Settings by_key, by_window;
    std::pair<int, int> heard_by_key;
    for (bool window : {false, true}) {
      fs::remove_all(dir_ / "config");
      auto form = make(Settings{.scale = 2}, true);
      form->Button1Click();
      boxes_open();  // the question a saved game asks, answered はい
      form->Timer1Timer();
      if (window) {
        key(form.get(), Qt::Key_F2, true);
        OptionsWindow* w = form->options_window();
        ASSERT_NE(w, nullptr) << c.what;
        EXPECT_TRUE(form->paused()) << "the stage waits while the options are open";
        c.by_window(w);
        key(w, Qt::Key_Escape, true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(form->options_window(), nullptr) << "Esc closes it";
        by_window = remembered(form.get());
        EXPECT_EQ(std::make_pair(music_.volume, music_.effects_volume), heard_by_key) << c.what;
      } else {
        music_.sounds.clear();
        key(form.get(), Qt::Key_Z, true);
        key(form.get(), Qt::Key_Z, false);
        EXPECT_EQ(music_.sounds, std::vector<Sound>{Sound::Shot})
            << "the window plays what the stage reports";
        c.by_key(form.get());
        by_key = remembered(form.get());
        heard_by_key = {music_.volume, music_.effects_volume};
      }
      EXPECT_EQ(music_.muted, music_.effects_muted) << "one mute for all sound";
    }
    EXPECT_NE(by_key, Settings{}) << c.what << " was remembered";
    EXPECT_EQ(by_window, by_key) << c.what;
  }

  // Reset puts everything back as a new player finds it.
  auto form =
      make(Settings{.scale = 1, .fullscreen = true, .volume = 30, .muted = true, .effects_volume = 20}, true);
  form->show_options();
  form->options_window()->reset->click();
  Settings defaults;
  defaults.scale = form->settings().scale;
  EXPECT_EQ(remembered(form.get()), defaults);
  EXPECT_EQ(form->options_window()->music_volume->value(), 10) << "the window shows what was reset";
  EXPECT_EQ(form->options_window()->music_volume_shown->text(), "100%") << "and says it in numbers";
  EXPECT_FALSE(form->options_window()->fullscreen->isChecked());

  // A language applies at once, to this window and the game's, and is remembered.
  {
    const SpeakingIn japanese(Language::Japanese);
    OptionsWindow* w = form->options_window();
    key(w->language, Qt::Key_Down, true);
    key(w->language, Qt::Key_Down, true);
    QApplication::processEvents();
    EXPECT_EQ(remembered(form.get()).language, Language::English);
    EXPECT_EQ(w->close_button->text(), "Close");
    auto* rows = qobject_cast<QFormLayout*>(w->pages->widget(0)->layout());
    auto* label = qobject_cast<QLabel*>(rows->labelForField(w->language));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Language");
    EXPECT_EQ(w->pages->tabText(1), "Controls");
    EXPECT_EQ(w->controls->reset->text(), "Reset keys and buttons") << "the controls page too";
    EXPECT_EQ(form->Button4->text(), "CONTINUE");
  }
}

// A recording watched in the middle of a game: the watcher's keys and clicks
// work the theatre and never the watched game, and Esc gives the player back
// their game as it was (paused where it stood, its picture, its music, its
// recording going on).
TEST_F(FormTest, LeavingTheTheatreGivesThePlayerTheirGameBackAsItWas) {
  std::string error;
  const std::string here = __FILE__;
  const auto watched =
      parse_recording(read_file(here.substr(0, here.rfind("/app/")) + "/replays/story_no.qrp"), &error);
  ASSERT_TRUE(watched.has_value()) << error;
  record([&](TForm1* form) {
    form->show();
    form->Button4->click();
    form->Button5->click();
    for (int i = 0; i < 30; ++i) form->Timer1Timer();
    form->set_paused(true);
    const uint64_t before = checksum(form->game());
    const QImage picture = form->playfield_image();
    const std::string track = music_.tracks.back();
    int closed = -1;
    form->watch(*watched, [&](int status) { closed = status; });
    ASSERT_NE(form->theatre(), nullptr);
    Theatre& theatre = form->theatre()->theatre();
    EXPECT_EQ(form->screen(), Screen::Title) << "the recorded game's own start";
    key(form, Qt::Key_End, true);
    EXPECT_EQ(theatre.state(), Theatre::State::Ended) << theatre.error();
    key(form, Qt::Key_Home, true);
    EXPECT_EQ(form->screen(), Screen::None) << "tick 0's clicks are in: the stage runs";
    key(form, Qt::Key_Right, true);
    EXPECT_EQ(theatre.tick(), 200) << "ten seconds on";
    PadEvent shoulder{.kind = PadEvent::Kind::Button, .button = PadButton::LeftShoulder, .down = true};
    for (const Routed& r : form->router().pad_event(form->input_context(), shoulder)) form->carry_out(r);
    EXPECT_EQ(theatre.tick(), 0) << "ten seconds back by pad";
    key(form, Qt::Key_Right, true);
    const uint64_t watching = checksum(form->game());
    mouse(form->cg_view, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    mouse(form->cg_view, QEvent::MouseMove, QPoint(300, 100));
    key(form, Qt::Key_Z, true);
    key(form, Qt::Key_Z, false);
    EXPECT_EQ(checksum(form->game()), watching) << "the watcher's input reached the watched game";
    key(form, Qt::Key_Escape, true);
    EXPECT_EQ(form->theatre(), nullptr);
    EXPECT_EQ(closed, kReplayMatched) << "it was watched to its end";
    EXPECT_EQ(checksum(form->game()), before);
    EXPECT_EQ(form->screen(), Screen::None);
    EXPECT_TRUE(form->Timer1.isActive());
    EXPECT_TRUE(form->paused());
    EXPECT_EQ(form->playfield_image(), picture);
    EXPECT_EQ(music_.tracks.back(), track);
    // A recording dropped on the window opens the theatre too; Esc again gives the game back.
    const fs::path dropped = dir_ / "dropped.qrp";
    std::ofstream(dropped, std::ios::binary) << format_recording_header(*watched);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped.string()))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &drop);
    boxes_open();
    ASSERT_NE(form->theatre(), nullptr) << dialogs_.errors.join("|").toStdString();
    key(form, Qt::Key_Escape, true);
    EXPECT_EQ(form->theatre(), nullptr);
    EXPECT_EQ(checksum(form->game()), before);
    form->set_paused(false);
    for (int i = 0; i < 30; ++i) form->Timer1Timer();
  });
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(error_box_text("abc"), "abc.");
  EXPECT_EQ(error_box_text("done."), "done.");
  EXPECT_EQ(error_box_text("what!"), "what!");
  EXPECT_EQ(error_box_text("ﾌｧｲﾙが見つかりません"), "ﾌｧｲﾙが見つかりません.");
  EXPECT_EQ(error_box_text(""), "");
}

}  // namespace
}  // namespace quillot
