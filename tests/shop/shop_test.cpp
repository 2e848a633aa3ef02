#include "shop/shop.h"

#include <gtest/gtest.h>

#include <climits>

namespace quillot::shop {
namespace {

using Texts = std::vector<std::string>;

// The messages as the player reads them in the source language.
Texts shown(const std::vector<Text>& messages) {
  Texts out;
  for (const Text& t : messages) out.push_back(t.str());
  return out;
}

Profile new_game(int32_t gold) {
  Profile p;
  p.speed = 3, p.bird = 18, p.shot_speed = 10, p.shot_big = 2, p.shot_lv = 3, p.hp = 3, p.bomb = 3;
  p.gold = gold;
  return p;
}

const SaveFn kNoSave = [](const Profile&) {
  ADD_FAILURE() << "only SAVE may write the file";
  return false;
};

TEST(Shop, LevelPrices) {
  struct Case {
    int32_t Profile::*field;
    int32_t value;
    Item item;
    int64_t price;
  };
  const Case cases[] = {
      {&Profile::hp, 1, Item::a2, 500},
      {&Profile::hp, 3, Item::a2, 500},
      {&Profile::hp, 4, Item::a2, 800},
      {&Profile::hp, 10, Item::a2, 2600},
      {&Profile::shot_lv, 4, Item::a3, 1000},
      {&Profile::shot_big, 3, Item::a4, 800},
      // Edited save files: out of any purse, or priced like a new game, never free.
      {&Profile::hp, INT32_MAX, Item::a2, 500 + (int64_t{INT32_MAX} - 3) * 300},
      {&Profile::shot_lv, -5, Item::a3, 700},
      {&Profile::shot_big, INT32_MIN, Item::a4, 600},
  };
  for (const Case& c : cases) {
    Profile p = new_game(0);
    p.*c.field = c.value;
    EXPECT_EQ(price(c.item, p), c.price) << c.value;
  }
}

TEST(Shop, OfferedUpToEachLimitAndWhileGoldReaches) {
  struct Case {
    Item item;
    int32_t Profile::*field;
    int32_t last_offered, first_withheld;
  };
  const Case cases[] = {
      {Item::a1, &Profile::speed, 20, 21},      {Item::a2, &Profile::hp, 10, 11},
      {Item::a3, &Profile::shot_lv, 10, 11},    {Item::a4, &Profile::shot_big, 20, 21},
      {Item::a5, &Profile::shot_speed, 15, 16}, {Item::a6, &Profile::bird, 6, 5},
      {Item::a7, &Profile::rnd_shot, 19, 20},   {Item::a8, &Profile::bomb, 9, 10},
      {Item::a10, &Profile::guard, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(caption(c.item, Profile{}).str());
    Profile p = new_game(0);
    p.*c.field = c.last_offered;
    p.gold = static_cast<int32_t>(price(c.item, p));
    EXPECT_TRUE(enabled(c.item, p));
    p.gold -= 1;
    EXPECT_FALSE(enabled(c.item, p));
    p.gold = INT32_MAX;
    p.*c.field = c.first_withheld;
    EXPECT_FALSE(enabled(c.item, p));
  }
}

TEST(Shop, BuyTakesThePriceAndReportsOldAndNew) {
  const std::pair<Item, const char*> cases[] = {
      {Item::a1, "スピードＵＰ\n\nSPEED 3→4"},
      {Item::a2, "ＨＰ・ＵＰ\n\nHP 3→4\nBIRD 18mm.→19mm."},
      {Item::a3, "ＳＨＯＴ・ＬＶ\n\nSHOT-LV 3→4"},
      {Item::a4, "ＳＨＯＴ・ＢＩＧＥＲ\n\nSHOT-BIGER 2→3"},
      {Item::a5, "ＳＨＯＴ・ＳＰＥＥＤ\n\nSHOT-SPEED 10→11"},
      {Item::a6, "ＢＩＲＤ・ＳＭＡＬＬＥＲ\n\nBIRD 18mm.→17mm."},
      {Item::a7, "ＲＡＮＤＯＭ ＳＨＯＴ\n\nRND-SHOT 0→1"},
      {Item::a8, "ＢＯＭＢ\n\nBOMB 3→4"},
      {Item::a10, "ガード\n\nGUARD ON"},
  };
  for (const auto& [item, message] : cases) {
    Profile p = new_game(5000);
    const int64_t cost = price(item, p);
    EXPECT_EQ(shown(buy(item, p, kNoSave).messages), Texts{message});
    EXPECT_EQ(p.gold, 5000 - cost);
    if (item == Item::a3) {
      EXPECT_EQ(caption(item, p).str(), "ＳＨＯＴ・ＬＶ(1000円)");
    }
    if (item == Item::a4) {
      EXPECT_EQ(caption(item, p).str(), "ＳＨＯＴ・ＢＩＧＥＲ(800円)");
    }
    if (item == Item::a10) {
      EXPECT_EQ(p.guard, 1);
    }
  }
}

TEST(Shop, RandomShotOpensTwoAndThreeWay) {
  struct Case {
    int32_t rnd_shot, shot_lv, new_shot_lv;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {14, 3, 6, "ＲＡＮＤＯＭ ＳＨＯＴ\n\nRND-SHOT 14→15", "２ＷＡＹ！\n\n2WAY ON\nSHOT LV 3→6"},
      {19, 6, 9, "ＲＡＮＤＯＭ ＳＨＯＴ\n\nRND-SHOT 19→20", "３ＷＡＹ！\n\n2WAY ON\nSHOT LV 6→9"},
      {19, 7, 10, "ＲＡＮＤＯＭ ＳＨＯＴ\n\nRND-SHOT 19→20", "３ＷＡＹ！\n\n2WAY ON\nSHOT LV 7→10"},
  };
  for (const Case& c : cases) {
    Profile p = new_game(300);
    p.rnd_shot = c.rnd_shot, p.shot_lv = c.shot_lv;
    EXPECT_EQ(shown(buy(Item::a7, p, kNoSave).messages), (Texts{c.first, c.second}));
    EXPECT_EQ(p.shot_lv, c.new_shot_lv);
  }
}

TEST(Shop, ShortOfMoneyChangesNothing) {
  for (Item item : kScreenOrder) {
    Profile p = new_game(0);
    p.gold = static_cast<int32_t>(price(item, p) - 1);
    const Profile before = p;
    const Purchase r = buy(item, p, kNoSave);
    EXPECT_FALSE(r.bought || r.saved);
    EXPECT_EQ(shown(r.messages), Texts{"お金たりんち!"});
    EXPECT_EQ(profile_values(p), profile_values(before));
  }
}

TEST(Shop, SaveWritesTheReducedGoldAndConfirmsOnlyOnSuccess) {
  Profile p = new_game(100);
  int32_t saved_gold = -1;
  Purchase r = buy(Item::a9, p, [&](const Profile& s) { return saved_gold = s.gold, true; });
  EXPECT_EQ(saved_gold, 0);
  EXPECT_TRUE(r.saved);
  EXPECT_EQ(shown(r.messages), Texts{"ＳＡＶＥ完了!!"});

  // A failed or missing save: the 100 yen stay spent, nothing is confirmed, SAVE stays buyable.
  for (const SaveFn& save : {SaveFn([](const Profile&) { return false; }), SaveFn()}) {
    p.gold = 250;
    r = buy(Item::a9, p, save);
    EXPECT_TRUE(r.bought && !r.saved && r.messages.empty());
    EXPECT_EQ(p.gold, 150);
    EXPECT_TRUE(enabled(Item::a9, p));
  }
}

TEST(Shop, EditedSaveNeverMakesABuyRaiseGoldOrComeFree) {
  for (int32_t v : {INT32_MIN, -300, -1, 0, 1, 2, 100000, INT32_MAX}) {
    for (int32_t gold : {INT32_MIN, -1, 0, 99, INT32_MAX}) {
      for (Item item : kScreenOrder) {
        Profile p;
        for (int32_t* f : profile_fields(p)) *f = v;
        p.gold = gold;
        const int64_t cost = price(item, p);
        ASSERT_GT(cost, 0) << v;
        const Purchase r = buy(item, p, [](const Profile&) { return true; });
        // Compared in 64 bits, so a wrapped gold would not match.
        EXPECT_EQ(p.gold, r.bought ? gold - cost : gold) << v << " " << gold;
      }
    }
  }
}

}  // namespace
}  // namespace quillot::shop
