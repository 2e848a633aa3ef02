#include "app/window/form.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QTime>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "app/render/art.h"
#include "app/options/language.h"
#include "app/window/pace_mark.h"
#include "app/window/practice.h"
#include "app/window/theatre.h"
#include "game/tick.h"
#include "files/file_read.h"
#include "session/input.h"
#include "session/profile_file.h"
#include "session/replay.h"
#include "session/shop_actions.h"
#include "session/story_file.h"
#include "shop/status.h"

namespace quillot {

namespace {

const char* const kCaption = "ＱＵＩＬＬＯＴ ver 1.0 2001/3  ﾌﾞﾗｽｺ";
const QRect kTitlePicture(4, 8, 393, 289);  // on the title screen, at 1x

struct LabelLook {
  Color text = 0x000000;
  int px = 12;
  bool bold = false;
  bool italic = false;
  bool opaque = false;
  Color background = 0;
  Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
  bool wrap = false;
};

QLabel* make_label(QWidget* parent, const QString& caption, QRect geometry, const LabelLook& look) {
  auto* l = new QLabel(caption, parent);
  l->setGeometry(geometry);
  l->setFont(game_font(look.px, look.bold, look.italic));
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, to_qcolor(look.text));
  if (look.opaque) pal.setColor(QPalette::Window, to_qcolor(look.background));
  l->setPalette(pal);
  l->setAutoFillBackground(look.opaque);
  l->setAlignment(look.align);
  l->setWordWrap(look.wrap);
  return l;
}

QPushButton* make_button(QWidget* parent, const QString& caption, QRect geometry, bool bold) {
  auto* b = new QPushButton(caption, parent);
  b->setGeometry(geometry);
  QFont f = parent->font();
  f.setBold(bold);
  b->setFont(f);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

QGroupBox* make_screen(QWidget* parent, const QString& caption, bool bold) {
  auto* box = new QGroupBox(caption, parent);
  box->setGeometry(0, 0, 401, 301);
  QFont f = parent->font();
  f.setBold(bold);
  box->setFont(f);
  box->setAutoFillBackground(true);
  return box;
}

// A picture file: read like every other file the player may swap (a FIFO or a
// folder in its place is refused at once), then decoded from memory.
constexpr size_t kPictureReadLimit = 16 * 1024 * 1024;

std::optional<FileError> load_picture(const std::string& file, QImage& picture) {
  const FileRead read = read_regular_file(file, kPictureReadLimit);
  if (!read.ok()) return file_error(read.error, false);
  if (read.truncated) return FileError{kFileNotFound};
  const auto* data = reinterpret_cast<const uchar*>(read.bytes.data());
  const int size = static_cast<int>(read.bytes.size());
  // The name's ending picks the decoder, as loading by file name would: a
  // guess from the bytes asks every image plugin in turn, and that alone
  // costs start-up 9 ms. A picture whose ending lies still gets the guess.
  const QByteArray format = QFileInfo(QString::fromStdString(file)).suffix().toLatin1();
  if (!format.isEmpty() && picture.loadFromData(data, size, format.constData())) return std::nullopt;
  if (!picture.loadFromData(data, size)) return FileError{kFileNotFound};
  return std::nullopt;
}

// The title picture as a label with scaled contents would show it at this
// size: smoothed, from the picture as a pixmap holds it.
QImage scaled_title(QSize size) {
  return title_picture()
      .convertToFormat(QImage::Format_RGB32)
      .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The game's texts break lines with "\r".
QString shown(const std::string& utf8) { return QString::fromStdString(utf8).replace('\r', '\n'); }
QString shown_bytes(const std::string& bytes) { return shown(cp932_to_utf8(bytes)); }

}  // namespace

PlayfieldView::PlayfieldView(TForm1* form, QWidget* parent) : QWidget(parent), form_(form) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlayfieldView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  draw_scaled_playfield(p, form_->playfield_image(), form_->shown_scale());
  if (form_->pace() != 100) paint_pace_mark(p, rect(), form_->shown_scale(), form_->pace());
  if (form_->paused()) paint_pause(p, rect(), form_->shown_scale());
}

// The game sees its own pixels whatever the window's scale.
void PlayfieldView::mouseMoveEvent(QMouseEvent* event) {
  form_->carry_out(form_->router().mouse_move(form_->input_context(),
                                              unscale(event->position().toPoint().x(), form_->shown_scale())));
}

void PlayfieldView::mousePressEvent(QMouseEvent* event) {
  const MouseButton button = event->button() == Qt::LeftButton    ? MouseButton::Left
                             : event->button() == Qt::RightButton ? MouseButton::Right
                                                                  : MouseButton::Other;
  form_->carry_out(form_->router().mouse_press(form_->input_context(), button));
}

TForm1::TForm1(const FormOptions& options)
    : options_(options),
      bak_(&pictures_),
      cg_(&pictures_),
      settings_(options.settings, options.remember_settings ? std::optional(options.remembered) : std::nullopt) {
  if (options_.dialogs == nullptr) {
    static QtDialogs default_dialogs;
    options_.dialogs = &default_dialogs;
  }
  if (options_.music == nullptr) {
    static SilentMusic silence;
    options_.music = &silence;
  }
  if (settings_.now().scale == 0) settings_.set_for_run(&Settings::scale, largest_window_scale(nullptr));
  start_early_pictures();
  setWindowTitle(kCaption);
  setFont(game_font(12));
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  build_layout();
  scaler_.capture(this);
  toast_ = std::make_unique<Toast>(this);
  // Tab visits the buttons as they stand, top to bottom, then left to right.
  menu_ = new MenuFocus(this, [this](QKeyEvent* e) { route_key(e); });
  menu_->set_order(Screen::Title, {Button4, Button1, records_button});
  std::vector<QPushButton*> shop_order;
  for (shop::Item item : {shop::Item::a1, shop::Item::a2, shop::Item::a3, shop::Item::a4, shop::Item::a5,
                          shop::Item::a6, shop::Item::a7, shop::Item::a8, shop::Item::a10, shop::Item::a9})
    shop_order.push_back(item_button(item));
  shop_order.push_back(Button6);
  shop_order.push_back(Button5);
  menu_->set_order(Screen::Shop, shop_order);
  options_.music->set_volume(settings_.now().volume, settings_.now().muted);
  options_.music->set_effects_volume(settings_.now().effects_volume, settings_.now().muted);
  options_.music->set_sound_font(settings_.now().sound_font);
  app_state_ = QGuiApplication::applicationState();
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) { application_state_changed(state); });
  FormCreate();
  created_ = true;
}

