// Input in the main window: every key, pad event and playfield mouse event
// goes to the input router with where the window stands, and what it makes
// of them is carried out here: a game input, a step in a menu, a command.
// The pause and the pointer follow whether a stage takes input.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <utility>

#include "app/options/settings.h"
#include "app/window/dialogs.h"
#include "app/window/form.h"

namespace quillot {

bool TForm1::stage_running() const { return Timer1.isActive() && screen() == Screen::None; }

void TForm1::set_paused(bool paused) {
  // A replay is paced by its own clock and does not stop for this one.
  paused = paused && stage_running() && !options_.replaying;
  if (paused == paused_) return;
  paused_ = paused;
  options_.music->set_ducked(paused);
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

InputContext TForm1::input_context() const {
  InputContext c;
  c.screen = screen();
  c.stage_running = stage_running();
  c.paused = paused_;
  c.replaying = options_.replaying;
  c.fullscreen = settings_.now().fullscreen;
  const QWidget* modal = QApplication::activeModalWidget();
  const bool box = qobject_cast<const QMessageBox*>(modal) != nullptr ||
                   (modal != nullptr && modal->property(kBoxProperty).toBool());
  c.front = box                ? InputContext::Front::Box
            : modal != nullptr ? InputContext::Front::Window
            : records_shown()  ? InputContext::Front::Records
                               : InputContext::Front::Main;
  c.capturing_pad = pad_capture_ && capture_owner_ != nullptr;
  c.pads_away = pads_away_;
  c.theatre = theatre_ != nullptr;
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
    case Routed::Kind::Theatre:
      return watch_command(r.theatre);
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
    case Action::Records:
      return show_records();
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
      switch (step) {
        case MenuStep::Previous:
        case MenuStep::Left:
          return type_key(Qt::Key_Backtab, Qt::ShiftModifier);
        case MenuStep::Next:
        case MenuStep::Right:
          return type_key(Qt::Key_Tab);
        case MenuStep::Press:
          return type_key(Qt::Key_Space);
        case MenuStep::Back:
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->close();
          else if (auto* help = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            help->reject();
          return;
      }
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
    case InputContext::Front::Records:
      return records_step(step);
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

void TForm1::set_bindings(const Bindings& bindings) {
  // Each change is written as what it changed, so what another game or the
  // player wrote meanwhile for the other actions stays.
  const Bindings was = std::exchange(options_.bindings, bindings);
  router_.release_all();
  settings_.also_write([was, bindings] { save_bindings(bindings, was); });
}

void TForm1::start_gamepads() {
  // A replay is driven by its file alone; the theatre's controls take pads.
  if (pads_ != nullptr || (options_.replaying && theatre_ == nullptr)) return;
  auto pads = std::make_unique<Gamepads>();
  const QString mappings = QFileInfo(settings_path()).absolutePath() + "/gamecontrollerdb.txt";
  if (!pads->start(QFile::encodeName(mappings).toStdString())) return;
  pads_ = std::move(pads);
  connect(&pad_timer_, &QTimer::timeout, this, [this] { poll_pads(); });
  pad_timer_.start(kPadIdlePollMs);
  poll_pads();
}

void TForm1::poll_pads() {
  if (pads_ == nullptr) return;
  for (const PadEvent& e : pads_->poll())
    for (const Routed& r : router_.pad_event(input_context(), e)) carry_out(r);
  const int interval = pads_->count() > 0 ? kPadPollMs : kPadIdlePollMs;
  if (pad_timer_.interval() != interval) pad_timer_.setInterval(interval);
}

}  // namespace quillot
