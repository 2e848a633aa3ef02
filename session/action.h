#pragma once
#include <cstddef>
#include <cstdint>

namespace quillot {

// Everything a key or a pad button can ask, from one table for both. The
// first kActionCount are the player's to bind; the rest belong to the
// window's own keys, fixed, so that a player can always find the help and a
// way out of full screen whatever they bound.
enum class Action : uint8_t {
  Left,
  Right,
  Fire,
  Bomb,
  Pause,  // pauses a stage in play, resumes a paused one
  Help,
  Mute,
  VolumeDown,
  VolumeUp,
  // The window's own.
  EffectsDown,
  EffectsUp,
  ScaleUp,
  ScaleDown,
  Scale1,
  Scale2,
  Scale3,
  Scale4,
  FullScreen,  // in and out
  Escape,      // leaves full screen
  Options,
  Quit,
  Records,  // the records screen, from the title
};
constexpr size_t kActionCount = 9;

// The window scale an action asks for; 0 for any other action.
constexpr int scale_of(Action a) {
  return a >= Action::Scale1 && a <= Action::Scale4 ? static_cast<int>(a) - static_cast<int>(Action::Scale1) + 1
                                                    : 0;
}

}  // namespace quillot