TForm1::~TForm1() {
  // Closed while watching: the player's game ends its recording, not the watched one.
  if (theatre_ != nullptr) theatre_->restore_player();
  if (recorder_ != nullptr) recorder_->end(ticks_, g_);
  if (runs_ != nullptr) runs_->quit(ticks_, g_);
}

bool TForm1::give(const Input& in) {
  if (options_.replaying) return false;
  // A shop button whose refresh is still due, or mouse moves that reach a
  // covered playfield while a button is held: the game takes no such input,
  // so every recording holds only what its replay can play.
  if (!input_possible(g_, screen_state(), in)) return false;
  if (runs_ != nullptr) runs_->input(ticks_, in, g_, screen_state());
  if (recorder_ != nullptr) recorder_->event(ticks_, in);
  apply_input(g_, *this, in);
  if (runs_ != nullptr) runs_->applied(ticks_, in, g_);
  return true;
}

std::string TForm1::path(const std::string& relative) const { return options_.base_dir + "/" + relative; }

void TForm1::start_early_pictures() {
  // Read, decoded and scaled on a spare core while this thread builds the
  // controls and loads the fonts, which the first paint waits for anyway.
  // Nothing draws a sprite before the first stage.
  const QSize title_size = kTitlePicture.size() * scale_to_show() * devicePixelRatio();
  early_pictures_ =
      std::async(std::launch::async | std::launch::deferred, [file = path("cg/start.bmp"), title_size] {
        EarlyPictures early;
        early.start_error = load_picture(file, early.start);
        early.title = scaled_title(title_size);
        early.sprites = load_pictures();
        return early;
      });
}

void TForm1::fit_title_picture() {
  // The label scales its picture to its size at its paint. The first one is
  // made at that size ahead, on another thread, so that paint only draws it.
  const QSize size = Image1->contentsRect().size() * Image1->devicePixelRatio();
  QImage picture = std::exchange(title_, QImage());
  if (picture.size() != size) picture = title_picture();
  Image1->setPixmap(QPixmap::fromImage(std::move(picture)));
}

std::string TForm1::save_path() const {
  return options_.save_file.empty() ? path("dat/my.dat") : options_.save_file;
}

