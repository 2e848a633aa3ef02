#pragma once
#include <cstdint>
#include <map>

#include "game/state.h"
#include "session/flow.h"
#include "session/replay.h"

namespace quillot {

// Practice: one stage played on its own, with the equipment of the saved
// game or of a recorded game where that stage began, and nothing kept after.

// The profile a practice of `stage` starts with: the equipment `from` holds,
// no score yet, and the best score `best` so that GAME OVER reads as in a
// game. The practice is its own game: whatever it scores stays in it.
Profile practice_profile(const Profile& from, int32_t stage, int32_t best);

// The practice stage starts: the bird placed as a new game places it, the
// stage in the profile set up as from the shop ("START!!!"), with the track
// of a stage played again.
void start_practice(Game& g, Shell& shell);

// Each stage a recorded game started, with the profile it started with (the
// first time, should it have been retried), found by replaying it without a
// window. A recording that leaves its game gives the stages up to there.
std::map<int32_t, Profile> stage_starts(const Recording& recording);

// What a practice came to, from the game as its last tick left it.
struct PracticeResult {
  bool cleared = false;
  int64_t ticks = 0;  // from the start until CLEAR!! or GAME OVER
  int32_t score = 0;
  int32_t gold = 0;  // earned, the time bonus included
};
PracticeResult practice_result(const Game& g, bool cleared, int64_t ticks, int32_t gold_at_start);

}  // namespace quillot
