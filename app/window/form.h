#pragma once
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/input/bindings.h"
#include "app/window/dialogs.h"
#include "app/input/gamepad.h"
#include "app/input/input_router.h"
#include "app/window/menu_focus.h"
#include "audio/music_port.h"
#include "app/options/options_host.h"
#include "app/window/overlays.h"
#include "app/render/qimage_canvas.h"
#include "app/options/settings.h"
#include "app/window/window_scale.h"
#include "game/bird.h"
#include "game/state.h"
#include "session/flow.h"
#include "session/input.h"
#include "session/profile_file.h"
#include "session/replay.h"
#include "session/run_recorder.h"
#include "shop/shop.h"

namespace quillot {

class OptionsWindow;
class Practice;
class RecordsScreen;
class TForm1;
class TheatreView;

// The visible playfield picture `cg`: shows its canvas and reports the mouse.
class PlayfieldView : public QWidget {
 public:
  PlayfieldView(TForm1* form, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TForm1* form_;
};

struct FormOptions {
  std::string base_dir;         // the folder holding dat/ and cg/
  std::string save_file;        // the player's save; empty means dat/my.dat in base_dir
  std::string cannot_save;      // when set, SAVE shows this instead of writing (no place to save)
  Dialogs* dialogs = nullptr;   // message and error boxes
  MusicPort* music = nullptr;   // background music
  bool seed_from_clock = true;  // tests and replays seed the generator themselves
  bool replaying = false;       // a replay drives the game: no saves, the player's input is ignored
  // Scale (0: the first-run choice by screen), full screen and sound to start with.
  Settings settings{.scale = 1};
  // Whether the player's changes by key are written to the settings file, and
  // what that file holds (without the one-run options in `settings`).
  bool remember_settings = false;
  Settings remembered;
  // The keys and pad buttons the player plays with.
  Bindings bindings = Bindings::defaults();
};

// The main window: the playfield, the three screens and the two timers.
class TForm1 : public QWidget, public Shell, public OptionsHost {
  Q_DECLARE_TR_FUNCTIONS(TForm1)
  friend class TheatreView;

 public:
  explicit TForm1(const FormOptions& options);
  ~TForm1() override;

  Game& game() { return g_; }
  // Every input and tick from now on goes into the recording.
  void set_recorder(Recorder* recorder);
  // Each game from here on is recorded into the player's records.
  void set_run_recorder(RunRecorder* runs);
  // The records screen over the title (R, or its button): the best and the
  // last games, to watch, export, remove or practise.
  void show_records();
  bool records_shown() const;
  RecordsScreen* records_screen() const { return records_; }
  // What the records screen's Watch does instead of the theatre (tests).
  std::function<void(const std::string& recording_path)> watch_recording;
  // Frame ticks run so far.
  int64_t ticks() const { return ticks_; }

  // Events, named after their controls.
  void Timer1Timer();
  void Timer2Timer();
  void cgMouseMove(int x);
  void cgMouseDown(MouseButton button);
  void Button1Click();               // NEW START
  void Button4Click();               // COUNTINUE
  void Button5Click();               // shop NEXT
  void Button6Click();               // shop RETRY
  void Button8Click();               // story NEXT
  void Button9Click();               // story "はい"
  void Button10Click();              // story "いいえ"
  void shop_click(shop::Item item);  // a1 .. a10
  QPushButton* item_button(shop::Item item) { return a[static_cast<size_t>(item)]; }

  // Shell
  bool save_profile(const Profile& profile) override;
  void play_music(const std::string& name) override;
  void show_shop() override;
  void show_title() override;
  void stop_timer() override;
  void set_enemy_count(int32_t count) override;
  void present() override;
  void repaint_now() override;
  void sound(Sound sound) override;
  void show_screen(Screen screen) override;
  void start_timer() override;
  bool timer_running() const override { return Timer1.isActive(); }
  void enable_save() override;
  void disable_save() override;
  void message(const Text& text) override;
  void set_story_text(const std::string& bytes) override;
  bool load_story_picture(const std::string& bytes) override;
  void set_story_name(const std::string& bytes) override;
  void set_story_about(const std::string& bytes) override;
  void set_choice_visible(bool visible) override;
  Canvas& bak() override { return bak_; }
  Canvas& cg() override { return cg_; }

  const QImage& playfield_image() const { return cg_.image(); }
  Screen screen() const;
  // The screen with the controls that decide which inputs can be given now.
  ScreenState screen_state() const;

