#pragma once
#include <cstdint>

#include "game/state.h"

namespace quillot {

// A 64-bit fingerprint of everything a tick can change (the stories, read once
// at start-up, are left out). Replays compare it to find the first tick that
// plays differently.
uint64_t checksum(const Game& g);

}  // namespace quillot
