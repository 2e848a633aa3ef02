#pragma once
#include <cstdint>

#include "game/random.h"

namespace quillot::testing {

// The generator run backwards, so a test can choose what it draws: the seed
// whose next state is `next`, for seed := seed * 134775813 + 1.
inline uint32_t seed_before(uint32_t next) {
  uint32_t inverse = 134775813u;  // Newton's iteration for the inverse mod 2^32
  for (int i = 0; i < 5; ++i) inverse *= 2u - 134775813u * inverse;
  return (next - 1u) * inverse;
}

// Makes the generator's next state `next`: with next = 0xFFFFFFFF / n the next
// Random(n) is the last value still yielding 0, and next + 1 yields 1.
inline void set_next_seed(Random& r, uint32_t next) { r.seed = seed_before(next); }

// Makes the generator's state after `steps` more draws equal to 0, so that
// draw number `steps` yields 0 whatever its range.
inline void zero_at_draw(Random& r, int steps) {
  uint32_t s = 0;
  for (int i = 0; i < steps; ++i) s = seed_before(s);
  r.seed = s;
}

}  // namespace quillot::testing
