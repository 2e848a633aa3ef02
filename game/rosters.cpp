#include "game/rosters.h"

#include <array>

namespace quillot {

namespace {

struct Group {
  int32_t kind = 0;  // 0 ends the stage's list
  int32_t count = 0;
};
using Roster = std::array<Group, 4>;

// clang-format off
constexpr std::array<Roster, kLastStage + 1> kStages{{
  /*  0 */ {{{1, 5}}},
  /*  1 */ {{{1, 3}, {2, 1}}},
  /*  2 */ {{{5, 1}}},
  /*  3 */ {{{6, 4}, {10, 4}, {11, 4}}},
  /*  4 */ {{{2, 5}}},
  /*  5 */ {{{2, 2}, {4, 2}, {6, 4}}},
  /*  6 */ {{{3, 1}, {6, 4}, {13, 2}}},
  /*  7 */ {{{19, 3}}},
  /*  8 */ {{{5, 2}, {6, 3}}},
  /*  9 */ {{{4, 3}, {13, 4}}},
  /* 10 */ {{{11, 5}, {13, 5}}},
  /* 11 */ {{{9, 3}, {10, 7}, {19, 2}}},
  /* 12 */ {{{10, 7}, {11, 7}, {13, 3}}},
  /* 13 */ {{{7, 1}, {20, 10}}},
  /* 14 */ {{{6, 5}, {7, 3}}},
  /* 15 */ {{{2, 2}, {3, 5}, {9, 1}, {13, 3}}},
  /* 16 */ {{{5, 3}, {13, 3}}},
  /* 17 */ {{{6, 6}}},
  /* 18 */ {{{4, 3}, {6, 4}, {8, 1}, {19, 2}}},
  /* 19 */ {{{5, 2}, {8, 1}, {10, 6}}},
  /* 20 */ {{{6, 3}, {7, 4}, {14, 3}}},
  /* 21 */ {{{6, 3}, {19, 4}}},
  /* 22 */ {{{8, 2}}},
  /* 23 */ {{{4, 4}, {6, 4}, {9, 4}}},
  /* 24 */ {{{4, 1}, {7, 2}, {14, 4}}},
  /* 25 */ {{{6, 4}, {12, 2}, {13, 3}, {14, 1}}},
  /* 26 */ {{{6, 6}, {9, 3}, {12, 3}}},
  /* 27 */ {{{6, 8}, {8, 1}, {10, 7}, {11, 7}}},
  /* 28 */ {{{6, 10}, {19, 5}}},
  /* 29 */ {{{6, 3}, {7, 2}, {16, 1}}},
  /* 30 */ {{{8, 3}}},
  /* 31 */ {{{7, 1}, {12, 2}}},
  /* 32 */ {{{2, 3}, {5, 2}, {6, 5}}},
  /* 33 */ {{{15, 8}}},
  /* 34 */ {{{13, 5}}},
  /* 35 */ {{{13, 4}, {14, 1}}},
  /* 36 */ {{{11, 4}, {12, 1}, {16, 3}}},
  /* 37 */ {{{4, 2}, {6, 4}, {8, 3}, {19, 1}}},
  /* 38 */ {{{12, 4}, {14, 2}}},
  /* 39 */ {{{2, 3}, {6, 4}, {7, 3}, {9, 2}}},
  /* 40 */ {{{8, 3}, {13, 3}, {14, 2}}},
  /* 41 */ {{{15, 6}, {20, 15}}},
  /* 42 */ {{{8, 3}, {9, 2}, {12, 4}, {14, 2}}},
  /* 43 */ {{{7, 3}, {9, 2}, {16, 4}}},
  /* 44 */ {{{17, 1}}},
  /* 45 */ {{{11, 6}, {12, 3}, {16, 2}, {17, 1}}},
  /* 46 */ {{{11, 6}, {12, 3}, {17, 2}, {18, 1}}},
}};
// clang-format on

}  // namespace

void set_stage_roster(Game& g, int32_t n) {
  for (EnemyRec& e : g.enemies) e.kind = 0;
  // The clock follows the stored stage, which every caller has just set to n.
  g.stage_time = g.profile.stage * 2 + 20;
  g.combo = 1;
  g.combo_timer = 1;
  g.roster.fill(0);

  const uint8_t stage = static_cast<uint8_t>(n);
  if (stage > kLastStage) return;
  for (const Group& group : kStages[stage])
    if (group.kind != 0) g.roster[static_cast<size_t>(group.kind)] = group.count;
}

int32_t roster_total(int32_t n) {
  if (n < 0 || n > kLastStage) return 0;
  int32_t total = 0;
  for (const Group& group : kStages[static_cast<size_t>(n)]) total += group.count;
  return total;
}

}  // namespace quillot
