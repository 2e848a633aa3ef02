#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/state.h"
#include "session/input.h"

namespace quillot {

// Where a game recorded in the middle of a session starts: the whole state as
// the earlier games left it (what the seed, the profile and the stories cannot
// say: the fields' leftovers, the cursors, the frame count, the message) and
// the window's controls that decide which inputs can be given.
struct StartState {
  Game game;  // its seed, profile and stories are the recording's own lines
  bool choice_shown = true;
  bool save_enabled = true;
};

// The header line "state ..." for `g` and the window as `shown` stands; runs
// of zeros are written as "*N", as most of the tables are empty.
std::string format_state_line(const Game& g, const ScreenState& shown);
// Reads the words after "state"; false when they are not such a line.
bool parse_state_words(const std::vector<std::string_view>& words, StartState& out);

}  // namespace quillot
