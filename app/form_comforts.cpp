// The main window's comforts around the game: scale and full screen, pause,
// the music's volume, keyboard play, the pointer and the help box. None of
// them is a game input, and none reaches the game's state except keyboard
// play, which goes through the same recorded inputs as the mouse.
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <algorithm>

#include "app/form.h"
#include "app/language.h"

namespace quillot {

namespace {

QRect screen_rect(const QWidget* w, bool available) {
  const QScreen* s = w->QWidget::screen();
  if (s == nullptr) s = QGuiApplication::primaryScreen();
  if (s == nullptr) return QRect(QPoint(), kClientSize);
  return available ? s->availableGeometry() : s->geometry();
}

}  // namespace

QRect TForm1::game_area() const {
  const QPoint offset = settings_.fullscreen ? centred_offset(size(), shown_scale_) : QPoint();
  return QRect(offset, kClientSize * shown_scale_);
}

int TForm1::scale_to_show() const {
  if (settings_.fullscreen) return largest_scale_fitting(screen_rect(this, false).size());
  // A remembered scale too big for today's screen shows at the largest
  // that fits, and is still remembered for a larger one.
  return std::clamp(settings_.scale, kMinScale, largest_window_scale(screen_rect(this, true)));
}

void TForm1::lay_out_window() {
  shown_scale_ = scale_to_show();
  if (settings_.fullscreen) {
    // A window manager's frame, measured while there is one to measure.
    if (isVisible() && !isFullScreen()) frame_offset_ = geometry().topLeft() - frameGeometry().topLeft();
    // Without a window manager a full-screen request leaves the window as it
    // was, so it is sized to the screen here.
    const QRect full = screen_rect(this, false);
    scaler_.apply(shown_scale_, centred_offset(full.size(), shown_scale_));
    setFixedSize(full.size());
    move(full.topLeft());
    setWindowState(windowState() | Qt::WindowFullScreen);
  } else {
    scaler_.apply(shown_scale_, QPoint());
    const bool leaving_full_screen = isFullScreen();
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    setFixedSize(kClientSize * shown_scale_);
    const QPoint place = window_position(shown_scale_, screen_rect(this, true));
    // Back from full screen the frame is not there yet, and move() would put
    // the window's inside where the frame's corner belongs.
    if (leaving_full_screen) {
      setGeometry(QRect(place + frame_offset_, size()));
    } else {
      move(place);
    }
  }
  fit_title_picture();
  QFont hint = font();
  hint.setPixelSize(12 * shown_scale_);
  QToolTip::setFont(hint);
  fit_rank_title();
  toast_->label()->hide();
  menu_->set_scale(shown_scale_);
  options_.dialogs->set_scale(shown_scale_);
  update();
}

void TForm1::fit_rank_title() {
  // Measuring the title loads its font; a hidden shop waits until it is shown.
  if (shop_box->isHidden()) {
    rank_fit_due_ = true;
    return;
  }
  rank_fit_due_ = false;
  const QRect base = scaler_.base_geometry(rank_l);
  if (base.isNull()) return;
  const int s = shown_scale_;
  const int right = (base.x() + base.width()) * s;
  // A pixel of room per scale step on each side, as the box has for its own title.
  const int needed = rank_l->fontMetrics().horizontalAdvance(rank_l->text()) + 2 * s;
  const int width = std::max(base.width() * s, needed);
  rank_l->setGeometry(right - width, base.y() * s, width, base.height() * s);
}

void TForm1::paintEvent(QPaintEvent*) {
  // In full screen the game lies centred on black.
  if (settings_.fullscreen) QPainter(this).fillRect(rect(), Qt::black);
}

void TForm1::set_scale(int scale) {
  scale = std::clamp(scale, kMinScale, kMaxScale);
  // A window bigger than the screen would hide the bird and the shop's last
  // row, and would come back so at every start.
  if (scale > largest_window_scale(screen_rect(this, true))) {
    toast_->show_text(tr("×%1 は画面に入りません").arg(scale), game_area(), shown_scale_);
    return;
  }
  settings_.scale = saved_.scale = scale;
  lay_out_window();
  remember();
}

void TForm1::set_fullscreen(bool on) {
  settings_.fullscreen = saved_.fullscreen = on;
  lay_out_window();
  remember();
}

void TForm1::set_volume(int percent, bool muted) {
  settings_.volume = saved_.volume = std::clamp(percent / 10 * 10, 0, Settings::kMaxVolume);
  settings_.muted = saved_.muted = muted;
  options_.music->set_volume(settings_.volume, settings_.muted);
  options_.music->set_effects_volume(settings_.effects_volume, settings_.muted);
  const QString text = settings_.muted ? tr("♪ ミュート") : tr("♪ 音楽 %1%").arg(settings_.volume);
  toast_->show_text(text, game_area(), shown_scale_);
  remember();
}

void TForm1::set_effects_volume(int percent) {
  settings_.effects_volume = saved_.effects_volume = std::clamp(percent / 10 * 10, 0, Settings::kMaxVolume);
  // A step is meant to be heard, as with the music's.
  settings_.muted = saved_.muted = false;
  options_.music->set_volume(settings_.volume, false);
  options_.music->set_effects_volume(settings_.effects_volume, false);
  toast_->show_text(tr("♪ 効果音 %1%").arg(settings_.effects_volume), game_area(), shown_scale_);
  remember();
}

void TForm1::reset_settings() {
  const Settings defaults;
  const QScreen* s = QWidget::screen();
  settings_.scale = saved_.scale = s != nullptr ? largest_window_scale(s->availableGeometry()) : 1;
  settings_.fullscreen = saved_.fullscreen = defaults.fullscreen;
  settings_.effects_volume = saved_.effects_volume = defaults.effects_volume;
  lay_out_window();
  set_volume(defaults.volume, defaults.muted);
  set_language(defaults.language);
}

void TForm1::set_language(Language language) {
  settings_.language = saved_.language = language;
  use_language(resolve_language(language));
  // The story screens in the new language from the next one on. A replay
  // plays the stories of its recording; a recording keeps those it began
  // with, which have the same screens and questions in every language.
  if (!options_.replaying) load_story_file();
  remember();
}

void TForm1::show_options() {
  if (options_window_ != nullptr) return;
  set_paused(true);
  options_window_ = new OptionsWindow(this);
  options_window_->open();
}

void TForm1::remember() {
  if (options_.remember_settings) save_settings(saved_);
}

bool TForm1::stage_running() const { return Timer1.isActive() && screen() == Screen::None; }

void TForm1::set_paused(bool paused) {
  // A replay is paced by its own clock and does not stop for this one.
  paused = paused && stage_running() && !options_.replaying;
  if (paused == paused_) return;
  paused_ = paused;
  if (paused) keys_.release_all();
  // A pad's direction still held when play resumes steers again.
  if (!paused) sync_pad_held();
  update_pointer();
  cg_view->update();
}

void TForm1::update_pointer() {
  const bool hide = stage_running() && !paused_;
  if (hide == pointer_hidden_) return;
  pointer_hidden_ = hide;
  if (hide) {
    cg_view->setCursor(Qt::BlankCursor);
  } else {
    cg_view->unsetCursor();
  }
}

void TForm1::show_help() {
  set_paused(true);
  options_.dialogs->message(help_text(options_.bindings).replace('\r', '\n'));
}

bool TForm1::keys_play() const { return screen() == Screen::None && !paused_; }

void TForm1::keys_before_tick() {
  if (!keys_play()) return;
  if (const auto target = keys_.steer_target(g_.player_x, g_.profile.speed)) {
    // A held key at an edge would otherwise record the same move every tick.
    if (clamp_target(*target, g_.profile.bird) != g_.target_x) cgMouseMove(*target);
  }
  if (keys_.fire_again()) cgMouseDown(MouseButton::Left);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  const KeyAction action =
      key_action(options_.bindings, event->key(), event->nativeScanCode(), event->modifiers());
  if (action.command == KeyCommand::None) return QWidget::keyPressEvent(event);
  // The keyboard's own repeat is no press: held keys act through the ticks.
  if (event->isAutoRepeat()) return;
  if (action.command == KeyCommand::Scale) return set_scale(action.scale);
  command(action.command, KeyboardPlay::Source::Keys);
}

void TForm1::command(KeyCommand c, KeyboardPlay::Source from) {
  switch (c) {
    case KeyCommand::ScaleUp:
      return set_scale(shown_scale_ + 1);
    case KeyCommand::ScaleDown:
      return set_scale(shown_scale_ - 1);
    case KeyCommand::FullScreen:
      return set_fullscreen(!settings_.fullscreen);
    case KeyCommand::Escape:
      if (stage_running() && !paused_) return set_paused(true);
      if (settings_.fullscreen) set_fullscreen(false);
      return;
    case KeyCommand::Pause:
      return set_paused(!paused_);
    case KeyCommand::Help:
      return show_help();
    case KeyCommand::Mute:
      return set_volume(settings_.volume, !settings_.muted);
    case KeyCommand::VolumeDown:
      return set_volume(settings_.volume - 10, false);
    case KeyCommand::VolumeUp:
      return set_volume(settings_.volume + 10, false);
    case KeyCommand::EffectsDown:
      return set_effects_volume(settings_.effects_volume - 10);
    case KeyCommand::EffectsUp:
      return set_effects_volume(settings_.effects_volume + 10);
    case KeyCommand::Options:
      return show_options();
    case KeyCommand::Left:
      return keys_.press(KeyboardPlay::Key::Left, from);
    case KeyCommand::Right:
      return keys_.press(KeyboardPlay::Key::Right, from);
    case KeyCommand::Fire:
      keys_.press(KeyboardPlay::Key::Fire, from);
      if (keys_play()) cgMouseDown(MouseButton::Left);
      return;
    case KeyCommand::Bomb:
      if (keys_play()) cgMouseDown(MouseButton::Right);
      return;
    case KeyCommand::Quit:
      close();
      return;
    case KeyCommand::Scale:
    case KeyCommand::None:
      return;
  }
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  // Whatever else went down meanwhile: Ctrl or Alt pressed while steering
  // must not keep the bird steering once the key is let go.
  const auto action = options_.bindings.key_action(event->key(), event->nativeScanCode());
  switch (action ? command_of(*action) : KeyCommand::None) {
    case KeyCommand::Left:
      return keys_.release(KeyboardPlay::Key::Left);
    case KeyCommand::Right:
      return keys_.release(KeyboardPlay::Key::Right);
    case KeyCommand::Fire:
      return keys_.release(KeyboardPlay::Key::Fire);
    default:
      return QWidget::keyReleaseEvent(event);
  }
}

void TForm1::focusOutEvent(QFocusEvent* event) {
  // A key let go elsewhere is never seen; a pad's buttons are polled.
  keys_.release_all(KeyboardPlay::Source::Keys);
  QWidget::focusOutEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange && isMinimized()) set_paused(true);
  if (event->type() == QEvent::LanguageChange) {
    retranslate();
    Timer2Timer();  // and the texts built from the profile
  }
  QWidget::changeEvent(event);
}

// Only a change from active to inactive pauses: a session that never had the
// focus (a display without a window manager) plays on.
void TForm1::application_state_changed(Qt::ApplicationState state) {
  if (app_state_ == Qt::ApplicationActive && state != Qt::ApplicationActive) {
    keys_.release_all();
    pads_away_ = true;
    set_paused(true);
  }
  if (state == Qt::ApplicationActive) pads_away_ = false;
  app_state_ = state;
}

}  // namespace quillot
