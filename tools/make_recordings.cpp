// Writes the recorded sessions that the test suite replays: a few scripted
// players go through the real stage flow, shop and stages without a window.
//
//   make_recordings STORY_FILE OUT_DIR
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/tick.h"
#include "session/replay.h"
#include "session/story_file.h"

namespace quillot {
namespace {

const Profile kNewGame = new_game_profile();

class Session {
 public:
  Session(const std::string& path, uint32_t seed, const Profile& profile,
          const std::array<StoryRec, kSlots>& stories)
      // In the first version, which every build reads: the scripted players
      // never meet a failing save or a missing picture.
      : g_(start(seed, profile, stories)), rec_(path, g_, 1) {}

  // A scripted player is held to what a real one could do.
  void input(const Input& in) {
    if (!input_possible(g_, shell_.state(), in)) std::abort();
    rec_.event(ticks_, in);
    apply_input(g_, shell_, in);
  }
  void tick() {
    Timer1Timer(g_, shell_.bak(), shell_);
    ++ticks_;
    rec_.after_tick(ticks_, g_);
  }
  void finish() {
    rec_.end(ticks_, g_);
    static const char* const screens[] = {"playing", "title", "shop", "story"};
    std::printf("%lld ticks, stage %d, score %d, gold %d, ends on %s\n", static_cast<long long>(ticks_),
                g_.profile.stage, g_.profile.score, g_.profile.gold,
                screens[static_cast<int>(shell_.screen())]);
  }

  // Chases the lowest enemy and shoots; bombs when bullets come close.
  void fight(int64_t max_ticks, bool shoot = true) {
    int32_t last_x = -1;
    for (int64_t n = 0; n < max_ticks && shell_.timer_running(); ++n) {
      const int32_t x = target_x();
      if (x != last_x) input(Input::move(x)), last_x = x;
      if (shoot && ticks_ % 2 == 0) input(Input::down(MouseButton::Left));
      if (shoot && g_.profile.bomb > 0 && bullets_close()) input(Input::down(MouseButton::Right));
      tick();
    }
  }

  const Game& game() const { return g_; }
  Screen screen() const { return shell_.screen(); }

 private:
  static Game start(uint32_t seed, const Profile& profile, const std::array<StoryRec, kSlots>& stories) {
    Game g;
    g.random.seed = seed;
    g.profile = profile;
    g.stories = stories;
    return g;
  }

  int32_t target_x() const {
    int32_t best = 200, best_y = -1;
    for (const EnemyRec& e : g_.enemies)
      if (e.kind >= 1 && e.kind <= 99 && e.y > best_y && e.x > 0 && e.x < 400) best = e.x, best_y = e.y;
    return best;
  }

  bool bullets_close() const {
    for (const BulletRec& b : g_.bullets)
      if (b.alive == 1 && b.y > 200 && b.y < 280 && std::abs(b.x - g_.player_x) < 30) return true;
    return false;
  }

  Game g_;
  HeadlessShell shell_;
  Recorder rec_;
  int64_t ticks_ = 0;
};

}  // namespace
}  // namespace quillot

int main(int argc, char** argv) {
  using namespace quillot;
  if (argc != 3) {
    std::fputs("usage: make_recordings STORY_FILE OUT_DIR\n", stderr);
    return 2;
  }
  std::array<StoryRec, kSlots> stories{};
  if (load_stories(argv[1], stories)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const std::string out = argv[2];

  {  // A new game: stage 0 cleared into the shop.
    Session s(out + "/clear_stage0.qrp", 20011, kNewGame, stories);
    s.input(Input::click(Control::Button1));
    s.fight(2000);
    s.finish();
  }
  {  // A lost game: a weak bird meets its own copies, then the title screen.
    Profile p = kNewGame;
    p.stage = 44;
    p.hp = 1;
    p.bomb = 0;
    Session s(out + "/lost_game.qrp", 4242, p, stories);
    s.input(Input::click(Control::Button4));
    s.input(Input::click(Control::Button6));
    s.fight(3000, false);
    s.finish();
  }
  {  // A shop visit: one of everything, SAVE, then on through a story.
    Profile p = kNewGame;
    p.stage = 3;
    p.gold = 30000;
    Session s(out + "/shop_visit.qrp", 777, p, stories);
    s.input(Input::click(Control::Button4));
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 7, 7, 2})
      s.input(Input::click(static_cast<Control>(static_cast<int>(Control::a1) + i - 1)));
    s.input(Input::click(Control::Button5));
    s.input(Input::click(Control::Button8));
    s.fight(400);
    s.finish();
  }
  {  // A story with a choice, answered "いいえ": one stage is skipped.
    Profile p = kNewGame;
    p.stage = 6;
    p.hi_score = 1500;
    Session s(out + "/story_no.qrp", 31337, p, stories);
    s.input(Input::click(Control::Button4));
    s.input(Input::click(Control::Button5));
    s.input(Input::click(Control::Button10));
    s.fight(2500);
    s.finish();
  }
  return 0;
}
