#include "session/shop_actions.h"

#include <gtest/gtest.h>

#include "fake_shell.h"

namespace quillot {
namespace {

using testing::FakeShell;
using Log = std::vector<std::string>;

TEST(ShopClick, SaveWithExactlyOneHundredYenSavesNoGoldAndClosesTheItem) {
  Game g;
  g.profile.gold = 100;
  FakeShell shell;
  shop_click(g, shell, shop::Item::a9);
  EXPECT_EQ(g.profile.gold, 0);
  EXPECT_EQ(shell.log, (Log{"save", "message ＳＡＶＥ完了!!", "disable save"}));
}

TEST(ShopClick, AFailedSaveKeepsTheMoneySpentAndTheItemOpen) {
  Game g;
  g.profile.gold = 250;
  FakeShell shell;
  shell.save_ok = false;
  shop_click(g, shell, shop::Item::a9);
  EXPECT_EQ(g.profile.gold, 150);
  EXPECT_EQ(shell.log, (Log{"save"}));
}

TEST(ShopClick, RandomShotAtFourteenShowsBothBoxesInOrder) {
  Game g;
  g.profile.gold = 300;
  g.profile.rnd_shot = 14;
  g.profile.shot_lv = 3;
  FakeShell shell;
  shop_click(g, shell, shop::Item::a7);
  ASSERT_EQ(shell.log.size(), 2u);
  EXPECT_NE(shell.log[0].find("14→15"), std::string::npos) << shell.log[0];
  EXPECT_NE(shell.log[1].find("２ＷＡＹ！"), std::string::npos) << shell.log[1];
  EXPECT_NE(shell.log[1].find("3→6"), std::string::npos) << shell.log[1];
  EXPECT_EQ(g.profile.shot_lv, 6);
}

}  // namespace
}  // namespace quillot
