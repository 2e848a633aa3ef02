// One whole frame tick drawn into a canvas that draws nothing: the cost of the
// rules alone, against the 50 ms the tick has.
#include <benchmark/benchmark.h>

#include "bench/scenarios.h"
#include "game/canvas.h"
#include "game/host.h"
#include "game/tick.h"

namespace quillot::bench {
namespace {

// Every iteration runs the same tick from the same state; restoring it is not timed.
void run_tick_from(benchmark::State& state, const Game& start) {
  Game g = start;
  NullCanvas bak;
  NullHost host;
  for (auto _ : state) {
    state.PauseTiming();
    g = start;
    state.ResumeTiming();
    benchmark::DoNotOptimize(Timer1Timer(g, bak, host));
  }
}

void BM_TickHeaviest(benchmark::State& state) { run_tick_from(state, heaviest_load()); }
BENCHMARK(BM_TickHeaviest)->Unit(benchmark::kMicrosecond);

void BM_TickStage27Start(benchmark::State& state) { run_tick_from(state, stage_just_started(27)); }
BENCHMARK(BM_TickStage27Start)->Unit(benchmark::kMicrosecond);

// The timing overhead of restoring the state, to read the two figures above against.
void BM_RestoreOnly(benchmark::State& state) {
  const Game start = heaviest_load();
  Game g = start;
  for (auto _ : state) {
    state.PauseTiming();
    g = start;
    state.ResumeTiming();
    benchmark::DoNotOptimize(g.frame_no);
  }
}
BENCHMARK(BM_RestoreOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillot::bench
