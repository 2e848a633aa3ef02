#include "shop/status.h"

#include <gtest/gtest.h>

#include <climits>

namespace quillot::status {
namespace {

Profile new_game() {
  Profile p;
  p.speed = 3, p.bird = 18, p.shot_speed = 10, p.shot_big = 2, p.shot_lv = 3, p.hp = 3, p.bomb = 3;
  return p;
}

TEST(Status, PanelOfANewGame) {
  EXPECT_EQ(status_panel(new_game()).str(),
            "◆YOUR STATUS\n\nHP> @@@\nSPEED> 3km/h\n\nSHOT-LV> 3\nSHOT-BIGER> 2\nSHOT-SPEED> 10\n\n"
            "BIRD> 18mm.\nRND-SHOT> 0\nBOMB> @@@\n\nGOLD> 0G.");
}

TEST(Status, MarkRowsStayWithinThePanel) {
  const std::pair<int32_t, size_t> cases[] = {
      {INT32_MIN, 0}, {0, 0}, {1, 1}, {kMaxMarks + 1, kMaxMarks}, {INT32_MAX, kMaxMarks}};
  for (const auto& [count, marks] : cases) {
    Profile p = new_game();
    p.hp = p.bomb = count;
    const std::string panel = status_panel(p).str();
    EXPECT_NE(panel.find("HP> " + std::string(marks, '@') + "\n"), std::string::npos) << count;
    EXPECT_NE(panel.find("BOMB> " + std::string(marks, '@') + "\n"), std::string::npos) << count;
  }
}

TEST(Status, RankTitles) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "普通のトリ"},
      {1, "戦うトリ"},
      {5, "戦うトリ"},
      {6, "Ｃ級バード"},
      {9, "Ｃ級バード"},
      {10, "Ｂ級バード"},
      {14, "Ｂ級バード"},
      {15, "Ａ級バード"},
      {19, "Ａ級バード"},
      {20, "Ｓ級バード"},
      {24, "Ｓ級バード"},
      {25, "赤い鳥アルフレド"},
      {29, "赤い鳥アルフレド"},
      {30, "ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ"},
      {100, "ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ"},
  };
  for (const auto& [count, title] : cases) EXPECT_STREQ(rank_title(count), title) << count;
}

TEST(Status, UpgradeCount) {
  Profile p = new_game();
  p.speed = 4;
  EXPECT_EQ(upgrade_count(p), 1);
  // All the shop sells, shot slots after both RANDOM SHOT steps; worn-down values count nothing.
  p.speed = 21, p.hp = 11, p.shot_lv = 33, p.shot_big = 21, p.shot_speed = 16, p.bomb = 10;
  EXPECT_EQ(upgrade_count(p), 88);
  p = new_game();
  p.hp = 1, p.speed = INT32_MIN;
  EXPECT_EQ(upgrade_count(p), 0);
  for (int32_t* f : profile_fields(p)) *f = INT32_MAX;
  EXPECT_EQ(upgrade_count(p), 6 * int64_t{INT32_MAX} - 24);
}

TEST(Status, TitleAndShopLabels) {
  Profile p = new_game();
  p.hi_score = 5230, p.stage = 12, p.gold = -7;
  EXPECT_EQ(stage_label(p).str(), "YOUR HI-SCORE > 5230point");
  EXPECT_EQ(save_label(p).str(), "SAVE DATE > STAGE 12\nGOLD > -7円");
  EXPECT_EQ(shop_caption(p).str(), "STAGE > 12");
}

}  // namespace
}  // namespace quillot::status
