// The main window's comforts around the game: scale and full screen, pause,
// the music's volume, keyboard play, the pointer and the help box. None of
// them is a game input, and none reaches the game's state except keyboard
// play, which goes through the same recorded inputs as the mouse.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "app/window/form.h"
#include "app/options/language.h"
#include "app/options/options_window.h"

namespace quillot {

QRect TForm1::game_area() const {
  const QPoint offset = settings_.now().fullscreen ? centred_offset(size(), shown_scale_) : QPoint();
  return QRect(offset, kClientSize * shown_scale_);
}

int TForm1::scale_to_show() const {
  if (settings_.now().fullscreen) return largest_scale_fitting(screen_area(this, false).size());
  // A remembered scale too big for today's screen shows at the largest
  // that fits, and is still remembered for a larger one.
  return std::clamp(settings_.now().scale, kMinScale, largest_window_scale(this));
}

void TForm1::lay_out_window() {
  shown_scale_ = scale_to_show();
  if (settings_.now().fullscreen) {
    // A window manager's frame, measured while there is one to measure.
    if (isVisible() && !isFullScreen()) frame_offset_ = geometry().topLeft() - frameGeometry().topLeft();
    // Without a window manager a full-screen request leaves the window as it
    // was, so it is sized to the screen here.
    const QRect full = screen_area(this, false);
    scaler_.apply(shown_scale_, centred_offset(full.size(), shown_scale_));
    setFixedSize(full.size());
    move(full.topLeft());
    setWindowState(windowState() | Qt::WindowFullScreen);
  } else {
    scaler_.apply(shown_scale_, QPoint());
    const bool leaving_full_screen = isFullScreen();
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    setFixedSize(kClientSize * shown_scale_);
    const QPoint place = window_position(shown_scale_, screen_area(this, true));
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
  if (settings_.now().fullscreen) QPainter(this).fillRect(rect(), Qt::black);
}

void TForm1::set_scale(int scale) {
  scale = std::clamp(scale, kMinScale, kMaxScale);
  // A window bigger than the screen would hide the bird and the shop's last
  // row, and would come back so at every start.
  if (scale > largest_window_scale(this)) {
    toast_->show_text(tr("×%1 は画面に入りません").arg(scale), game_area(), shown_scale_);
    return;
  }
  settings_.set(&Settings::scale, scale);
  lay_out_window();
}

void TForm1::set_fullscreen(bool on) {
  settings_.set(&Settings::fullscreen, on);
  lay_out_window();
}

void TForm1::set_volume(int percent, bool muted) {
  settings_.set(&Settings::volume, std::clamp(percent / 10 * 10, 0, Settings::kMaxVolume));
  settings_.set(&Settings::muted, muted);
  options_.music->set_volume(settings_.now().volume, settings_.now().muted);
  options_.music->set_effects_volume(settings_.now().effects_volume, settings_.now().muted);
  const QString text = settings_.now().muted ? tr("♪ ミュート") : tr("♪ 音楽 %1%").arg(settings_.now().volume);
  toast_->show_text(text, game_area(), shown_scale_);
}

void TForm1::set_effects_volume(int percent) {
  settings_.set(&Settings::effects_volume, std::clamp(percent / 10 * 10, 0, Settings::kMaxVolume));
  // A step is meant to be heard, as with the music's.
  settings_.set(&Settings::muted, false);
  options_.music->set_volume(settings_.now().volume, false);
  options_.music->set_effects_volume(settings_.now().effects_volume, false);
  toast_->show_text(tr("♪ 効果音 %1%").arg(settings_.now().effects_volume), game_area(), shown_scale_);
}

void TForm1::reset_settings() {
  const Settings defaults;
  settings_.set(&Settings::scale, largest_window_scale(this));
  settings_.set(&Settings::fullscreen, defaults.fullscreen);
  settings_.set(&Settings::effects_volume, defaults.effects_volume);
  lay_out_window();
  set_volume(defaults.volume, defaults.muted);
  set_language(defaults.language);
}

void TForm1::set_language(Language language) {
  settings_.set(&Settings::language, language);
  use_language(resolve_language(language));
  // The story screens in the new language from the next one on. A replay
  // plays the stories of its recording; a recording keeps those it began
  // with, which have the same screens and questions in every language.
  if (!options_.replaying) load_story_file();
}

OptionsWindow* TForm1::options_window() const { return options_window_; }

void TForm1::show_options() {
  if (options_window_ != nullptr) return;
  set_paused(true);
  options_window_ = new OptionsWindow(this);
  options_window_->open();
}

bool TForm1::stage_running() const { return Timer1.isActive() && screen() == Screen::None; }

void TForm1::set_paused(bool paused) {
  // A replay is paced by its own clock and does not stop for this one.
  paused = paused && stage_running() && !options_.replaying;
  if (paused == paused_) return;
  paused_ = paused;
  if (paused) router_.release_all();
  // A pad's direction still held when play resumes steers again.
  if (!paused) router_.resync_pads(input_context());
  update_pointer();
  cg_view->update();
}

void TForm1::update_pointer() {
  const bool hide = InputRouter::play_taken(input_context());
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
  open_box([this] { options_.dialogs->message(help_text(options_.bindings).replace('\r', '\n')); });
}

InputContext TForm1::input_context() const {
  InputContext c;
  c.screen = screen();
  c.stage_running = stage_running();
  c.paused = paused_;
  c.replaying = options_.replaying;
  c.fullscreen = settings_.now().fullscreen;
  const QWidget* modal = QApplication::activeModalWidget();
  c.front = qobject_cast<const QMessageBox*>(modal) != nullptr ? InputContext::Front::Box
            : modal != nullptr                                 ? InputContext::Front::Window
                                                               : InputContext::Front::Main;
  c.capturing_pad = pad_capture_ && capture_owner_ != nullptr;
  c.pads_away = pads_away_;
  return c;
}

bool TForm1::event(QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return QWidget::event(event);
  route_key(static_cast<QKeyEvent*>(event));
  return true;
}

void TForm1::route_key(QKeyEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    if (!event->isAutoRepeat()) router_.key_release(event->key(), event->nativeScanCode());
    return;
  }
  carry_out(router_.key_press(input_context(), event->key(), event->nativeScanCode(), event->modifiers(),
                              event->isAutoRepeat()));
}

void TForm1::carry_out(const Routed& r) {
  switch (r.kind) {
    case Routed::Kind::Nothing:
      return;
    case Routed::Kind::Play:
      give(r.input);
      return;
    case Routed::Kind::Menu:
      return menu_step(r.step);
    case Routed::Kind::Window:
      return command(r.command);
    case Routed::Kind::Bind:
      if (pad_capture_) std::exchange(pad_capture_, nullptr)(r.button);
      return;
  }
}

void TForm1::command(Action action) {
  if (const int scale = scale_of(action)) return set_scale(scale);
  switch (action) {
    case Action::ScaleUp:
      return set_scale(shown_scale_ + 1);
    case Action::ScaleDown:
      return set_scale(shown_scale_ - 1);
    case Action::FullScreen:
      return set_fullscreen(!settings_.now().fullscreen);
    case Action::Escape:
      return set_fullscreen(false);
    case Action::Pause:
      return set_paused(!paused_);
    case Action::Help:
      return show_help();
    case Action::Mute:
      return set_volume(settings_.now().volume, !settings_.now().muted);
    case Action::VolumeDown:
      return set_volume(settings_.now().volume - 10, false);
    case Action::VolumeUp:
      return set_volume(settings_.now().volume + 10, false);
    case Action::EffectsDown:
      return set_effects_volume(settings_.now().effects_volume - 10);
    case Action::EffectsUp:
      return set_effects_volume(settings_.now().effects_volume + 10);
    case Action::Options:
      return show_options();
    case Action::Quit:
      close();
      return;
    default:
      return;  // play is the router's, through inputs
  }
}

namespace {

// A key as if typed, to the widget that has the keyboard focus.
void type_key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* to = QApplication::focusWidget();
  if (to == nullptr) to = QApplication::activeModalWidget();
  if (to == nullptr) return;
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(to, &press);
  if (QPointer<QWidget> still = to) {
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(still, &release);
  }
}

}  // namespace