  // The window's comforts; none of them is a game input or touches the game.
  const Settings& settings() const override { return settings_.now(); }
  // The settings file's writes so far, which wait for a quiet moment.
  SettingsKeeper& settings_keeper() { return settings_; }
  // The scale the game is drawn at now (in full screen, the largest that fits).
  int shown_scale() const override { return shown_scale_; }
  int largest_scale() const override { return largest_window_scale(this); }
  // Where the game's 401 x 301 client area lies in the window.
  QRect game_area() const;
  QWidget* host_window() override { return this; }
  QRect game_area_on_screen() const override { return game_area().translated(mapToGlobal(QPoint())); }
  void set_scale(int scale) override;
  void set_fullscreen(bool on) override;
  // The music's volume, and the mute of all sound.
  void set_volume(int percent, bool muted) override;
  void set_effects_volume(int percent) override;
  // Scale, full screen, sound and language as a new player finds them.
  void reset_settings() override;
  // The language at once: every text, and the story file of the language.
  void set_language(Language language) override;
  void set_sound_font(const std::string& path) override;
  std::string sound_font_in_use() const override { return options_.music->sound_font_in_use(); }
  // The game's pace (one of kSpeeds, in percent): the frame timer's interval
  // at once, remembered, and noted in the recording.
  void set_speed(int percent) override;
  // The pace the game runs at now: the player's, or in a replay the recording's.
  int pace() const { return pace_; }
  // A replay's pace, for the mark over the playfield.
  void show_pace(int percent);
  // A stage is running: its ticks are due and the playfield is seen.
  bool stage_running() const;
  bool paused() const { return paused_; }
  void set_paused(bool paused);
  void show_help();
  // The options window (F2): modal, and it pauses a running stage. Null while closed.
  void show_options();
  OptionsWindow* options_window() const;
  // Practice of one stage (the records screen's): a chooser of stage and
  // equipment, then the stage played apart from the player's game.
  void open_practice();
  // Where Back from a practice leads; the title screen when none is set.
  void set_practice_back(std::function<void()> back);
  Practice* practice() const { return practice_; }
  // A practice game holds the window: nothing is saved.
  bool practising() const;
  // The keys and pad buttons held for play.
  const HeldControls& held() const { return router_.held(); }
  InputRouter& router() { return router_; }
  // Where input goes now, for the router.
  InputContext input_context() const;
  // What the router made of an event, carried out.
  void carry_out(const Routed& r);
  const Bindings& bindings() const override { return options_.bindings; }
  // Watches a recording in this window (app/window/theatre.cpp). The
  // player's own game and screen wait meanwhile and are back when the
  // theatre closes (Esc), after which `on_close` gets the ReplayStatus of
  // what was watched. With `leave_at_end` it also closes by itself once the
  // recording has played out, unless the watcher has taken the controls.
  void watch(Recording recording, std::function<void(int status)> on_close, bool leave_at_end = false);
  // A recording file: watched (on_close as for watch), or refused with a box that says why.
  void watch_file(const std::string& path, std::function<void(int status)> on_close = nullptr);
  TheatreView* theatre() const { return theatre_; }
  void watch_command(TheatreCommand command);
  // New bindings apply at once and are remembered like the other settings.
  void set_bindings(const Bindings& bindings) override;
  // The next pad button pressed goes to `take` instead of the game (for
  // binding it), as long as `owner` lives; an empty function gives the
  // buttons back.
  void capture_pad(QObject* owner, std::function<void(PadButton)> take) override {
    capture_owner_ = owner;
    pad_capture_ = std::move(take);
  }

  // Gamepads: started after the first paint when the options ask for them,
  // polled from a timer and before every tick.
  static constexpr int kPadPollMs = 25;       // a pad is there: menus answer within half a tick
  static constexpr int kPadIdlePollMs = 250;  // none is: only a plug-in is awaited
  void start_gamepads();
  void poll_pads();
  const Gamepads* gamepads() const { return pads_.get(); }
  const QTimer& pad_timer() const { return pad_timer_; }