void TForm1::build_layout() {
  // The window's picture controls: the playfield, and off to the right the
  // hidden things a player never sees (the back buffer and the sprites are
  // canvases in memory here).
  cg_view = new PlayfieldView(this, this);
  cg_view->setGeometry(0, 0, 400, 300);
  Label1 = make_label(
      this, "Label1", QRect(204, 372, 40, 13),
      LabelLook{
          .text = 0x000000, .px = 12, .bold = true, .italic = true, .opaque = true, .background = 0xCDF900});
  Label1->adjustSize();

  apply_pace(options_.replaying ? 100 : settings_.now().speed);
  Timer1.setTimerType(Qt::PreciseTimer);
  connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer2.setInterval(100);
  connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });

  build_title_screen();
  build_shop_screen();
  build_story_screen();
  build_records();
  retranslate();
  shop_box->hide();
  story_box->hide();
  start_box->raise();
  Timer2.start();
}

void TForm1::build_title_screen() {
  start_box = make_screen(this, "STARTER", false);
  Image1 = new QLabel(start_box);
  Image1->setGeometry(kTitlePicture);
  Image1->setScaledContents(true);  // its picture: fit_title_picture
  // One pixel under the game's 13, as for the shop's panel: in the stand-in
  // font a 13-pixel line is 14 tall, and the boxes (13 and 25 high) cut off
  // the descenders of "point" and the whole foot of the gold line.
  const LabelLook score_look{.text = 0xCDF900,
                             .px = 12,
                             .bold = true,
                             .opaque = true,
                             .background = 0x800000,
                             .align = Qt::AlignHCenter | Qt::AlignTop,
                             .wrap = true};
  stage_l = make_label(start_box, "YOUR HI-STAGE:", QRect(4, 224, 393, 13), score_look);
  save_l = make_label(start_box, "YOUR HI-STAGE:", QRect(4, 164, 393, 25), score_look);
  Label3 = make_label(
      start_box, "PROGRAM・GRAPHIC・MUSIC  ﾌﾞﾗｽｺ  2001", QRect(4, 272, 393, 25),
      LabelLook{
          .text = 0xC08000, .px = 13, .bold = true, .align = Qt::AlignHCenter | Qt::AlignTop, .wrap = true});
  Label4 = make_label(
      start_box, "QUILLOT", QRect(4, 72, 393, 25),
      LabelLook{.text = 0xFFFFFF, .px = 11, .bold = true, .align = Qt::AlignHCenter | Qt::AlignTop});
  // Over the clouds at the bottom left, the one stretch of the title no
  // control or line of text covers; in the credits' colour, so it reads as
  // part of the title rather than as a control.
  help_hint_l = make_label(start_box, "", QRect(8, 254, 160, 14),
                           LabelLook{.text = 0xC08000, .px = 12, .bold = true});
  Button1 = make_button(start_box, "", QRect(148, 196, 101, 25), false);
  Button4 = make_button(start_box, "", QRect(148, 136, 101, 25), false);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
}

void TForm1::build_shop_screen() {
  shop_box = make_screen(this, "", true);
  auto* bevel = new QFrame(shop_box);
  bevel->setGeometry(180, 12, 209, 245);
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  // One pixel under the game's 16: the stand-in font is wider and taller than
  // the face the panel was laid out for, and at 16 a full panel (ten bombs,
  // fourteen lines) would wrap and push the gold out of sight.
  state_l = make_label(shop_box, "state_l", QRect(184, 16, 201, 237),
                       LabelLook{.text = 0xCDF900,
                                 .px = 15,
                                 .bold = true,
                                 .italic = true,
                                 .opaque = true,
                                 .background = 0x800000,
                                 .wrap = true});
  Label2 = make_label(shop_box, "", QRect(8, 20, 100, 13), LabelLook{.px = 12, .bold = true});
  rank_l = make_label(shop_box, translated(status::rank_title(15)), QRect(323, 34, 62, 13),
                      LabelLook{.text = 0x800000,
                                .px = 13,
                                .bold = true,
                                .opaque = true,
                                .background = 0xCDF900,
                                .align = Qt::AlignRight | Qt::AlignTop});
  // a1 .. a10 by number; SAVE (a9) sits lowest, under a10.
  static const int tops[10] = {32, 56, 84, 108, 132, 160, 184, 208, 260, 232};
  const Profile new_game = new_game_profile();
  for (size_t i = 0; i < a.size(); ++i) {
    const auto item = static_cast<shop::Item>(i);
    a[i] =
        make_button(shop_box, translated(shop::caption(item, new_game)), QRect(16, tops[i], 150, 25), true);
    connect(a[i], &QPushButton::clicked, this, [this, item] { shop_click(item); });
  }
  Button6 = make_button(shop_box, "", QRect(180, 264, 101, 29), true);
  Button5 = make_button(shop_box, "", QRect(284, 264, 109, 29), true);
  connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
}

