#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "session/input.h"
#include "session/replay.h"
#include "session/run_store.h"

namespace quillot {

// Records every game of a session into a store, each into a file of its
// own: from the NEW START or CONTINUE that starts it to its GAME OVER, the
// end of the last stage or the window's closing. The window tells it what
// happens with the session's own tick count; the recording counts from its
// game's start. A folder that cannot be written or a full disk costs one
// line on stderr and that game's record, never the game.
class RunRecorder {
 public:
  // `now` gives the seconds since 1970 (tests give their own clock).
  RunRecorder(RunStore store, std::function<int64_t()> now);
  ~RunRecorder();
  RunRecorder(const RunRecorder&) = delete;
  RunRecorder& operator=(const RunRecorder&) = delete;

  // The language in use as a game starts ("ja" or "en"), asked then.
  std::function<std::string()> language;
  // An input the game is about to take, with the game and the window as
  // they stand before it: a NEW START or CONTINUE begins a recording.
  void input(int64_t tick, const Input& in, const Game& g, const ScreenState& shown);
  // The input was applied: NEXT after the last stage ends the game.
  void applied(int64_t tick, const Input& in, const Game& g);
  // A tick ran; `title` tells whether the title screen shows after it (the
  // game is over).
  void after_tick(int64_t tick, const Game& g, bool title);
  void outside(int64_t tick, Recording::Line::Kind answer);
  // The pace changed; remembered for the next game's start too.
  void speed(int64_t tick, int32_t percent);
  // The window closes: a game in progress ends here.
  void quit(int64_t tick, const Game& g);
  // A game started and ended by its owner rather than by the title's
  // buttons and the game's own end (a practice stage): `g` and `shown` as
  // they stand before its first input.
  void start(int64_t tick, const Game& g, const ScreenState& shown, int32_t first_stage);
  void end(int64_t tick, const Game& g, RunEnd how);

  bool recording() const { return recorder_ != nullptr; }
  RunStore& store() { return store_; }
  // Called with each finished game once the store holds it.
  std::function<void(const RunEntry&)> on_finished;

 private:
  void finish(int64_t tick, const Game& g, RunEnd end);
  void drop(const std::string& why);

  RunStore store_;
  std::function<int64_t()> now_;
  std::unique_ptr<Recorder> recorder_;
  RunEntry entry_;
  int64_t start_ = 0;  // the session's tick count at the game's start
  int32_t pace_ = 100;
};

}  // namespace quillot
