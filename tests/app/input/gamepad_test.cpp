#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QScreen>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/options/controls_page.h"
#include "app/window/form.h"
#include "app/options/options_window.h"
#include "session/replay.h"
#include "session/story_file.h"
#include "tests/support/test_files.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

// A pad as SDL's virtual joystick: its buttons and axes are numbered as the
// game-controller layout's, so SDL maps it as a controller of its own accord.
class VirtualPad {
 public:
  // `known`: SDL maps it by itself; otherwise only a mapping line makes it a pad.
  explicit VirtualPad(bool known = true) {
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = known ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    d.name = "test pad";
    const int index = SDL_JoystickAttachVirtualEx(&d);
    joystick_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  }
  ~VirtualPad() { unplug(); }
  bool ok() const { return joystick_ != nullptr; }
  // As mapping files name pads: without the checksum of the pad's name.
  std::string guid() const {
    char text[64] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick_), text, sizeof text);
    std::string out = text;
    out.replace(4, 4, "0000");
    return out;
  }
  void button(PadButton b, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, static_cast<int>(b), down ? 1 : 0);
  }
  void stick_x(int value) {
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(value));
  }
  void tap(PadButton b, TForm1* form) {
    button(b, true);
    form->poll_pads();
    QCoreApplication::sendPostedEvents();  // what the button opened opens once its handler returns
    button(b, false);
    form->poll_pads();
  }
  void unplug() {
    if (joystick_ == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
};

class RecordingDialogs : public Dialogs {
 public:
  QStringList messages;
  void message(const QString& text) override { messages << text; }
  void error(const QString&) override {}
};

class PadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_folder("pad");
    fs::create_directories(dir_ / "dat");
    fs::create_directories(dir_ / "cg");
    std::ofstream(dir_ / "dat/my.dat")
        << "7\r\n5230\r\n12\r\n4\r\n18\r\n10\r\n2\r\n3\r\n900\r\n0\r\n3\r\n3\r\n0\r\n";
    std::ofstream(dir_ / "dat/s.dat") << "";
    config_.emplace("XDG_CONFIG_HOME", (dir_ / "config").string());
  }
  void TearDown() override {
    config_.reset();
    fs::remove_all(dir_);
  }

  std::unique_ptr<TForm1> make(bool remember = false) {
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &dialogs_;
    o.remember_settings = remember;
    auto form = std::make_unique<TForm1>(o);
    form->start_gamepads();
    return form;
  }

  fs::path dir_;
  std::optional<ScopedEnv> config_;
  RecordingDialogs dialogs_;
};

// The inputs a recording holds from tick `from` up to, not including, `to`.
std::vector<std::string> inputs_between(const std::string& recording, int64_t from, int64_t to) {
  std::vector<std::string> out;
  std::istringstream lines(recording);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    int64_t tick = -1;
    std::string kind, arg;
    if (!(words >> tick >> kind >> arg) || (kind != "move" && kind != "down" && kind != "click")) continue;
    if (tick >= from && tick < to) out.push_back(kind == "move" ? "move" : kind + " " + arg);
  }
  return out;
}

