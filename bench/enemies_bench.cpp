// The enemy, coin and pop-up steps with every slot of their tables in use:
// the worst tick these steps can meet.
#include <benchmark/benchmark.h>

#include <array>

#include "game/coins.h"
#include "game/enemies.h"

namespace quillot {
namespace {

struct Tables {
  std::array<EnemyRec, kSlots> enemies{};
  std::array<CoinRec, kSlots> coins{};
  std::array<EffectRec, kSlots> effects{};
};

// Every enemy is of a kind that fires; coins are a mix of gold coins, X
// coins and catch pop-ups; every pop-up slot is showing.
Tables full_tables() {
  constexpr int32_t kFiring[] = {2, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18};
  Tables t;
  for (int32_t i = 0; i < kSlots; ++i) {
    const int32_t kind = kFiring[static_cast<size_t>(i) % std::size(kFiring)];
    t.enemies[static_cast<size_t>(i)] = {.x = (i * 37) % 400, .y = 30 + (i * 13) % 100, .vy = 2, .size = 12,
                                         .vx = i % 2 == 0 ? 5 : -5, .hp = 3, .kind = kind, .reward = 5};
    const int32_t coin_states[] = {1, 1, 20, 2 + i % 9};
    t.coins[static_cast<size_t>(i)] = {.x = (i * 53) % 400, .y = (i * 7) % 300, .value = 10, .vy = 1,
                                       .state = coin_states[i % 4]};
    t.effects[static_cast<size_t>(i)] = {.x = (i * 29) % 400, .y = 40 + (i * 11) % 250, .phase = 1 + i % 10,
                                         .points = i * 10};
  }
  return t;
}

Game full_game(const Tables& t) {
  Game g;
  g.random.seed = 20240601;
  g.player_x = 200;
  g.player_y = 280;
  g.profile.bird = 10;
  g.player_state = bird_state::kNone;  // nothing rams or catches, so the tables stay full
  g.combo = 6;
  g.enemies = t.enemies;
  g.coins = t.coins;
  g.effects = t.effects;
  return g;
}

// Restoring the tables keeps every slot live from tick to tick; its own cost
// is measured below so that it can be taken off.
void restore(Game& g, const Tables& t) {
  g.enemies = t.enemies;
  g.coins = t.coins;
  g.effects = t.effects;
}

void BM_EnemyCoinEffectTick(benchmark::State& state) {
  const Tables t = full_tables();
  Game g = full_game(t);
  NullCanvas bak;
  for (auto _ : state) {
    restore(g, t);
    g.frame_no = g.frame_no >= 9999 ? 0 : g.frame_no + 1;
    update_enemies(g, bak);
    coin_step(g, bak);
    effect_step(g, bak);
    benchmark::DoNotOptimize(g.bullets.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("items = ticks");
}
BENCHMARK(BM_EnemyCoinEffectTick);

template <void (*Step)(Game&, Canvas&)>
void BM_Step(benchmark::State& state) {
  const Tables t = full_tables();
  Game g = full_game(t);
  NullCanvas bak;
  for (auto _ : state) {
    restore(g, t);
    g.frame_no = g.frame_no >= 9999 ? 0 : g.frame_no + 1;
    Step(g, bak);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
// The steps that report sounds, with nobody listening.
void enemies_alone(Game& g, Canvas& bak) { update_enemies(g, bak); }
void coins_alone(Game& g, Canvas& bak) { coin_step(g, bak); }
BENCHMARK(BM_Step<enemies_alone>)->Name("BM_UpdateEnemies");
BENCHMARK(BM_Step<coins_alone>)->Name("BM_CoinStep");
BENCHMARK(BM_Step<effect_step>)->Name("BM_EffectStep");

void BM_RestoreOnly(benchmark::State& state) {
  const Tables t = full_tables();
  Game g = full_game(t);
  for (auto _ : state) {
    restore(g, t);
    benchmark::DoNotOptimize(g.enemies.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RestoreOnly);

}  // namespace
}  // namespace quillot