void TForm1::build_story_screen() {
  story_box = make_screen(this, "", false);
  story_pic = new QLabel(story_box);
  story_pic->setGeometry(8, 20, 200, 250);
  story_pic->setScaledContents(true);
  story_l = make_label(story_box, "story_l", QRect(176, 12, 217, 81),
                       LabelLook{.text = 0x808080,
                                 .px = 16,
                                 .bold = true,
                                 .italic = true,
                                 .opaque = true,
                                 .background = 0xFFFFFF,
                                 .wrap = true});
  name_l = make_label(story_box, "story_l", QRect(216, 96, 177, 21),
                      LabelLook{.text = 0xC1FFD7,
                                .px = 16,
                                .bold = true,
                                .italic = true,
                                .opaque = true,
                                .background = 0x000000,
                                .wrap = true});
  about_l = make_label(
      story_box, "story_l", QRect(216, 116, 177, 145),
      LabelLook{
          .text = 0xCDF900, .px = 13, .bold = true, .opaque = true, .background = 0x000000, .wrap = true});
  Button8 = make_button(story_box, "", QRect(284, 264, 109, 29), true);
  select_box = new QGroupBox(story_box);
  select_box->setGeometry(216, 262, 181, 35);
  QFont f = story_box->font();
  f.setBold(true);
  select_box->setFont(f);
  select_box->setAutoFillBackground(true);
  Button9 = make_button(select_box, "", QRect(4, 12, 85, 21), true);
  Button10 = make_button(select_box, "", QRect(92, 12, 85, 21), true);
  connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
  connect(Button9, &QPushButton::clicked, this, [this] { Button9Click(); });
  connect(Button10, &QPushButton::clicked, this, [this] { Button10Click(); });
}

void TForm1::retranslate() {
  start_box->setTitle(tr("STARTER"));
  shop_box->setTitle(tr("SHOP"));
  Button1->setText(tr("NEW START"));
  Button4->setText(tr("COUNTINUE"));
  records_button->setText(tr("記録 (R)"));
  help_hint_l->setText(tr("F1: 操作方法"));
  Label2->setText(tr("-SHOP MENU-"));
  Label2->adjustSize();
  for (size_t i = 0; i < a.size(); ++i)
    a[i]->setToolTip(QCoreApplication::translate(kTextContext, shop::hint(static_cast<shop::Item>(i))));
  Button6->setText(tr("←ＲＥＴＲＹ"));
  Button5->setText(tr("ＮＥＸＴ→"));
  story_box->setTitle(tr("MESSAGE!!!!"));
  Button8->setText(tr("ＮＥＸＴ→"));
  select_box->setTitle(tr("select"));
  Button9->setText(tr("はい"));
  Button10->setText(tr("いいえ"));
}

void TForm1::load_story_file() {
  //: The story file. Each language has its own, with the same records.
  if (auto err = load_stories(path(tr("dat/s.dat").toStdString()), g_.stories)) report(*err);
}

void TForm1::report(const FileError& error) {
  open_box([this, text = translated(error.message)] { options_.dialogs->error(text); });
}

void TForm1::open_box(std::function<void()> box) {
  // Before the event loop runs (the start's own errors) nothing else waits.
  if (!created_) return box();
  // A box's own event loop runs inside whatever opened it: inside an input
  // handler it would keep that handler's events waiting (a pad could not
  // close what it opened), and inside a frame tick it would run whole ticks
  // within this one, as the frame timer runs on behind a box. So it opens
  // once the handler or the tick has returned.
  QMetaObject::invokeMethod(this, std::move(box), Qt::QueuedConnection);
}

