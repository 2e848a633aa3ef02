#include "shop/shop.h"

#include <algorithm>
#include <string_view>

namespace quillot::shop {
namespace {

constexpr char kNoMoney[] = QT_TRANSLATE_NOOP("quillot", "お金たりんち!");

struct ItemInfo {
  int64_t price;        // 0: the price follows a level
  const char* caption;  // %1 is the price
  const char* hint;
};
// Indexed by Item.
constexpr std::array<ItemInfo, 10> kItems = {{
    {1000, QT_TRANSLATE_NOOP("quillot", "スピードアップ(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "スピードを上げます。同時に弾の慣性も大きくなります。")},
    {0, QT_TRANSLATE_NOOP("quillot", "ＨＰ＋１(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "ＨＰを＋１させます。同時に自機の大きさも大きくなってしまいます。")},
    {0, QT_TRANSLATE_NOOP("quillot", "ＳＨＯＴ・ＬＶ(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "ショットの最大同時発射数を増やします")},
    {0, QT_TRANSLATE_NOOP("quillot", "ＳＨＯＴ・ＢＩＧＥＲ(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "ショットの大きさを大きくし、当たりやすくします")},
    {2000, QT_TRANSLATE_NOOP("quillot", "ＳＨＯＴ・SPEED(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "ショットのスピードをあげます")},
    {3000, QT_TRANSLATE_NOOP("quillot", "BIRD SMALLER(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "自機の大きさを小さくし、敵の攻撃に当たりにくくなります")},
    {300, QT_TRANSLATE_NOOP("quillot", "RANDOM SHOT(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "ショットの発射位置をズラし、当たりやすくします。")},
    {400, QT_TRANSLATE_NOOP("quillot", "BOMB(%1円)"),
     QT_TRANSLATE_NOOP("quillot", "ボムを１つ増やします。ボムは、敵の弾を金貨に変えることができます")},
    {100, QT_TRANSLATE_NOOP("quillot", "ＳＡＶＥ(%1円)"), QT_TRANSLATE_NOOP("quillot", "セーブします。")},
    {3000, QT_TRANSLATE_NOOP("quillot", "GURAD(%1円)"),
     QT_TRANSLATE_NOOP("quillot",
                       "バリアを張ります。敵の弾の攻撃を１回だけ防ぎますが、敵本体との接触は防げません。")},
}};
const ItemInfo& info(Item item) { return kItems[static_cast<size_t>(item)]; }

std::string num(int64_t v) { return std::to_string(v); }

// The level-based prices rise from the value a new game starts with. A level below that start
// value never arises in play (the hit penalties stop there), so pricing it as the start value
// keeps an edited save file from making an upgrade free or paying the player to take it, the
// same way the hit-point price already treats hp below 3.
int64_t level_price(int64_t base, int64_t step, int32_t level, int32_t start) {
  return base + std::max<int64_t>(0, int64_t{level} - start) * step;
}

}  // namespace

int64_t hp_price(const Profile& p) { return level_price(500, 300, p.hp, 3); }
int64_t shot_lv_price(const Profile& p) { return level_price(700, 300, p.shot_lv, 3); }
int64_t shot_big_price(const Profile& p) { return level_price(600, 200, p.shot_big, 2); }

int64_t price(Item item, const Profile& p) {
  switch (item) {
    case Item::a2:
      return hp_price(p);
    case Item::a3:
      return shot_lv_price(p);
    case Item::a4:
      return shot_big_price(p);
    default:
      return info(item).price;
  }
}

bool offered(Item item, const Profile& p) {
  switch (item) {
    case Item::a1:
      return p.speed <= 20;
    case Item::a2:
      return p.hp <= 10;
    case Item::a3:
      return p.shot_lv <= 10;
    case Item::a4:
      return p.shot_big <= 20;
    case Item::a5:
      return p.shot_speed <= 15;
    case Item::a6:
      return p.bird > 5;
    case Item::a7:
      return p.rnd_shot < 20;
    case Item::a8:
      return p.bomb < 10;
    case Item::a9:
      return true;
    case Item::a10:
      return p.guard != 1;
  }
  return false;
}

bool enabled(Item item, const Profile& p) { return offered(item, p) && p.gold >= price(item, p); }

Text caption(Item item, const Profile& p) { return {info(item).caption, {num(price(item, p))}}; }

const char* hint(Item item) { return info(item).hint; }

Purchase buy(Item item, Profile& p, const SaveFn& save) {
  Purchase out;
  const int64_t cost = price(item, p);
  if (p.gold < cost) {
    out.messages.emplace_back(kNoMoney);
    return out;
  }
  // Every price is positive and at most the gold, so the difference fits and gold only falls.
  p.gold = static_cast<int32_t>(p.gold - cost);
  out.bought = true;

  // The fields wrap like every 32-bit counter of the game; only an enabled button keeps them
  // inside their limits. Each step gives its old and new value to the message.
  auto step = [](int32_t& field, int32_t by) {
    const int32_t old = field;
    field += by;
    return std::vector<std::string>{num(old), num(field)};
  };
  auto say = [&out](const char* wording, std::vector<std::string> values = {}) {
    out.messages.emplace_back(wording, std::move(values));
  };
  switch (item) {
    case Item::a1:
      say(QT_TRANSLATE_NOOP("quillot", "スピードＵＰ\n\nSPEED %1→%2"), step(p.speed, 1));
      break;
    case Item::a2: {
      std::vector<std::string> values = step(p.hp, 1);
      for (std::string& v : step(p.bird, 1)) values.push_back(std::move(v));
      say(QT_TRANSLATE_NOOP("quillot", "ＨＰ・ＵＰ\n\nHP %1→%2\nBIRD %3mm.→%4mm."), values);
      break;
    }
    case Item::a3:
      say(QT_TRANSLATE_NOOP("quillot", "ＳＨＯＴ・ＬＶ\n\nSHOT-LV %1→%2"), step(p.shot_lv, 1));
      break;
    case Item::a4:
      say(QT_TRANSLATE_NOOP("quillot", "ＳＨＯＴ・ＢＩＧＥＲ\n\nSHOT-BIGER %1→%2"), step(p.shot_big, 1));
      break;
    case Item::a5:
      say(QT_TRANSLATE_NOOP("quillot", "ＳＨＯＴ・ＳＰＥＥＤ\n\nSHOT-SPEED %1→%2"), step(p.shot_speed, 1));
      break;
    case Item::a6:
      say(QT_TRANSLATE_NOOP("quillot", "ＢＩＲＤ・ＳＭＡＬＬＥＲ\n\nBIRD %1mm.→%2mm."), step(p.bird, -1));
      break;
    case Item::a7:
      say(QT_TRANSLATE_NOOP("quillot", "ＲＡＮＤＯＭ ＳＨＯＴ\n\nRND-SHOT %1→%2"), step(p.rnd_shot, 1));
      // Both boxes say "2WAY ON": that is how the game words the three-way one too.
      if (p.rnd_shot == 15) {
        say(QT_TRANSLATE_NOOP("quillot", "２ＷＡＹ！\n\n2WAY ON\nSHOT LV %1→%2"), step(p.shot_lv, p.shot_lv));
      } else if (p.rnd_shot == 20) {
        say(QT_TRANSLATE_NOOP("quillot", "３ＷＡＹ！\n\n2WAY ON\nSHOT LV %1→%2"),
            step(p.shot_lv, p.shot_lv / 2));
      }
      break;
    case Item::a8:
      say(QT_TRANSLATE_NOOP("quillot", "ＢＯＭＢ\n\nBOMB %1→%2"), step(p.bomb, 1));
      break;
    case Item::a9:
      if (save && save(p)) {
        out.saved = true;
        say(QT_TRANSLATE_NOOP("quillot", "ＳＡＶＥ完了!!"));
      }
      break;
    case Item::a10:
      p.guard = 1;
      say(QT_TRANSLATE_NOOP("quillot", "ガード\n\nGUARD ON"));
      break;
  }
  return out;
}

}  // namespace quillot::shop