// What a pad does in a stage becomes the inputs the keys and the mouse give,
// on the tick it belongs to; the recording of it replays to the same state.
TEST_F(PadTest, PadPlayBecomesRecordedInputsThatReplay) {
  using B = PadButton;
  struct Step {
    const char* what;
    std::function<void(VirtualPad&)> act;
    int ticks;
    std::vector<std::string> inputs;
    int moved;  // the bird's way over those ticks: -1, 0 or 1
  };
  const Step steps[] = {
      {"stick inside the dead zone", [](VirtualPad& p) { p.stick_x(-7000); }, 3, {}, 0},
      {"stick past it steers", [](VirtualPad& p) { p.stick_x(-20000); }, 2, {"move", "move"}, -1},
      {"stick back", [](VirtualPad& p) { p.stick_x(0); }, 2, {}, 0},
      {"D-pad held", [](VirtualPad& p) { p.button(B::Right, true); }, 2, {"move", "move"}, 1},
      {"D-pad let go", [](VirtualPad& p) { p.button(B::Right, false); }, 2, {}, 0},
      {"South fires, and again every fourth tick held",
       [](VirtualPad& p) { p.button(B::South, true); },
       8,
       {"down left", "down left", "down left"},
       0},
      {"South let go", [](VirtualPad& p) { p.button(B::South, false); }, 4, {}, 0},
      {"East bombs", [](VirtualPad& p) { p.button(B::East, true); }, 1, {"down right"}, 0},
      {"the right shoulder too",
       [](VirtualPad& p) { p.button(B::RightShoulder, true); },
       1,
       {"down right"},
       0},
      {"Start pauses: nothing is given, no tick runs",
       [](VirtualPad& p) {
         p.button(B::Start, true);
         p.button(B::East, false);
         p.button(B::RightShoulder, false);
         p.stick_x(30000);
       },
       3,
       {},
       0},
      {"and resumes; the held stick steers again",
       [](VirtualPad& p) {
         p.button(B::Start, false);
         SDL_JoystickUpdate();
         p.button(B::Start, true);
       },
       1,
       {"move"},
       1},
  };

  const std::string file = (dir_ / "pad.qrp").string();
  std::vector<std::pair<int64_t, int64_t>> spans;
  {
    auto form = make();
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    form->poll_pads();
    ASSERT_EQ(form->gamepads()->count(), 1u);
    Recorder recorder(file, form->game());
    form->set_recorder(&recorder);
    form->Button1Click();
    QCoreApplication::sendPostedEvents();  // the saved game asks first
    Game& g = form->game();
    // A new game's bird steers for the left edge until told otherwise.
    form->cgMouseMove(g.player_x);
    form->Timer1Timer();
    for (const Step& s : steps) {
      const int64_t from = form->ticks();
      const int32_t x = g.player_x;
      s.act(pad);
      form->poll_pads();  // the pad timer
      for (int i = 0; i < s.ticks; ++i) form->Timer1Timer();
      spans.emplace_back(from, form->ticks());
      EXPECT_EQ((g.player_x > x) - (g.player_x < x), s.moved) << s.what;
    }
    EXPECT_FALSE(form->paused());
    form->set_recorder(nullptr);
    recorder.end(form->ticks(), g);
  }
  EXPECT_EQ(replay_headless(file), 0);
  const std::string recording = read_file(file);
  for (size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_EQ(inputs_between(recording, spans[i].first, spans[i].second), steps[i].inputs) << steps[i].what;
  }
}

// Pads come and go while the game runs; one pulled out in a stage pauses it,
// and while another program is active the pads are not the game's.
TEST_F(PadTest, PadsComeAndGoAndCountOnlyWhileTheWindowIsActive) {
  auto form = make();
  form->Button1Click();
  QCoreApplication::sendPostedEvents();  // the saved game asks first
  form->Timer1Timer();
  auto pad = std::make_unique<VirtualPad>();
  form->poll_pads();
  ASSERT_EQ(form->gamepads()->count(), 1u);
  EXPECT_EQ(form->pad_timer().interval(), TForm1::kPadPollMs);

  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  ASSERT_TRUE(form->paused());
  pad->tap(PadButton::Start, form.get());
  EXPECT_TRUE(form->paused()) << "another program is active";
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  pad->tap(PadButton::Start, form.get());
  EXPECT_FALSE(form->paused());

  pad->button(PadButton::Left, true);
  form->poll_pads();
  EXPECT_TRUE(form->held().held(Action::Left));
  pad->unplug();
  form->poll_pads();
  EXPECT_EQ(form->gamepads()->count(), 0u);
  EXPECT_TRUE(form->paused()) << "a pad lost in play pauses the stage";
  EXPECT_FALSE(form->held().held(Action::Left));
  EXPECT_EQ(form->pad_timer().interval(), TForm1::kPadIdlePollMs);

  // Plugged in again, it plays again; Back shows the help.
  pad = std::make_unique<VirtualPad>();
  form->poll_pads();
  EXPECT_EQ(form->gamepads()->count(), 1u);
  pad->tap(PadButton::Start, form.get());
  EXPECT_FALSE(form->paused());
  pad->tap(PadButton::Back, form.get());
  EXPECT_EQ(dialogs_.messages.size(), 1);
  EXPECT_TRUE(form->paused());

  // The window hands each key's scan code to the bindings.
  QKeyEvent q(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, 38, 0, 0, "q");
  QApplication::sendEvent(form.get(), &q);
  EXPECT_TRUE(form->held().held(Action::Left)) << "Q under A's place on an AZERTY keyboard";
}