  // The controls, with the names the game gives them.
  PlayfieldView* cg_view = nullptr;
  QLabel* Label1 = nullptr;
  QTimer Timer1;
  QTimer Timer2;
  QGroupBox* start_box = nullptr;
  QGroupBox* shop_box = nullptr;
  QGroupBox* story_box = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* stage_l = nullptr;
  QLabel* save_l = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* help_hint_l = nullptr;  // the title's way to the help, for one who has not read the README
  QPushButton* Button1 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* records_button = nullptr;  // beside them: the records screen
  QLabel* state_l = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* rank_l = nullptr;
  std::array<QPushButton*, 10> a{};  // a[0] is a1 ... a[9] is a10
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QLabel* story_pic = nullptr;
  QLabel* story_l = nullptr;
  QLabel* name_l = nullptr;
  QLabel* about_l = nullptr;
  QPushButton* Button8 = nullptr;
  QGroupBox* select_box = nullptr;
  QPushButton* Button9 = nullptr;
  QPushButton* Button10 = nullptr;

 protected:
  // Every key of the window, the screens' buttons' included, goes to the router.
  bool event(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // A recording dropped on the window is watched.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The focus goes to the button a player most likely wants on the screen shown.
  void focus_screen();
  void build_layout();
  void build_title_screen();
  void build_shop_screen();
  void build_story_screen();
  // Every fixed text in the language in use; again at each language change.
  void retranslate();
  void load_story_file();
  void FormCreate();
  void report(const FileError& error);
  // Opens a message or error box once the handler or tick asking for it has returned.
  void open_box(std::function<void()> box);
  // The outside world failed the game: the recording keeps the answer.
  void record_failure(Recording::Line::Kind answer);
  std::string path(const std::string& relative) const;
  std::string save_path() const;
  // Gives the game one input: refused when no player could give it now,
  // otherwise recorded and applied. False when refused.
  bool give(const Input& in);
  // Sizes and places the window for the scale and full screen in effect.
  void lay_out_window();
  // The scale the window is shown at: the chosen one as far as the screen allows.
  int scale_to_show() const;
  // The rank title grows leftward from its right edge when it is wider than its box.
  void fit_rank_title();
  // The start's pictures, made on another thread while the window is built.
  struct EarlyPictures {
    QImage start;
    std::optional<FileError> start_error;
    QImage title;  // at the size the title screen first shows it
    PictureSet sprites;
  };
  void start_early_pictures();
  void fit_title_picture();
  void update_pointer();
  void application_state_changed(Qt::ApplicationState state);
  void route_key(QKeyEvent* event);
  // A window command: pause, sound, scale, full screen, help, options, quit.
  void command(Action a);
  // A step in whichever menu is in front: a screen's, a box's, the options'.
  void menu_step(MenuStep step);

  friend class Practice;
  Practice* practice_ = nullptr;  // made when first asked for

  FormOptions options_;
  Game g_;
  PictureSet pictures_;
  std::future<EarlyPictures> early_pictures_;
  QImage title_;  // the title picture made ahead, until the window is laid out
  QImageCanvas bak_;
  QImageCanvas cg_;
  Recorder* recorder_ = nullptr;
  RunRecorder* runs_ = nullptr;
  std::unique_ptr<RunStore> practice_runs_;  // the practice games, listed on the records screen
  RecordsScreen* records_ = nullptr;
  void build_records();
  void records_step(MenuStep step);
  // A finished game among the ten best: its player's name, asked once.
  void ask_run_name(const RunEntry& entry);
  int64_t ticks_ = 0;
  bool in_tick_ = false;  // a frame tick is under way
  bool created_ = false;  // the window is built: boxes wait for the handler that asks for them
  int pace_ = 100;        // percent of the normal pace
  void apply_pace(int percent);

  SettingsKeeper settings_;
  WidgetScaler scaler_;
  int shown_scale_ = 1;
  QPoint frame_offset_;  // the window's inside from its frame's corner
  bool rank_fit_due_ = false;
  bool paused_ = false;
  bool pointer_hidden_ = false;
  InputRouter router_{&options_.bindings};
  std::unique_ptr<Toast> toast_;
  MenuFocus* menu_ = nullptr;
  QPointer<OptionsWindow> options_window_;
  Qt::ApplicationState app_state_ = Qt::ApplicationInactive;

  std::unique_ptr<Gamepads> pads_;
  QTimer pad_timer_;
  std::function<void(PadButton)> pad_capture_;
  QPointer<QObject> capture_owner_;
  // Another program became active: pads are not ours until the window is again.
  bool pads_away_ = false;
  TheatreView* theatre_ = nullptr;  // a child while a recording is watched
  std::string track_;               // the last one asked for
};

}  // namespace quillot
