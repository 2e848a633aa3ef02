#pragma once
#include <Qt>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <optional>

#include "app/bindings.h"

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

// The window's own keys first, then the player's bindings. `scan` is the
// key's scan code, 0 where the platform gives none.
KeyAction key_action(const Bindings& bindings, int key, uint32_t scan, Qt::KeyboardModifiers modifiers);
KeyCommand command_of(Action action);

// The keys and pad buttons held for play, turned into the inputs a mouse
// would give. The window asks before every frame tick, so what they do lands
// on ticks and replays exactly. The keyboard and the pads hold apart: a key
// let go leaves a pad's held direction held.
class KeyboardPlay {
 public:
  // A held fire key fires again every this many ticks: five shots a second,
  // what a quick finger clicks.
  static constexpr int kFireRepeatTicks = 4;

  enum class Key : uint8_t { Left, Right, Fire };
  enum class Source : uint8_t { Keys = 1, Pad = 2 };
  // Pressing fire fires at once; the caller does that, this starts the repeat.
  void press(Key key, Source from = Source::Keys);
  void release(Key key, Source from = Source::Keys);
  // Keys held while the window loses the focus are released.
  void release_all() { held_ = {}; }
  void release_all(Source from);
  bool held(Key key) const { return held_[static_cast<size_t>(key)] != 0; }
  bool held(Key key, Source by) const {
    return (held_[static_cast<size_t>(key)] & static_cast<uint8_t>(by)) != 0;
  }

  // Where to steer before the next tick: one step of `speed` past the bird
  // while Left or Right alone is held, so the bird stops when the key is let
  // go; nothing when neither or both are held.
  std::optional<int32_t> steer_target(int32_t player_x, int32_t speed) const;
  // Before each tick: whether a held fire key fires again now.
  bool fire_again();

 private:
  std::array<uint8_t, 3> held_{};  // by Key, a bit for each Source holding it
  int fire_ticks_ = 0;
};

}  // namespace quillot
