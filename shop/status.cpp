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
  const char* title;
};
constexpr std::array<Rank, 8> kRanks = {{
    {0, QT_TRANSLATE_NOOP("quillot", "普通のトリ")},
    {1, QT_TRANSLATE_NOOP("quillot", "戦うトリ")},
    {6, QT_TRANSLATE_NOOP("quillot", "Ｃ級バード")},
    {10, QT_TRANSLATE_NOOP("quillot", "Ｂ級バード")},
    {15, QT_TRANSLATE_NOOP("quillot", "Ａ級バード")},
    {20, QT_TRANSLATE_NOOP("quillot", "Ｓ級バード")},
    {25, QT_TRANSLATE_NOOP("quillot", "赤い鳥アルフレド")},
    {30, QT_TRANSLATE_NOOP("quillot", "ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ")},
}};

}  // namespace

int64_t upgrade_count(const Profile& p) {
  return above(p.speed, 3) + above(p.hp, 3) + above(p.shot_lv, 3) + above(p.shot_big, 2) +
         above(p.shot_speed, 10) + above(p.bomb, 3);
}

const char* rank_title(int64_t count) {
  const char* title = kRanks.front().title;
  for (const Rank& r : kRanks) {
    if (count >= r.from) title = r.title;
  }
  return title;
}

Text status_panel(const Profile& p) {
  using std::to_string;
  return {
      QT_TRANSLATE_NOOP("quillot",
                        "◆YOUR STATUS\n\nHP> %1\nSPEED> %2km/h\n\nSHOT-LV> %3\nSHOT-BIGER> %4\n"
                        "SHOT-SPEED> %5\n\nBIRD> %6mm.\nRND-SHOT> %7\nBOMB> %8\n\nGOLD> %9G."),
      {marks(p.hp), to_string(p.speed), to_string(p.shot_lv), to_string(p.shot_big), to_string(p.shot_speed),
       to_string(p.bird), to_string(p.rnd_shot), marks(p.bomb), to_string(p.gold)}};
}

Text stage_label(const Profile& p) {
  return {QT_TRANSLATE_NOOP("quillot", "YOUR HI-SCORE > %1point"), {std::to_string(p.hi_score)}};
}

Text save_label(const Profile& p) {
  return {QT_TRANSLATE_NOOP("quillot", "SAVE DATE > STAGE %1\nGOLD > %2円"),
          {std::to_string(p.stage), std::to_string(p.gold)}};
}

Text shop_caption(const Profile& p) {
  return {QT_TRANSLATE_NOOP("quillot", "STAGE > %1"), {std::to_string(p.stage)}};
}

}  // namespace quillot::status