// Under a real display, QUILLOT_PAD_SHOTS names a folder for what the window showed.
// On a real display the whole screen is taken, window manager's frames and all.
void shoot(QWidget* window, const char* name) {
  const QString dir = qEnvironmentVariable("QUILLOT_PAD_SHOTS");
  if (dir.isEmpty()) return;
  QApplication::processEvents();  // the focus ring follows the focus through the event loop
  const QString file = dir + "/" + name + ".png";
  if (QGuiApplication::platformName() == "xcb") {
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
  } else {
    window->grab().save(file);
  }
}

// The title, the shop and a story's question by pad alone: the D-pad and the
// stick move the focus the keys move, South presses, East answers no; what
// they press is recorded as a click and replays.
TEST_F(PadTest, PadGoesThroughTheMenus) {
  std::string stories;
  for (int i = 0; i < kSlots; ++i)
    stories += i == 12 ? "Go on?\r\n\r\nN\r\nA\r\nsel\r\n" : "\r\n\r\n\r\n\r\n\r\n";
  std::ofstream(dir_ / "dat/s.dat", std::ios::binary) << stories;
  const std::string file = (dir_ / "menus.qrp").string();
  {
    auto form = make();
    form->show();
    VirtualPad pad;
    form->poll_pads();
    Recorder recorder(file, form->game());
    form->set_recorder(&recorder);
    using B = PadButton;
    EXPECT_EQ(form->focusWidget(), form->Button4) << "a saved game: CONTINUE has the focus";
    pad.tap(B::Down, form.get());
    EXPECT_EQ(form->focusWidget(), form->Button1);
    pad.tap(B::Up, form.get());
    EXPECT_EQ(form->focusWidget(), form->Button4);
    shoot(form.get(), "1-title");
    Bindings bound = form->bindings();
    bound.pad[static_cast<size_t>(Action::Mute)] = {B::North};
    form->set_bindings(bound);
    pad.tap(B::North, form.get());
    EXPECT_TRUE(form->settings().muted) << "a pad's mute works on a menu as its key does";
    pad.tap(B::South, form.get());
    ASSERT_EQ(form->screen(), Screen::Shop) << "South pressed COUNTINUE";
    pad.stick_x(-30000);  // NEXT back to RETRY, once however long it is held
    form->poll_pads();
    form->poll_pads();
    EXPECT_EQ(form->focusWidget(), form->Button6);
    shoot(form.get(), "2-shop");
    pad.stick_x(0);
    form->poll_pads();
    pad.tap(B::Right, form.get());
    pad.tap(B::East, form.get());
    EXPECT_EQ(form->screen(), Screen::Shop) << "no question here: East does nothing";
    pad.tap(B::South, form.get());
    ASSERT_EQ(form->screen(), Screen::Story) << "South pressed NEXT";
    shoot(form.get(), "3-question");
    pad.tap(B::East, form.get());
    EXPECT_EQ(form->screen(), Screen::None) << "East answered いいえ";
    EXPECT_EQ(form->game().profile.stage, 14);
    pad.button(B::South, true);
    pad.stick_x(-30000);
    for (int i = 0; i < 10; ++i) form->Timer1Timer();
    shoot(form.get(), "4-stage");
    form->set_recorder(nullptr);
    recorder.end(form->ticks(), form->game());
  }
  EXPECT_EQ(replay_headless(file), 0);
  EXPECT_NE(read_file(file).find("0 click Button10\n"), std::string::npos);
}

