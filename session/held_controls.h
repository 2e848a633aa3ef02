#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "game/state.h"
#include "session/action.h"
#include "session/input.h"

namespace quillot {

// The left, right and fire that keys and pad buttons hold, turned into the
// inputs a mouse would give: asked before every frame tick, so what they do
// lands on ticks and replays exactly. The keyboard and the pads hold apart: a
// key let go leaves a pad's held direction held.
class HeldControls {
 public:
  // A held fire fires again every this many ticks: five shots a second, what
  // a quick finger clicks.
  static constexpr int kFireRepeatTicks = 4;
  enum class Source : uint8_t { Keys = 1, Pad = 2 };

  // Left, Right or Fire went down; any other action is not held. `in_play`:
  // a stage takes input now. True when the press fires at once: a fire that
  // went down on a menu or a box fires neither then nor later in the stage,
  // until it is let go and pressed again.
  bool press(Action action, Source from, bool in_play);
  void release(Action action, Source from);
  void release_all();
  void release_all(Source from);
  bool held(Action action) const;
  bool held(Action action, Source by) const;

  // Before a tick of play: a step toward the held direction (one step of the
  // bird's speed past it, so it stops when the direction is let go; nothing
  // when neither or both are held, or when it is already there) and a shot
  // while fire is held.
  std::vector<Input> before_tick(const Game& g);

 private:
  static size_t slot(Action a);
  std::array<uint8_t, 3> held_{};  // Left, Right, Fire: a bit for each Source holding it
  bool fire_waits_ = false;        // the held fire went down outside play
  int fire_ticks_ = 0;
};

}  // namespace quillot
