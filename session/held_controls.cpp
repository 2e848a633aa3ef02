#include "session/held_controls.h"

#include "game/bird.h"

namespace quillot {

size_t HeldControls::slot(Action a) {
  switch (a) {
    case Action::Left:
      return 0;
    case Action::Right:
      return 1;
    case Action::Fire:
      return 2;
    default:
      return 3;
  }
}

bool HeldControls::press(Action action, Source from, bool in_play) {
  const size_t i = slot(action);
  if (i >= held_.size()) return false;
  held_[i] |= static_cast<uint8_t>(from);
  if (action != Action::Fire) return false;
  fire_waits_ = !in_play;
  fire_ticks_ = 0;
  return in_play;
}

void HeldControls::release(Action action, Source from) {
  const size_t i = slot(action);
  if (i >= held_.size()) return;
  held_[i] &= static_cast<uint8_t>(~static_cast<unsigned>(from));
  if (action == Action::Fire && held_[i] == 0) fire_waits_ = false;
}

void HeldControls::release_all() {
  held_ = {};
  fire_waits_ = false;
}

void HeldControls::release_all(Source from) {
  for (uint8_t& h : held_) h &= static_cast<uint8_t>(~static_cast<unsigned>(from));
  if (held_[slot(Action::Fire)] == 0) fire_waits_ = false;
}

bool HeldControls::held(Action action) const {
  const size_t i = slot(action);
  return i < held_.size() && held_[i] != 0;
}

bool HeldControls::held(Action action, Source by) const {
  const size_t i = slot(action);
  return i < held_.size() && (held_[i] & static_cast<uint8_t>(by)) != 0;
}

std::vector<Input> HeldControls::before_tick(const Game& g) {
  std::vector<Input> out;
  const bool left = held(Action::Left);
  if (left != held(Action::Right)) {
    // Wrapping like the game's own sums: a hand-edited speed must not trap.
    const int64_t step = left ? -int64_t{g.profile.speed} : int64_t{g.profile.speed};
    const auto target = static_cast<int32_t>(static_cast<uint32_t>(int64_t{g.player_x} + step));
    // A held key at an edge would otherwise record the same move every tick.
    if (clamp_target(target, g.profile.bird) != g.target_x) out.push_back(Input::move(target));
  }
  if (held(Action::Fire) && !fire_waits_ && ++fire_ticks_ >= kFireRepeatTicks) {
    fire_ticks_ = 0;
    out.push_back(Input::down(MouseButton::Left));
  }
  return out;
}

}  // namespace quillot
