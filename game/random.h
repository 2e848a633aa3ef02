#pragma once
#include <cstdint>

namespace quillot {

// The game's one random generator. Every draw is part of the game's rules:
// replays and tests depend on the exact sequence, so nothing may draw a number
// that the rules do not name.
struct Random {
  uint32_t seed = 0;

  // A uniform integer 0 .. n-1, n taken as unsigned 32 bits; Random(0) = 0.
  // The seed moves on for every call, Random(0) included.
  int32_t operator()(int32_t n) {
    seed = seed * 134775813u + 1u;
    return static_cast<int32_t>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(n)) >> 32);
  }

  // The start-up seed: milliseconds since midnight.
  static uint32_t seed_from_time(int hours, int minutes, int seconds, int milliseconds) {
    return static_cast<uint32_t>(((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds);
  }
};

}  // namespace quillot