// The controls page binds the next key or pad button pressed, refuses one
// taken or kept by the window and says why, and the game plays with what it
// bound at once; it is remembered, and the defaults come back on request.
TEST_F(PadTest, ControlsPageBindsWhatIsPressedAndRefusesWhatIsTaken) {
  auto form = make(true);
  VirtualPad pad;
  form->poll_pads();
  ControlsPage page(form.get());
  auto button = [&](Action a, bool keys) { return (keys ? page.key_buttons : page.pad_buttons)[size_t(a)]; };
  struct Step {
    Action action;
    int key;  // or a pad button when negative
    Qt::KeyboardModifiers mods;
    const char* said;   // part of the status line
    const char* shown;  // the action's button afterwards
  };
  const int west = -1 - int(PadButton::West);
  const int south = -1 - int(PadButton::South);
  // A refusal leaves the button waiting: its text says so.
  const Step steps[] = {
      {Action::Fire, Qt::Key_J, {}, "「ショット」は Z / Space / J になりました", "Z / Space / J"},
      {Action::Fire, Qt::Key_K, {}, "3 つまで", "キーを押す…"},
      {Action::Bomb, Qt::Key_J, {}, "「ショット」に使われています", "キーを押す…"},
      {Action::Bomb, Qt::Key_F2, {}, "ウィンドウのキー", "キーを押す…"},
      {Action::Bomb, Qt::Key_B, Qt::ControlModifier, "ウィンドウのキー", "キーを押す…"},
      // Saved as "Volume Mute", it would read back as two names and be lost.
      {Action::Bomb, Qt::Key_VolumeMute, {}, "名前のないキー", "キーを押す…"},
      {Action::Bomb, Qt::Key_Escape, {}, "そのまま", "X"},
      {Action::Left, Qt::Key_Left, {}, "← を外しました。「左へ」は A になりました", "A"},
      {Action::Fire, west, {}, "「ショット」は A / X になりました", "A / X"},
      {Action::Fire, south, {}, "A を外しました。「ショット」は X になりました", "X"},
      {Action::Bomb, west, {}, "「ショット」に使われています", "ボタンを押す…"},
  };
  for (const Step& s : steps) {
    const bool keys = s.key >= 0;
    button(s.action, keys)->click();
    if (keys) {
      QKeyEvent e(QEvent::KeyPress, s.key, s.mods, 0, 0, 0, QString());
      QApplication::sendEvent(button(s.action, keys), &e);
    } else {
      pad.tap(static_cast<PadButton>(-1 - s.key), form.get());
    }
    EXPECT_NE(page.status->text().indexOf(QString::fromUtf8(s.said)), -1)
        << page.status->text().toStdString();
    EXPECT_EQ(button(s.action, keys)->text().toStdString(), s.shown) << s.said;
  }
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(button(Action::Bomb, false), &esc);
  EXPECT_EQ(button(Action::Bomb, false)->text().toStdString(), "B / RB") << "Esc stops a pad button's wait too";
  shoot(&page, "5-controls");
  form->settings_keeper().flush();
  EXPECT_EQ(load_bindings(), form->bindings()) << "remembered";
  form->Button1Click();
  QCoreApplication::sendPostedEvents();  // the saved game asks first
  QKeyEvent j(QEvent::KeyPress, Qt::Key_J, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &j);
  EXPECT_TRUE(form->held().held(Action::Fire)) << "J fires at once";
  page.reset->click();
  EXPECT_EQ(form->bindings(), Bindings::defaults());
  form->settings_keeper().flush();
  EXPECT_EQ(load_bindings(), Bindings::defaults());
  // Sized once for a scale, as the options window is, no button cuts its
  // text, the one it shows while it waits included.
  for (int scale : {1, 2, 3}) {
    page.setFont(game_font(12 * scale));
    page.setFixedSize(page.sizeHint());
    for (bool keys : {true, false}) {
      button(Action::Pause, keys)->click();
      page.layout()->activate();
      for (QPushButton* b : page.findChildren<QPushButton*>())
        EXPECT_LE(b->sizeHint().width(), b->width()) << scale << " " << b->text().toStdString();
    }
    form->capture_pad(nullptr, nullptr);
  }
}

