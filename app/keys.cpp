#include "app/keys.h"

namespace quillot {

const char* const kHelpText = QT_TRANSLATE_NOOP("quillot",
                                                "◆操作方法\r"
                                                "\r"
                                                "移動　　　マウス / ← → / A D\r"
                                                "ショット　左クリック / Z / Space\r"
                                                "ボム　　　右クリック / X\r"
                                                "\r"
                                                "一時停止　P / Pause / Esc（クリックで再開）\r"
                                                "音を消す　M\r"
                                                "音楽の音量　- / +\r"
                                                "効果音の音量　Shift+- / Shift++\r"
                                                "設定　　　F2\r"
                                                "画面の大きさ　Ctrl+1～Ctrl+4 / Ctrl+- / Ctrl++\r"
                                                "フルスクリーン　F11 / Alt+Enter（Escで戻る）\r"
                                                "この説明　F1\r"
                                                "終了　　　Ctrl+Q");

KeyAction key_action(int key, Qt::KeyboardModifiers modifiers) {
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
    case Qt::Key_P:
    case Qt::Key_Pause:
      return {KeyCommand::Pause};
    case Qt::Key_F1:
      return {KeyCommand::Help};
    case Qt::Key_F2:
      return {KeyCommand::Options};
    case Qt::Key_M:
      return {KeyCommand::Mute};
    case Qt::Key_Minus:
      return {KeyCommand::VolumeDown};
    case Qt::Key_Left:
    case Qt::Key_A:
      return {KeyCommand::Left};
    case Qt::Key_Right:
    case Qt::Key_D:
      return {KeyCommand::Right};
    case Qt::Key_Z:
    case Qt::Key_Space:
      return {KeyCommand::Fire};
    case Qt::Key_X:
      return {KeyCommand::Bomb};
    default:
      return plus ? KeyAction{KeyCommand::VolumeUp} : KeyAction{};
  }
}

void KeyboardPlay::press(Key key) {
  held_[static_cast<size_t>(key)] = true;
  if (key == Key::Fire) fire_ticks_ = 0;
}

void KeyboardPlay::release(Key key) { held_[static_cast<size_t>(key)] = false; }

void KeyboardPlay::release_all() { held_ = {}; }

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
