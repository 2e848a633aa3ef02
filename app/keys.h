#pragma once
#include <Qt>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <optional>

namespace quillot {

// What a key asks of the window. Scale, full screen, pause, help and sound
// belong to the window alone; Left, Right, Fire and Bomb play the game as the
// mouse would.
enum class KeyCommand : uint8_t {
  None,
  Scale,  // to KeyAction::scale
  ScaleUp,
  ScaleDown,
  FullScreen,
  Escape,
  Pause,
  Help,
  Mute,
  VolumeDown,
  VolumeUp,
  EffectsDown,
  EffectsUp,
  Options,
  Left,
  Right,
  Fire,
  Bomb,
  Quit,
};

struct KeyAction {
  KeyCommand command = KeyCommand::None;
  int scale = 0;
};

KeyAction key_action(int key, Qt::KeyboardModifiers modifiers);

// The keys, as the help box shows them (UTF-8, "\r" breaks the line), marked for translation.
extern const char* const kHelpText;

// The keys held for play, turned into the inputs a mouse would give. The
// window asks before every frame tick, so what the keys do lands on ticks
// and replays exactly.
class KeyboardPlay {
 public:
  // A held fire key fires again every this many ticks: five shots a second,
  // what a quick finger clicks.
  static constexpr int kFireRepeatTicks = 4;

  enum class Key : uint8_t { Left, Right, Fire };
  // Pressing fire fires at once; the caller does that, this starts the repeat.
  void press(Key key);
  void release(Key key);
  // Keys held while the window loses the focus are released.
  void release_all();
  bool held(Key key) const { return held_[static_cast<size_t>(key)]; }

  // Where to steer before the next tick: one step of `speed` past the bird
  // while Left or Right alone is held, so the bird stops when the key is let
  // go; nothing when neither or both are held.
  std::optional<int32_t> steer_target(int32_t player_x, int32_t speed) const;
  // Before each tick: whether a held fire key fires again now.
  bool fire_again();

 private:
  std::array<bool, 3> held_{};  // by Key
  int fire_ticks_ = 0;
};

}  // namespace quillot