// What the pad opens, the pad closes: the help (Back) and SAVE's box (South
// on SAVE) are real message boxes here, opened once the pad's handler has
// returned, and the next button closes them. The options window is worked
// by the pad as by its keys: the cross moves and changes, East closes.
TEST_F(PadTest, WhatThePadOpensThePadClosesAndTheOptionsTakeThePad) {
  QImage start(400, 300, QImage::Format_RGB32);
  start.fill(Qt::blue);
  start.save(QString::fromStdString((dir_ / "cg/start.bmp").string()));
  FormOptions o;
  o.base_dir = dir_.string();  // the boxes are the game's own
  TForm1 form(o);
  form.start_gamepads();
  form.show();
  VirtualPad pad;
  form.poll_pads();
  ASSERT_EQ(form.gamepads()->count(), 1u);
  // Inside a box's own event loop: the pad's timer polls on, and South closes it.
  auto close_by_pad = [&](const char* what) {
    bool seen = false;
    QTimer::singleShot(100, [&] {
      const QWidget* modal = QApplication::activeModalWidget();
      seen = modal != nullptr && (qobject_cast<const QMessageBox*>(modal) != nullptr ||
                                  modal->property(kBoxProperty).toBool());
      if (seen) shoot(QApplication::activeModalWidget(), what);
      pad.button(PadButton::South, true);
    });
    // However it goes, the test never waits on a box for good.
    QTimer::singleShot(5000, [] {
      if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    QCoreApplication::sendPostedEvents();  // the box opens and runs its loop
    EXPECT_TRUE(seen) << what << ": a box opened";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << what << ": the pad closed it";
    pad.button(PadButton::South, false);
    form.poll_pads();
  };
  pad.button(PadButton::Back, true);
  form.poll_pads();
  close_by_pad("the help");
  pad.button(PadButton::Back, false);
  form.poll_pads();

  // NEW START on a saved game asks; in its box the cross moves between はい
  // and いいえ, and South answers with the one in focus: here いいえ.
  pad.tap(PadButton::Down, &form);
  ASSERT_EQ(form.focusWidget(), form.Button1);
  pad.button(PadButton::South, true);
  form.poll_pads();
  pad.button(PadButton::South, false);
  form.poll_pads();
  QString moved_to;
  QTimer::singleShot(100, [&] {
    pad.tap(PadButton::Left, &form);
    if (auto* b = qobject_cast<QAbstractButton*>(QApplication::focusWidget())) moved_to = b->text();
    pad.tap(PadButton::Right, &form);
  });
  close_by_pad("the question");
  EXPECT_EQ(moved_to, "はい") << "the cross moved from いいえ to はい";
  EXPECT_EQ(form.screen(), Screen::Title) << "and back: South answered いいえ";

  form.Button4Click();
  ASSERT_EQ(form.screen(), Screen::Shop);
  for (int i = 0; i < 2; ++i) pad.tap(PadButton::Up, &form);  // NEXT, RETRY, SAVE
  ASSERT_EQ(form.focusWidget(), form.item_button(shop::Item::a9));
  pad.button(PadButton::South, true);
  form.poll_pads();
  pad.button(PadButton::South, false);
  form.poll_pads();
  close_by_pad("SAVE's box");

  form.show_options();
  QPointer<OptionsWindow> w = form.options_window();
  ASSERT_NE(w, nullptr);
  QApplication::setActiveWindow(w);
  ASSERT_EQ(QApplication::focusWidget(), w->music_volume);
  pad.tap(PadButton::Left, &form);
  EXPECT_EQ(form.settings().volume, 90) << "the cross changes the slider in focus";
  shoot(w, "options by pad");
  pad.tap(PadButton::Down, &form);
  EXPECT_EQ(QApplication::focusWidget(), w->effects_volume) << "and moves to the next control";
  pad.tap(PadButton::Down, &form);
  pad.tap(PadButton::South, &form);
  EXPECT_TRUE(form.settings().muted) << "South ticks the box in focus";
  shoot(w, "options by pad, mute ticked");
  pad.tap(PadButton::East, &form);
  EXPECT_TRUE(w == nullptr || !w->isVisible()) << "East closes the window";
}

// A fire that went down on a menu does not fire in the stage it started,
// however long it is held, until it is let go and pressed again: by key and
// by pad alike.
TEST_F(PadTest, AFirePressedOnAMenuWaitsForAFreshPressInTheStage) {
  struct Way {
    const char* what;
    std::function<void(TForm1&, VirtualPad&, bool)> fire;  // down or up
  };
  auto key = [](int k) {
    return [k](TForm1& f, VirtualPad&, bool down) {
      QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, k, Qt::NoModifier);
      QApplication::sendEvent(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &f, &e);
    };
  };
  const Way ways[] = {
      {"Space, which presses NEW START", key(Qt::Key_Space)},
      {"Z, held on the title", key(Qt::Key_Z)},
      {"South, which presses NEW START",
       [](TForm1& f, VirtualPad& p, bool down) {
         p.button(PadButton::South, down);
         f.poll_pads();
       }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    // A new player's save: NEW START has the focus and asks nothing.
    std::ofstream(dir_ / "dat/my.dat") << "0\r\n0\r\n0\r\n3\r\n18\r\n10\r\n2\r\n3\r\n0\r\n0\r\n3\r\n3\r\n0\r\n";
    auto form = make();
    form->show();
    QApplication::setActiveWindow(form.get());
    VirtualPad pad;
    form->poll_pads();
    way.fire(*form, pad, true);
    if (form->screen() == Screen::Title) {
      form->Button1Click();
      QCoreApplication::sendPostedEvents();  // the saved game asks first
    }
    ASSERT_EQ(form->screen(), Screen::None);
    auto flying = [&] {
      const auto& shots = form->game().shots;
      return std::count_if(shots.begin(), shots.end(), [](const ShotRec& r) { return r.state != 0; });
    };
    for (int i = 0; i < 12; ++i) form->Timer1Timer();
    EXPECT_EQ(flying(), 0) << "no shot from a press made on the menu";
    way.fire(*form, pad, false);
    way.fire(*form, pad, true);
    for (int i = 0; i < 4; ++i) form->Timer1Timer();
    EXPECT_GT(flying(), 0) << "a fresh press fires";
  }
}

// A pad SDL does not know plays once the settings folder's mapping file
// names it; a file that is no mapping file, or no file at all, is passed over
// without a wait or a word.
TEST_F(PadTest, TheSettingsFoldersMappingFileNamesPadsAndNothingElseStopsTheGame) {
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);  // to attach a pad before the game looks
  const fs::path folder = dir_ / "config" / "quillot";
  const fs::path file = folder / "gamecontrollerdb.txt";
  struct Case {
    const char* what;
    std::function<void(const std::string& guid)> make;
    size_t pads;
  };
  const Case cases[] = {
      {"no file", [](const std::string&) {}, 0},
      {"a FIFO", [&](const std::string&) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }, 0},
      {"garbage",
       [&](const std::string&) { std::ofstream(file) << "\x01\xff,,,a:b0\n"
                                                     << std::string(5000, 'x'); }, 0},
      {"a mapping for it",
       [&](const std::string& guid) {
         std::ofstream(file) << "# made here\n"
                             << guid << ",Test pad,a:b0,b:b1,start:b6,dpleft:b13,leftx:a0,platform:Linux,\n";
       },
       1},
  };
  for (const Case& c : cases) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    VirtualPad pad(false);
    ASSERT_TRUE(pad.ok());
    c.make(pad.guid());
    testing::internal::CaptureStderr();
    {
      auto form = make();
      form->poll_pads();
      EXPECT_EQ(form->gamepads()->count(), c.pads) << c.what;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace
}  // namespace quillot
