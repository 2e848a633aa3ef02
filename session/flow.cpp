#include "session/flow.h"

#include "game/enemies.h"
#include "game/messages.h"
#include "game/rosters.h"
#include "session/story_file.h"

namespace quillot {

const char* const kEndOfGameMessage = QT_TRANSLATE_NOOP(
    "quillot", "クリア！！！！\r\rこれ以上ステージはありません。\r見事クリアおめでとう！！すごいね！！");
const char* const kNoMoreRetries = QT_TRANSLATE_NOOP("quillot", "これ以上リトライできません");

const char* story_track(int32_t pick) {
  static const char* const tracks[] = {"1.mid", "2.mid", "3.mid", "4.mid", "5.mid", "8.mid"};
  return pick >= 0 && pick < 6 ? tracks[pick] : tracks[0];
}

void set_up_stage(Game& g, int32_t n) {
  set_stage_roster(g, n);
  spawn_roster(g);
}

void new_start(Game& g, Shell& shell) {
  Profile& p = g.profile;
  shell.show_screen(Screen::None);
  g.player_x = 200;
  g.player_y = 280;
  // Everything but the best score starts anew.
  const int32_t hi_score = p.hi_score;
  p = new_game_profile();
  p.hi_score = hi_score;
  g.steer_enabled = 1;
  g.retry_count = 0;
  shell.start_timer();
  set_up_stage(g, 0);
  shell.report(Happening::GameStarted, 0);
  shell.report(Happening::StageStarted, p.stage);
}

void continue_game(Game& g, Shell& shell) {
  shell.show_screen(Screen::None);
  g.player_x = 200;
  g.player_y = 280;
  g.player_state = bird_state::kNone;
  g.profile.bomb = 3;
  g.steer_enabled = 1;
  shell.show_screen(Screen::Shop);
  shell.play_music("6.mid");
  shell.enable_save();
  shell.report(Happening::GameStarted, 0);
}

void next_from_shop(Game& g, Shell& shell) {
  if (g.profile.stage >= 46) {
    shell.message(kEndOfGameMessage);
    return;
  }
  g.retry_count = 0;
  g.combo = 1;
  shell.show_screen(Screen::None);
  const StoryRec* r = story_for_stage(g.stories, g.profile.stage);
  if (r == nullptr) {
    start_stage(g, shell, 1);
    return;
  }
  shell.play_music(story_track(g.random(6)));
  shell.sound(Sound::Page);
  shell.show_screen(Screen::Story);
  shell.set_story_text(r->text);
  // A picture that fails to load leaves the rest of the screen as it was.
  if (!r->picture.empty() && !shell.load_story_picture(r->picture)) return;
  if (!r->name.empty()) shell.set_story_name(r->name);
  if (!r->about.empty()) shell.set_story_about(r->about);
  shell.set_choice_visible(r->choice == "sel");
}

void retry_from_shop(Game& g, Shell& shell) {
  if (g.retry_count > 1) {
    shell.sound(Sound::Refused);
    shell.message(kNoMoreRetries);
    return;
  }
  shell.show_screen(Screen::None);
  shell.start_timer();
  g.player_state = bird_state::kFlying;
  set_up_stage(g, g.profile.stage);
  g.combo = 1;
  show_banner(g, "reSTART!!!");
  g.retry_count += 1;
  shell.play_music("7.mid");
  shell.report(Happening::RetryStarted, g.profile.stage);
  shell.report(Happening::StageStarted, g.profile.stage);
}

void story_next(Game& g, Shell& shell) {
  shell.sound(Sound::Page);
  shell.show_screen(Screen::None);
  start_stage(g, shell, 1);
}

void story_no(Game& g, Shell& shell) {
  shell.sound(Sound::Page);
  shell.show_screen(Screen::None);
  start_stage(g, shell, 2);
}

void start_stage(Game& g, Shell& shell, int32_t step) {
  g.player_state = bird_state::kFlying;
  g.profile.stage += step;
  set_up_stage(g, g.profile.stage);
  show_banner(g, "START!!!");
  shell.report(Happening::StageStarted, g.profile.stage);
  for (Canvas* c : {&shell.bak(), &shell.cg()}) {
    c->brush = kBlue;
    c->rectangle(0, 0, kWidth, kHeight);
  }
  shell.start_timer();
}

}  // namespace quillot
