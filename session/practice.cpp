#include "session/practice.h"

#include <memory>

#include "game/messages.h"

namespace quillot {

Profile practice_profile(const Profile& from, int32_t stage, int32_t best) {
  Profile p = from;
  p.stage = stage;
  p.score = 0;
  p.hi_score = best;
  return p;
}

void start_practice(Game& g, Shell& shell) {
  shell.show_screen(Screen::None);
  g.player_x = 200;
  g.player_y = 280;
  g.steer_enabled = 1;
  g.retry_count = 0;
  g.combo = 1;
  start_stage(g, shell, 0);
  shell.play_music("7.mid");
}

std::map<int32_t, Profile> stage_starts(const Recording& recording) {
  std::map<int32_t, Profile> starts;
  auto g = std::make_unique<Game>();
  HeadlessShell shell;
  Replayer replayer(recording, *g, shell, [&shell] { return shell.state(); });
  replayer.start();
  bool running = shell.timer_running() && shell.screen() == Screen::None;
  for (;;) {
    const Replayer::Step step = replayer.step();
    if (step != Replayer::Step::Tick && step != Replayer::Step::Event && step != Replayer::Step::Checked &&
        step != Replayer::Step::Speed)
      break;
    const bool now = shell.timer_running() && shell.screen() == Screen::None;
    // A stage starts from a button: the frame timer comes on over the playfield.
    if (now && !running && step == Replayer::Step::Event) starts.try_emplace(g->profile.stage, g->profile);
    running = now;
  }
  return starts;
}

PracticeResult practice_result(const Game& g, bool cleared, int64_t ticks, int32_t gold_at_start) {
  // GAME OVER has already put the score aside, where its message reads it.
  return {cleared, ticks, cleared ? g.profile.score : g.last_score, g.profile.gold - gold_at_start};
}

}  // namespace quillot
