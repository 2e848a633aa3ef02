// The whole frame tick as the window runs it, drawn into the real 400 x 300
// pictures and copied onto the visible one, and the same tick drawing nothing:
// at a typical stage start and at the heaviest load the rules allow; and the
// playfield enlarged for a scaled window.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "app/render/art.h"
#include "app/window/overlays.h"
#include "app/render/qimage_canvas.h"
#include "bench/budget_reporter.h"
#include "bench/scenarios.h"
#include "game/bird.h"
#include "game/canvas.h"
#include "game/host.h"
#include "game/tick.h"

namespace quillot::bench {
namespace {

// Presents as the window does: the back buffer is copied onto the visible picture.
class PictureHost : public NullHost {
 public:
  PictureHost(QImageCanvas& bak, QImageCanvas& cg) : bak_(bak), cg_(cg) {}
  void present() override { cg_.copy_from(bak_); }

 private:
  QImageCanvas& bak_;
  QImageCanvas& cg_;
};

// Every iteration runs the same tick from the same state; restoring it is not timed.
void run_tick(benchmark::State& state, const Game& start, Canvas& bak, Host& host) {
  Game g = start;
  for (auto _ : state) {
    state.PauseTiming();
    g = start;
    state.ResumeTiming();
    benchmark::DoNotOptimize(Timer1Timer(g, bak, host));
  }
}

void drawn(benchmark::State& state, const Game& start) {
  static const PictureSet pictures = load_pictures();
  QImageCanvas bak(&pictures);
  QImageCanvas cg(&pictures);
  PictureHost host(bak, cg);
  run_tick(state, start, bak, host);
}

void undrawn(benchmark::State& state, const Game& start) {
  NullCanvas bak;
  NullHost host;
  run_tick(state, start, bak, host);
}

void BM_WholeTick_Stage27Start_Drawn(benchmark::State& state) { drawn(state, stage_just_started(27)); }
void BM_WholeTick_Stage27Start_NoDrawing(benchmark::State& state) { undrawn(state, stage_just_started(27)); }
void BM_WholeTick_Heaviest_Drawn(benchmark::State& state) { drawn(state, heaviest_load()); }
void BM_WholeTick_Heaviest_NoDrawing(benchmark::State& state) { undrawn(state, heaviest_load()); }

BENCHMARK(BM_WholeTick_Stage27Start_Drawn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeTick_Stage27Start_NoDrawing)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeTick_Heaviest_Drawn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeTick_Heaviest_NoDrawing)->Unit(benchmark::kMicrosecond);

// A stage played on from its start, tick after tick, as the timer runs it: the
// first 200 ticks of stage 27 with the bird firing every fifth tick.
void BM_WholeTick_Stage27Played_Drawn(benchmark::State& state) {
  static const PictureSet pictures = load_pictures();
  QImageCanvas bak(&pictures);
  QImageCanvas cg(&pictures);
  PictureHost host(bak, cg);
  const Game start = stage_just_started(27);
  Game g = start;
  int ticks = 0;
  for (auto _ : state) {
    if (ticks == 200) {
      state.PauseTiming();
      g = start;
      ticks = 0;
      state.ResumeTiming();
    }
    if (ticks % 5 == 0) cgMouseDown(g, MouseButton::Left, cg, host);
    benchmark::DoNotOptimize(Timer1Timer(g, bak, host));
    ++ticks;
  }
}
BENCHMARK(BM_WholeTick_Stage27Played_Drawn)->Unit(benchmark::kMicrosecond);

// The visible playfield as an enlarged window paints it each tick: the game's
// picture after the heaviest tick, enlarged with hard edges into a window
// backing store of the scaled size.
void BM_ScaledPlayfield(benchmark::State& state) {
  static const PictureSet pictures = load_pictures();
  QImageCanvas bak(&pictures);
  QImageCanvas cg(&pictures);
  PictureHost host(bak, cg);
  Game g = heaviest_load();
  Timer1Timer(g, bak, host);
  const int scale = static_cast<int>(state.range(0));
  QImage window(400 * scale, 300 * scale, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&window);
    draw_scaled_playfield(painter, cg.image(), scale);
    painter.end();
    benchmark::DoNotOptimize(window.constBits());
  }
}
BENCHMARK(BM_ScaledPlayfield)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillot::bench

int main(int argc, char** argv) {
  // The pictures' text needs the fonts, not a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return quillot::bench::run_benchmarks(argc, argv);
}