void TForm1::record_failure(Recording::Line::Kind answer) {
  // Numbered as the ticks run once the tick under way has ended.
  if (recorder_ != nullptr) recorder_->outside(in_tick_ ? ticks_ + 1 : ticks_, answer);
  if (runs_ != nullptr) runs_->outside(in_tick_ ? ticks_ + 1 : ticks_, answer);
}

// Each step runs even when an earlier one failed: a missing save file must
// still leave a window that is sized, blue and playing its music.
void TForm1::FormCreate() {
  if (options_.seed_from_clock) {
    const QTime now = QTime::currentTime();
    g_.random.seed = Random::seed_from_time(now.hour(), now.minute(), now.second(), now.msec());
  }
  if (auto err = quillot::load_profile(save_path(), g_.profile)) report(*err);
  load_story_file();

  EarlyPictures early = early_pictures_.get();
  title_ = std::move(early.title);  // shown by lay_out_window
  pictures_ = std::move(early.sprites);
  if (early.start_error) {
    report(*early.start_error);
  } else {
    cg_.load(early.start);
    bak_.load(early.start);
  }
  cg_.brush = kBlue;
  cg_.rectangle(0, 0, kWidth, kHeight);

  lay_out_window();
  focus_screen();
  play_music("5.mid");
}

Screen TForm1::screen() const {
  if (!start_box->isHidden()) return Screen::Title;
  if (!shop_box->isHidden()) return Screen::Shop;
  if (!story_box->isHidden()) return Screen::Story;
  return Screen::None;
}

ScreenState TForm1::screen_state() const {
  return {screen(), !select_box->isHidden(), a[static_cast<size_t>(shop::Item::a9)]->isEnabled()};
}

void TForm1::Timer1Timer() {
  if (options_.replaying) return;  // the replay runs the ticks itself
  // The timer runs on through a pause, so that nothing takes a paused stage
  // for an ended one; the tick waits, uncounted, and nothing moves.
  if (paused_) return;
  // However the timers fall, a pad's latest state steers this tick.
  poll_pads();
  if (paused_) return;  // the pad was pulled out
  for (const Input& in : router_.before_tick(input_context(), g_)) give(in);
  in_tick_ = true;
  quillot::Timer1Timer(g_, bak_, *this);
  in_tick_ = false;
  ++ticks_;
  if (recorder_ != nullptr) recorder_->after_tick(ticks_, g_);
  if (runs_ != nullptr) runs_->after_tick(ticks_, g_, screen() == Screen::Title);
}

// Every text of the title and shop screens, rebuilt from the profile.
void TForm1::Timer2Timer() {
  const Profile& p = g_.profile;
  state_l->setText(translated(status::status_panel(p)));
  for (shop::Item item : shop::kRefreshedItems) item_button(item)->setEnabled(shop::enabled(item, p));
  for (shop::Item item : {shop::Item::a2, shop::Item::a3, shop::Item::a4})
    item_button(item)->setText(translated(shop::caption(item, p)));
  stage_l->setText(translated(status::stage_label(p)));
  save_l->setText(translated(status::save_label(p)));
  shop_box->setTitle(translated(status::shop_caption(p)));
  const QString rank = translated(status::rank_title(status::upgrade_count(p)));
  if (rank != rank_l->text()) {
    rank_l->setText(rank);
    fit_rank_title();
  }
}

void TForm1::cgMouseMove(int x) { give(Input::move(x)); }
void TForm1::cgMouseDown(MouseButton button) { give(Input::down(button)); }
namespace {

// A save worth keeping: more than a new game has (a stage reached, gold).
bool holds_progress(const Profile& p) { return p.stage > 0 || p.gold > 0; }

}  // namespace

void TForm1::Button1Click() {
  const Profile& p = g_.profile;
  if (!holds_progress(p)) {
    give(Input::click(Control::Button1));
    return;
  }
  // NEW START replaces the saved game at the next save or game over; one key
  // must not throw it away. The recording holds the click alone, once asked.
  const QString question =
      tr("新しいゲームを始めると、セーブデータ（STAGE %1 / GOLD > %2円）は次のセーブかゲームオーバーで置き換わります。"
         "始めますか？")
          .arg(p.stage)
          .arg(p.gold);
  open_box([this, question] {
    if (options_.dialogs->ask(question)) give(Input::click(Control::Button1));
  });
}
void TForm1::Button4Click() { give(Input::click(Control::Button4)); }
void TForm1::Button5Click() { give(Input::click(Control::Button5)); }
void TForm1::Button6Click() { give(Input::click(Control::Button6)); }
void TForm1::Button8Click() { give(Input::click(Control::Button8)); }
void TForm1::Button9Click() { give(Input::click(Control::Button9)); }
void TForm1::Button10Click() { give(Input::click(Control::Button10)); }
void TForm1::shop_click(shop::Item item) { give(Input::click(item_control(item))); }

