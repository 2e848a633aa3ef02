#include "app/keys.h"

namespace quillot {

KeyAction key_action(const Bindings& bindings, int key, uint32_t scan, Qt::KeyboardModifiers modifiers) {
  // The keypad's keys count as the main ones.
  const Qt::KeyboardModifiers mods = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool alt = (mods & Qt::AltModifier) != 0;
  const bool plus = key == Qt::Key_Plus || key == Qt::Key_Equal;
  const bool minus = key == Qt::Key_Minus || key == Qt::Key_Underscore;
  if (ctrl) {
    if (key >= Qt::Key_1 && key <= Qt::Key_4) return {KeyCommand::Scale, key - Qt::Key_0};
    if (plus) return {KeyCommand::ScaleUp};
    if (key == Qt::Key_Minus) return {KeyCommand::ScaleDown};
    if (key == Qt::Key_Q) return {KeyCommand::Quit};
    return {};
  }
  if (alt) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return {KeyCommand::FullScreen};
    return {};
  }
  // Shift turns the music's steps into the effects' (Shift and - types an
  // underscore on most layouts).
  if ((mods & Qt::ShiftModifier) != 0) {
    if (minus) return {KeyCommand::EffectsDown};
    if (plus) return {KeyCommand::EffectsUp};
  }
  switch (key) {
    case Qt::Key_F11:
      return {KeyCommand::FullScreen};
    case Qt::Key_Escape:
      return {KeyCommand::Escape};
    case Qt::Key_F1:
      return {KeyCommand::Help};
    case Qt::Key_F2:
      return {KeyCommand::Options};
    default:
      break;
  }
  if (const auto action = bindings.key_action(key, scan)) return {command_of(*action)};
  return {};
}

KeyCommand command_of(Action action) {
  switch (action) {
    case Action::Left:
      return KeyCommand::Left;
    case Action::Right:
      return KeyCommand::Right;
    case Action::Fire:
      return KeyCommand::Fire;
    case Action::Bomb:
      return KeyCommand::Bomb;
    case Action::Pause:
      return KeyCommand::Pause;
    case Action::Help:
      return KeyCommand::Help;
    case Action::Mute:
      return KeyCommand::Mute;
    case Action::VolumeDown:
      return KeyCommand::VolumeDown;
    case Action::VolumeUp:
      return KeyCommand::VolumeUp;
  }
  return KeyCommand::None;
}

void KeyboardPlay::press(Key key, Source from) {
  held_[static_cast<size_t>(key)] |= static_cast<uint8_t>(from);
  if (key == Key::Fire) fire_ticks_ = 0;
}

void KeyboardPlay::release(Key key, Source from) {
  held_[static_cast<size_t>(key)] &= static_cast<uint8_t>(~static_cast<unsigned>(from));
}

void KeyboardPlay::release_all(Source from) {
  for (uint8_t& h : held_) h &= static_cast<uint8_t>(~static_cast<unsigned>(from));
}

std::optional<int32_t> KeyboardPlay::steer_target(int32_t player_x, int32_t speed) const {
  const bool left = held(Key::Left);
  if (left == held(Key::Right)) return std::nullopt;
  // Wrapping like the game's own sums: a hand-edited speed must not trap.
  const int64_t step = left ? -int64_t{speed} : int64_t{speed};
  return static_cast<int32_t>(static_cast<uint32_t>(int64_t{player_x} + step));
}

bool KeyboardPlay::fire_again() {
  if (!held(Key::Fire)) return false;
  if (++fire_ticks_ < kFireRepeatTicks) return false;
  fire_ticks_ = 0;
  return true;
}

}  // namespace quillot
