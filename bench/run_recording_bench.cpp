// A stage's ticks side by side: alone, and with the game recorded as every
// game is (a check line every twenty ticks, written at once).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "bench/scenarios.h"
#include "game/canvas.h"
#include "game/tick.h"
#include "session/replay.h"
#include "session/run_recorder.h"

namespace quillot::bench {
namespace {

void ticks(benchmark::State& state, bool recorded) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("quillot-bench-runs-" + std::to_string(::getpid()));
  const Game start = stage_just_started(27);
  HeadlessShell shell;
  std::unique_ptr<RunRecorder> runs;
  if (recorded) {
    runs = std::make_unique<RunRecorder>(RunStore(dir.string()), [] { return int64_t{0}; });
    runs->input(0, Input::click(Control::Button4), start, {Screen::Title, true, true});
  }
  shell.show_screen(Screen::None);
  shell.start_timer();
  Game g = start;
  int64_t tick = 0;
  for (auto _ : state) {
    // The stage is played afresh every 2000 ticks, before it can end.
    if (tick % 2000 == 1999) {
      state.PauseTiming();
      g = start;
      state.ResumeTiming();
    }
    Timer1Timer(g, shell.bak(), shell);
    ++tick;
    if (runs) runs->after_tick(tick, g, false);
  }
  if (runs) runs->quit(tick, g);
  runs.reset();
  fs::remove_all(dir);
}

void BM_StageTick_Alone(benchmark::State& state) { ticks(state, false); }
void BM_StageTick_Recorded(benchmark::State& state) { ticks(state, true); }
BENCHMARK(BM_StageTick_Alone);
BENCHMARK(BM_StageTick_Recorded);

}  // namespace
}  // namespace quillot::bench