bool TForm1::save_profile(const Profile& profile) {
  // A replay or a practice never touches the player's save.
  if (options_.replaying || practising()) return true;
  std::optional<FileError> err;
  if (!options_.cannot_save.empty()) {
    err = FileError{Text(options_.cannot_save.c_str())};
  } else {
    err = quillot::save_profile(save_path(), profile);
  }
  if (!err) return true;
  record_failure(Recording::Line::Kind::SaveFailed);
  report(*err);
  return false;
}

void TForm1::play_music(const std::string& name) {
  track_ = name;
  options_.music->play_music(name);
}

void TForm1::show_shop() {
  if (practising()) return practice_->stage_over(true);
  show_screen(Screen::Shop);
  enable_save();
}

void TForm1::show_title() {
  if (practising()) return practice_->stage_over(false);
  show_screen(Screen::Title);
}
void TForm1::stop_timer() {
  Timer1.stop();
  if (paused_) options_.music->set_ducked(false);
  paused_ = false;
  update_pointer();
}
void TForm1::start_timer() {
  Timer1.start();
  update_pointer();
}
void TForm1::set_enemy_count(int32_t count) { Label1->setText(QString::number(count)); }

void TForm1::present() {
  cg_.copy_from(bak_);
  cg_view->update();
}

void TForm1::sound(Sound sound) {
  if (practising()) practice_->heard(sound);
  options_.music->play_effect(sound);
}

void TForm1::repaint_now() {
  cg_view->repaint();
  // Long enough for the screen to show each flash frame.
  QThread::msleep(16);
}

void TForm1::show_screen(Screen screen) {
  start_box->setVisible(screen == Screen::Title);
  shop_box->setVisible(screen == Screen::Shop);
  story_box->setVisible(screen == Screen::Story);
  if (rank_fit_due_ && screen == Screen::Shop) fit_rank_title();
  if (screen == Screen::None) cg_view->update();
  update_pointer();
  focus_screen();
}

void TForm1::focus_screen() {
  switch (screen()) {
    case Screen::Title:
      // With a saved game worth keeping, CONTINUE is the likely wish.
      return menu_->enter(Screen::Title, holds_progress(g_.profile) ? Button4 : Button1);
    case Screen::Shop:
      return menu_->enter(Screen::Shop, Button5);
    case Screen::Story:
      // NEXT lies under the question while it is asked.
      if (select_box->isHidden()) {
        menu_->set_order(Screen::Story, {Button8});
        return menu_->enter(Screen::Story, Button8);
      }
      menu_->set_order(Screen::Story, {Button9, Button10});
      return menu_->enter(Screen::Story, Button9);
    case Screen::None:
      break;
  }
  menu_->enter(Screen::None, nullptr);
}

void TForm1::enable_save() { item_button(shop::Item::a9)->setEnabled(true); }
void TForm1::disable_save() { item_button(shop::Item::a9)->setEnabled(false); }

void TForm1::message(const Text& text) {
  open_box([this, shown = translated(text)] { options_.dialogs->message(shown); });
}

void TForm1::set_story_text(const std::string& bytes) { story_l->setText(shown_bytes(bytes)); }

bool TForm1::load_story_picture(const std::string& bytes) {
  const std::string name = cp932_to_utf8(bytes);
  QImage picture;
  const auto err = is_plain_file_name(name) ? load_picture(path("cg/" + name), picture)
                                            : std::optional<FileError>(FileError{kFileNotFound});
  if (err) {
    record_failure(Recording::Line::Kind::PictureFailed);
    report(*err);
    return false;
  }
  story_pic->setPixmap(QPixmap::fromImage(picture));
  return true;
}

void TForm1::set_story_name(const std::string& bytes) { name_l->setText(shown_bytes(bytes)); }
void TForm1::set_story_about(const std::string& bytes) { about_l->setText(shown_bytes(bytes)); }
void TForm1::set_choice_visible(bool visible) {
  select_box->setVisible(visible);
  if (screen() == Screen::Story) focus_screen();
}

}  // namespace quillot