void TForm1::menu_step(MenuStep step) {
  switch (input_context().front) {
    case InputContext::Front::Box:
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->close();
      return;
    case InputContext::Front::Window: {
      // The options window by pad, as by its keys: the cross moves between
      // its controls and changes the one in focus, the buttons press and close.
      const QWidget* focus = QApplication::focusWidget();
      const bool list = qobject_cast<const QAbstractItemView*>(focus) != nullptr;
      const bool choice = qobject_cast<const QComboBox*>(focus) != nullptr;
      switch (step) {
        case MenuStep::Previous:
          return type_key(list ? Qt::Key_Up : Qt::Key_Backtab, list ? Qt::NoModifier : Qt::ShiftModifier);
        case MenuStep::Next:
          return type_key(list ? Qt::Key_Down : Qt::Key_Tab);
        case MenuStep::Left:
          return type_key(choice || list ? Qt::Key_Up : Qt::Key_Left);
        case MenuStep::Right:
          return type_key(choice || list ? Qt::Key_Down : Qt::Key_Right);
        case MenuStep::Press:
          return type_key(list ? Qt::Key_Return : Qt::Key_Space);
        case MenuStep::Back:
          return type_key(Qt::Key_Escape);
      }
      return;
    }
    case InputContext::Front::Main:
      break;
  }
  switch (step) {
    case MenuStep::Previous:
    case MenuStep::Left:
    case MenuStep::Next:
    case MenuStep::Right:
      menu_->move(step == MenuStep::Next || step == MenuStep::Right);
      // A window that is not active gets no focus-in event to move the ring by.
      menu_->update_ring();
      return;
    case MenuStep::Press:
      return menu_->press();
    case MenuStep::Back:
      // いいえ, through its button, as a click: hidden, it takes nothing.
      if (screen() == Screen::Story && Button10->isVisibleTo(this) && Button10->isEnabled()) Button10->click();
      return;
  }
}

void TForm1::focusOutEvent(QFocusEvent* event) {
  // A key let go elsewhere is never seen; a pad's buttons are polled.
  router_.release_keys();
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
    router_.release_all();
    pads_away_ = true;
    set_paused(true);
  }
  if (state == Qt::ApplicationActive) pads_away_ = false;
  app_state_ = state;
}

}  // namespace quillot
