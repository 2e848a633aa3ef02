// The frame tick's pacing in the real window: a stage runs for a minute (the
// bird is never hit down and sets off no bomb, whose flash holds the tick on
// purpose) while the time between ticks is noted. Reports the intervals'
// median, 99th percentile and maximum, and how far the ticks drift from the
// wall clock, in ticks per minute. QUILLOT_PACING_SECONDS shortens the run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/window/form.h"
#include "bench/budget_reporter.h"

namespace quillot::bench {
namespace {

namespace fs = std::filesystem;

struct Pacing {
  std::vector<double> intervals_ms;
  int64_t ticks = 0;
  int32_t clock_start = 0, clock_end = 0;
  bool ran_throughout = false;
};

// A game folder of its own: a bird with hit points for hours, saved before
// stage 0, and no stories, so the shop's NEXT goes straight into stage 0.
fs::path game_folder() {
  const fs::path dir = fs::temp_directory_path() / "quillot-pacing";
  fs::create_directories(dir / "dat");
  fs::create_directories(dir / "cg");
  std::ofstream(dir / "dat/my.dat", std::ios::binary)
      << "0\r\n0\r\n-1\r\n3\r\n18\r\n10\r\n2\r\n3\r\n0\r\n0\r\n1000000\r\n0\r\n0\r\n";
  std::ofstream(dir / "dat/s.dat", std::ios::binary) << "";
  QImage start(400, 300, QImage::Format_RGB32);
  start.fill(Qt::blue);
  start.save(QString::fromStdString((dir / "cg/start.bmp").string()));
  return dir;
}

Pacing measure(int seconds) {
  const fs::path dir = game_folder();
  FormOptions options;
  options.base_dir = dir.string();
  TForm1 form(options);
  form.show();
  form.Button4Click();  // COUNTINUE: the shop
  form.Button5Click();  // NEXT: stage 0, whose enemies stay until shot
  Pacing p;
  p.clock_start = form.game().stage_time;
  QElapsedTimer since;
  since.start();
  // Connected after the window's own handler, so it runs right after each tick.
  QObject::connect(&form.Timer1, &QTimer::timeout, &form, [&] {
    p.intervals_ms.push_back(static_cast<double>(since.nsecsElapsed()) / 1e6);
    since.restart();
  });
  const int64_t ticks_before = form.ticks();
  QTimer::singleShot(seconds * 1000, qApp, [] { QApplication::quit(); });
  QApplication::exec();
  p.ticks = form.ticks() - ticks_before;
  p.clock_end = form.game().stage_time;
  p.ran_throughout = form.stage_running();
  form.hide();
  fs::remove_all(dir);
  return p;
}

void BM_TickPacing(benchmark::State& state) {
  const int seconds = qEnvironmentVariableIntValue("QUILLOT_PACING_SECONDS") > 0
                          ? qEnvironmentVariableIntValue("QUILLOT_PACING_SECONDS")
                          : 60;
  Pacing p;
  for (auto _ : state) p = measure(seconds);
  if (p.intervals_ms.size() < 2) return state.SkipWithError("no ticks ran");
  if (!p.ran_throughout) return state.SkipWithError("the stage ended before the time was up");
  std::vector<double> v(p.intervals_ms.begin() + 1, p.intervals_ms.end());  // the first runs from the start
  std::sort(v.begin(), v.end());
  auto at = [&v](double q) { return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))]; };
  state.counters["ticks"] = static_cast<double>(p.ticks);
  state.counters["p50_ms"] = at(0.50);
  state.counters["p99_ms"] = at(0.99);
  state.counters["max_ms"] = v.back();
  // From the first tick to the last: the ticks run minus the ticks the wall
  // clock had due in that time, scaled to a minute.
  double span_ms = 0;
  for (double ms : v) span_ms += ms;
  state.counters["drift_ticks_per_min"] = (static_cast<double>(v.size()) - span_ms / 50.0) * 60000.0 / span_ms;
  state.counters["stage_clock_s"] = p.clock_start - p.clock_end;
}
BENCHMARK(BM_TickPacing)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quillot::bench

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return quillot::bench::run_benchmarks(argc, argv);
}
