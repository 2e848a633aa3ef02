#include "shop/status.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quillot::status {
namespace {

std::string marks(int32_t count) { return std::string(std::clamp(count, 0, kMaxMarks), '@'); }

int64_t above(int32_t value, int32_t start) { return std::max<int64_t>(0, int64_t{value} - start); }

struct Rank {
  int64_t from;
  std::string_view title;
};
constexpr std::array<Rank, 8> kRanks = {{
    {0, "普通のトリ"},
    {1, "戦うトリ"},
    {6, "Ｃ級バード"},
    {10, "Ｂ級バード"},
    {15, "Ａ級バード"},
    {20, "Ｓ級バード"},
    {25, "赤い鳥アルフレド"},
    {30, "ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ"},
}};

}  // namespace

int64_t upgrade_count(const Profile& p) {
  return above(p.speed, 3) + above(p.hp, 3) + above(p.shot_lv, 3) + above(p.shot_big, 2) +
         above(p.shot_speed, 10) + above(p.bomb, 3);
}

std::string rank_title(int64_t count) {
  std::string_view title = kRanks.front().title;
  for (const Rank& r : kRanks) {
    if (count >= r.from) title = r.title;
  }
  return std::string(title);
}

std::string status_panel(const Profile& p) {
  using std::to_string;
  std::string s = "◆YOUR STATUS\n\nHP> " + marks(p.hp) + "\n";
  s += "SPEED> " + to_string(p.speed) + "km/h\n\n";
  s += "SHOT-LV> " + to_string(p.shot_lv) + "\n";
  s += "SHOT-BIGER> " + to_string(p.shot_big) + "\n";
  s += "SHOT-SPEED> " + to_string(p.shot_speed) + "\n\n";
  s += "BIRD> " + to_string(p.bird) + "mm.\n";
  s += "RND-SHOT> " + to_string(p.rnd_shot) + "\n";
  s += "BOMB> " + marks(p.bomb) + "\n\n";
  s += "GOLD> " + to_string(p.gold) + "G.";
  return s;
}

std::string stage_label(const Profile& p) {
  return "YOUR HI-SCORE > " + std::to_string(p.hi_score) + "point";
}

std::string save_label(const Profile& p) {
  return "SAVE DATE > STAGE " + std::to_string(p.stage) + "\nGOLD > " + std::to_string(p.gold) + "円";
}

std::string shop_caption(const Profile& p) { return "STAGE > " + std::to_string(p.stage); }

}  // namespace quillot::status
