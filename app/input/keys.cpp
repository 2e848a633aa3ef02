#include "app/input/keys.h"

namespace quillot {

std::optional<Action> key_action(const Bindings& bindings, int key, uint32_t scan,
                                 Qt::KeyboardModifiers modifiers) {
  // The keypad's keys count as the main ones.
  const Qt::KeyboardModifiers mods = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool alt = (mods & Qt::AltModifier) != 0;
  const bool plus = key == Qt::Key_Plus || key == Qt::Key_Equal;
  const bool minus = key == Qt::Key_Minus || key == Qt::Key_Underscore;
  if (ctrl) {
    if (key >= Qt::Key_1 && key <= Qt::Key_4)
      return static_cast<Action>(static_cast<int>(Action::Scale1) + key - Qt::Key_1);
    if (plus) return Action::ScaleUp;
    if (key == Qt::Key_Minus) return Action::ScaleDown;
    if (key == Qt::Key_Q) return Action::Quit;
    return std::nullopt;
  }
  if (alt) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return Action::FullScreen;
    return std::nullopt;
  }
  // Shift turns the music's steps into the effects' (Shift and - types an
  // underscore on most layouts).
  if ((mods & Qt::ShiftModifier) != 0) {
    if (minus) return Action::EffectsDown;
    if (plus) return Action::EffectsUp;
  }
  switch (key) {
    case Qt::Key_F11:
      return Action::FullScreen;
    case Qt::Key_Escape:
      return Action::Escape;
    case Qt::Key_F1:
      return Action::Help;
    case Qt::Key_F2:
      return Action::Options;
    default:
      break;
  }
  return bindings.key_action(key, scan);
}

}  // namespace quillot
