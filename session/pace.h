#pragma once
#include <array>
#include <cstdint>

namespace quillot {

// The game's pace: 20 ticks a second, or, for a player who wants more time to
// react, a gentler pace where the ticks come further apart. The rules, the
// ticks and what they do stay the same; only the clock between them is slower.
constexpr int kTickMs = 50;
constexpr std::array<int32_t, 6> kSpeeds = {100, 90, 80, 70, 60, 50};

constexpr bool valid_speed(int32_t percent) {
  for (int32_t s : kSpeeds)
    if (s == percent) return true;
  return false;
}

// Milliseconds between ticks at `percent` of the normal pace.
constexpr int tick_interval_ms(int32_t percent) {
  return valid_speed(percent) ? kTickMs * 100 / percent : kTickMs;
}

}  // namespace quillot
