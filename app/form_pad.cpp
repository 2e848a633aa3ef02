// Gamepads in the main window: a pad's buttons and stick become the same
// commands as the keys, through the same held-key play, so that a pad game is
// recorded and replayed exactly as a keyboard one.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <utility>

#include "app/form.h"

namespace quillot {

namespace {

// A quarter of the stick's travel: worn sticks rest a little off centre.
constexpr int kDeadZone = 32768 / 4;

int stick_direction(int value) { return value < -kDeadZone ? -1 : value > kDeadZone ? 1 : 0; }

uint32_t bit(PadButton b) { return uint32_t{1} << static_cast<unsigned>(b); }

}  // namespace

void TForm1::set_bindings(const Bindings& bindings) {
  options_.bindings = bindings;
  keys_.release_all();
  if (options_.remember_settings) save_bindings(bindings);
}

void TForm1::start_gamepads() {
  if (pads_ != nullptr || options_.replaying) return;
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
  for (const PadEvent& e : pads_->poll()) pad_event(e);
  const int interval = pads_->count() > 0 ? kPadPollMs : kPadIdlePollMs;
  if (pad_timer_.interval() != interval) pad_timer_.setInterval(interval);
}

void TForm1::pad_event(const PadEvent& e) {
  switch (e.kind) {
    case PadEvent::Kind::Added:
      pad_held_[e.pad] = {};
      return;
    case PadEvent::Kind::Removed:
      pad_held_.erase(e.pad);
      sync_pad_held();
      // A pad lost in play would leave the bird to its fate.
      set_paused(true);
      return;
    case PadEvent::Kind::Stick: {
      PadHeld& h = pad_held_[e.pad];
      int& axis = e.vertical ? h.stick_y : h.stick_x;
      const int was = axis;
      axis = stick_direction(e.value);
      if (axis != was && axis != 0 && !pads_away_ && screen() != Screen::None) {
        pad_on_screen(e.vertical ? (axis < 0 ? PadButton::Up : PadButton::Down)
                                 : (axis < 0 ? PadButton::Left : PadButton::Right));
      }
      sync_pad_held();
      return;
    }
    case PadEvent::Kind::Button:
      break;
  }
  PadHeld& h = pad_held_[e.pad];
  if (e.down) {
    h.buttons |= bit(e.button);
  } else {
    h.buttons &= ~bit(e.button);
  }
  sync_pad_held();
  if (!e.down || pads_away_) return;
  if (pad_capture_ && std::exchange(pad_capture_, nullptr)(e.button)) return;
  // A message box waits for its OK: any button a player would try gives it.
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
    box->close();
    return;
  }
  // Another window of the game (the options) has the pad to itself.
  if (QApplication::activeModalWidget() != nullptr) return;
  if (screen() != Screen::None) return pad_on_screen(e.button);
  const auto action = options_.bindings.pad_action(e.button);
  if (!action || *action == Action::Left || *action == Action::Right) return;
  command(command_of(*action), KeyboardPlay::Source::Pad);
}

void TForm1::sync_pad_held() {
  bool left = false, right = false, fire = false;
  if (!pads_away_ && !paused_) {
    const Bindings& b = options_.bindings;
    for (const auto& [pad, h] : pad_held_) {
      for (size_t i = 0; i < kPadButtonCount; ++i) {
        if ((h.buttons & (uint32_t{1} << i)) == 0) continue;
        const auto action = b.pad_action(static_cast<PadButton>(i));
        left = left || action == Action::Left;
        right = right || action == Action::Right;
        fire = fire || action == Action::Fire;
      }
      left = left || h.stick_x < 0;
      right = right || h.stick_x > 0;
    }
  }
  using Key = KeyboardPlay::Key;
  constexpr auto pad = KeyboardPlay::Source::Pad;
  for (const auto& [key, want] : {std::pair{Key::Left, left}, {Key::Right, right}, {Key::Fire, fire}}) {
    // Fire goes down only through its button's press, which also shoots.
    if (want && !keys_.held(key, pad) && key != Key::Fire) keys_.press(key, pad);
    if (!want && keys_.held(key, pad)) keys_.release(key, pad);
  }
}

// On the title, shop and story screens the pad moves the same focus as the
// keys: up and left to the previous button, down and right to the next; the
// fire button presses the focused one and the bomb button answers no.
void TForm1::pad_on_screen(PadButton button) {
  // A box or the options window over the screen has the pad to itself.
  if (QApplication::activeModalWidget() != nullptr) return;
  switch (button) {
    case PadButton::Up:
    case PadButton::Left:
    case PadButton::Down:
    case PadButton::Right:
      menu_->move(button == PadButton::Down || button == PadButton::Right);
      // A window that is not active gets no focus-in event to move the ring by.
      menu_->update_ring();
      return;
    default:
      break;
  }
  const auto action = options_.bindings.pad_action(button);
  if (!action || *action == Action::Left || *action == Action::Right) return;
  // Fire and bomb press buttons here; the rest (the help, the sound) do what
  // their keys do.
  if (*action != Action::Fire && *action != Action::Bomb)
    return command(command_of(*action), KeyboardPlay::Source::Pad);
  QPushButton* pressed = nullptr;
  if (action == Action::Fire) pressed = qobject_cast<QPushButton*>(focusWidget());
  if (action == Action::Bomb && screen() == Screen::Story) pressed = Button10;
  // Through the widget, as a click: a hidden or disabled button takes nothing.
  if (pressed != nullptr && pressed->isVisible() && pressed->isEnabled()) pressed->click();
}

}  // namespace quillot
