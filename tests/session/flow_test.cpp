#include "session/flow.h"

#include <gtest/gtest.h>

#include "fake_shell.h"
#include "game/rosters.h"

namespace quillot {
namespace {

using testing::FakeShell;
using Log = std::vector<std::string>;

// A profile in the shop after some stage, with upgrades bought.
Game in_shop(int32_t stage) {
  Game g;
  g.profile = Profile{500, 900, stage, 5, 16, 12, 4, 5, 3000, 3, 4, 7, 1};
  g.player_state = bird_state::kFlying;
  return g;
}

TEST(NewStart, ResetsEverythingButTheBestScoreAndStartsStageZero) {
  Game g = in_shop(9);
  g.retry_count = 2;
  FakeShell shell;
  new_start(g, shell);
  const Profile& p = g.profile;
  EXPECT_EQ(profile_values(p), (std::array<int32_t, 13>{0, 900, 0, 3, 18, 10, 2, 3, 0, 0, 3, 3, 0}));
  EXPECT_EQ(g.retry_count, 0);
  EXPECT_EQ(g.player_x, 200);
  EXPECT_EQ(g.player_y, 280);
  EXPECT_EQ(g.steer_enabled, 1);
  EXPECT_EQ(g.player_state, bird_state::kFlying);
  EXPECT_EQ(g.stage_time, 20);
  EXPECT_EQ(g.msg_phase, 0) << "no START!!! banner on a new game";
  EXPECT_EQ(shell.log, (Log{"screen none", "start"})) << "no music change, no blue fill";
}

TEST(Continue, OpensTheShopWithThreeBombsAndNoBird) {
  Game g = in_shop(9);
  FakeShell shell;
  continue_game(g, shell);
  EXPECT_EQ(g.profile.bomb, 3);
  EXPECT_EQ(g.profile.gold, 3000);
  EXPECT_EQ(g.player_state, bird_state::kNone);
  EXPECT_EQ(g.steer_enabled, 1);
  EXPECT_EQ(shell.log, (Log{"screen none", "screen shop", "music 6.mid", "enable save"}));
}

TEST(ShopNext, WithoutAStoryGoesStraightToTheNextStage) {
  Game g = in_shop(4);
  g.retry_count = 2;
  g.combo = 7;
  FakeShell shell;
  next_from_shop(g, shell);
  EXPECT_EQ(g.profile.stage, 5);
  EXPECT_EQ(g.retry_count, 0);
  EXPECT_EQ(g.msg_phase, 1);
  EXPECT_EQ(g.msg_text, "START!!!");
  EXPECT_EQ(g.stage_time, 5 * 2 + 20);
  EXPECT_EQ(shell.log, (Log{"screen none", "start"}));
}

TEST(ShopNext, WithAStoryShowsItWithOneOfTheStoryTracks) {
  Game g = in_shop(4);
  g.stories[4] = StoryRec{"text", "pic.bmp", "name", "about", "sel"};
  g.random.seed = 77;
  Random expected = g.random;
  const char* track = story_track(expected(6));
  FakeShell shell;
  next_from_shop(g, shell);
  EXPECT_EQ(g.profile.stage, 4) << "the stage starts from the story screen";
  EXPECT_EQ(shell.log, (Log{"screen none", std::string("music ") + track, "screen story", "text text",
                            "picture pic.bmp", "name name", "about about", "choice shown"}));
  EXPECT_EQ(g.random.seed, expected.seed);
}

TEST(ShopNext, EmptyStoryLinesLeaveTheirControlsAlone) {
  Game g = in_shop(4);
  g.stories[4] = StoryRec{"text", "", "", "", "SEL"};
  FakeShell shell;
  next_from_shop(g, shell);
  EXPECT_EQ(shell.log.back(), "choice hidden") << "only the exact word shows the choice";
  EXPECT_FALSE(shell.has("name "));
  for (const auto& e : shell.log) EXPECT_NE(e.rfind("picture", 0), 0u) << e;
}

TEST(ShopNext, AMissingPictureSkipsTheRestOfTheStoryScreen) {
  Game g = in_shop(4);
  g.stories[4] = StoryRec{"text", "gone.bmp", "name", "about", "sel"};
  FakeShell shell;
  shell.picture_ok = false;
  next_from_shop(g, shell);
  EXPECT_EQ(shell.log.back(), "picture gone.bmp");
}

TEST(ShopNext, RefusedFromTheLastStageOn) {
  for (int32_t stage : {46, 47, 2147483647}) {
    Game g = in_shop(stage);
    g.retry_count = 1;
    FakeShell shell;
    next_from_shop(g, shell);
    next_from_shop(g, shell);
    EXPECT_EQ(shell.log, (Log{std::string("message ") + kEndOfGameMessage,
                              std::string("message ") + kEndOfGameMessage}));
    EXPECT_EQ(g.profile.stage, stage);
    EXPECT_EQ(g.retry_count, 1);
  }
}

TEST(ShopNext, AStageOutsideTheStoryTableHasNoStory) {
  Game g = in_shop(-5);
  FakeShell shell;
  next_from_shop(g, shell);
  EXPECT_EQ(g.profile.stage, -4);
  EXPECT_FALSE(shell.has("screen story"));
}

TEST(Retry, TwiceBetweenNextsThenRefusedEvenAcrossGameOver) {
  Game g = in_shop(6);
  FakeShell shell;
  retry_from_shop(g, shell);
  EXPECT_EQ(shell.log, (Log{"screen none", "start", "music 7.mid"}));
  EXPECT_EQ(g.profile.stage, 6);
  EXPECT_EQ(g.msg_text, "reSTART!!!");
  EXPECT_EQ(g.retry_count, 1);
  EXPECT_EQ(g.player_state, bird_state::kFlying);
  // A lost game in between does not give the retries back.
  g.player_state = bird_state::kNone;
  retry_from_shop(g, shell);
  EXPECT_EQ(g.retry_count, 2);
  shell.log.clear();
  retry_from_shop(g, shell);
  EXPECT_EQ(shell.log, (Log{std::string("message ") + kNoMoreRetries}));
  EXPECT_EQ(g.retry_count, 2);
  // NEXT gives them back.
  next_from_shop(g, shell);
  EXPECT_EQ(g.retry_count, 0);
}

TEST(StoryButtons, YesGoesOnNoSkipsAStage) {
  Game g = in_shop(10);
  FakeShell shell;
  story_next(g, shell);
  EXPECT_EQ(g.profile.stage, 11);
  g.profile.stage = 10;
  story_no(g, shell);
  EXPECT_EQ(g.profile.stage, 12);
  EXPECT_EQ(g.msg_text, "START!!!");
}

TEST(StoryButtons, NoAfterStageFortyFiveReachesAnEmptyStage) {
  Game g = in_shop(45);
  FakeShell shell;
  story_no(g, shell);
  EXPECT_EQ(g.profile.stage, 47);
  EXPECT_EQ(g.stage_time, 114);
  for (const auto& e : g.enemies) EXPECT_EQ(e.kind, 0);
}

TEST(StartStage, FillsBothPicturesBlueAndStartsTheTimerLast) {
  Game g = in_shop(2);
  FakeShell shell;
  shell.bak_canvas.brush = 0x123456;
  start_stage(g, shell, 1);
  EXPECT_EQ(shell.bak_canvas.brush, kBlue);
  EXPECT_EQ(shell.cg_canvas.brush, kBlue);
  EXPECT_EQ(shell.log, (Log{"start"}));
}

TEST(StoryTrack, PicksOneOfSixInOrder) {
  const char* const expected[] = {"1.mid", "2.mid", "3.mid", "4.mid", "5.mid", "8.mid"};
  for (int i = 0; i < 6; ++i) EXPECT_STREQ(story_track(i), expected[i]);
}

}  // namespace
}  // namespace quillot
