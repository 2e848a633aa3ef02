#include "session/shop_actions.h"

#include <gtest/gtest.h>

#include <functional>

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

// Every click in the shop and on the story screen is heard: a sale, the guard,
// SAVE, a refusal; a failed save is told by its error box alone.
TEST(ShopClick, EachOutcomeHasItsSound) {
  using Click = std::function<void(Game&, Shell&)>;
  auto buy = [](shop::Item item) -> Click { return [item](Game& g, Shell& s) { shop_click(g, s, item); }; };
  const struct {
    const char* what;
    int32_t gold;
    bool save_ok;
    Click click;
    std::vector<Sound> heard;
  } cases[] = {
      {"a bomb bought", 1000, true, buy(shop::Item::a1), {Sound::Purchase}},
      {"the guard bought", 100000, true, buy(shop::Item::a10), {Sound::GuardOn}},
      {"too little gold", 0, true, buy(shop::Item::a1), {Sound::Refused}},
      {"saved", 100, true, buy(shop::Item::a9), {Sound::Saved}},
      {"the save failed", 100, false, buy(shop::Item::a9), {}},
      {"no retries left",
       0,
       true,
       [](Game& g, Shell& s) { g.retry_count = 2, retry_from_shop(g, s); },
       {Sound::Refused}},
      {"the story page turned", 0, true, story_next, {Sound::Page}},
  };
  for (const auto& c : cases) {
    Game g;
    g.profile.gold = c.gold;
    FakeShell shell;
    shell.save_ok = c.save_ok;
    c.click(g, shell);
    EXPECT_EQ(shell.sounds, c.heard) << c.what;
  }
}

}  // namespace
}  // namespace quillot
