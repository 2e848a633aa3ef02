// The theatre in a one-hour game (72,000 ticks) that a bot plays through the
// stages, recorded as a window records: the snapshots' pass (its time and
// the memory the snapshots hold) and jumps from anywhere to anywhere (the
// mean, and the slowest of many, the worst places included: just before a
// snapshot, from far away).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "bench/budget_reporter.h"
#include "game/tick.h"
#include "session/theatre.h"

namespace quillot::bench {
namespace {

constexpr int64_t kHour = 72000;

// A bird with hit points for hours aims at the first enemy and fires every
// other tick; NEXT in the shop, every story read on.
const Recording& one_hour_game() {
  static const Recording recording = [] {
    const std::string path = (std::filesystem::temp_directory_path() / "quillot-theatre-bench.qrp").string();
    Game g;
    g.random.seed = 2026;
    g.profile = new_game_profile();
    g.profile.stage = -1;
    g.profile.hp = 1000000;
    HeadlessShell shell;
    Recorder rec(path, g);
    int64_t t = 0;
    auto give = [&](const Input& in) {
      if (!input_possible(g, shell.state(), in)) return false;
      rec.event(t, in);
      apply_input(g, shell, in);
      return true;
    };
    give(Input::click(Control::Button4));
    int32_t aim = -1;
    while (t < kHour) {
      if (shell.timer_running()) {
        int32_t x = 200;
        for (const EnemyRec& e : g.enemies)
          if (e.kind >= 1 && e.kind <= 20) {
            x = e.x;
            break;
          }
        if (x != aim && give(Input::move(x))) aim = x;
        if (t % 2 == 0) give(Input::down(MouseButton::Left));
        Timer1Timer(g, shell.bak(), shell);
        rec.after_tick(++t, g);
      } else if (shell.screen() == Screen::Shop) {
        if (!give(Input::click(Control::Button5)) || shell.screen() == Screen::Shop) break;
      } else if (shell.screen() == Screen::Story) {
        give(Input::click(shell.state().choice_shown ? Control::Button9 : Control::Button8));
      } else {
        give(Input::click(Control::Button4));
      }
    }
    rec.end(t, g);
    std::string error;
    auto r = read_recording(path, &error);
    // Kept for watching in the window (the cost of 16x is measured there).
    if (const char* keep = std::getenv("QUILLOT_THEATRE_BENCH_KEEP"))
      std::filesystem::copy_file(path, keep, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(path);
    if (!r) std::fprintf(stderr, "%s\n", error.c_str());
    std::fprintf(stderr, "one-hour game: %lld ticks, stage %d, %zu lines\n",
                 static_cast<long long>(r->lines.back().tick), g.profile.stage, r->lines.size());
    return *r;
  }();
  return recording;
}

void BM_TheatreSnapshotPass(benchmark::State& state) {
  const Recording& r = one_hour_game();
  size_t bytes = 0, count = 0;
  for (auto _ : state) {
    Game g;
    Theatre t(r, g, nullptr);
    t.start_pass();
    t.wait_for_pass();
    bytes = t.snapshot_bytes();
    count = t.snapshot_count();
  }
  state.counters["snapshots"] = static_cast<double>(count);
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["ticks"] = static_cast<double>(r.lines.back().tick);
}
BENCHMARK(BM_TheatreSnapshotPass)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TheatreSeekAnywhere(benchmark::State& state) {
  const Recording& r = one_hour_game();
  Game g;
  HeadlessShell window;
  Theatre t(r, g, &window);
  t.start_pass();
  t.wait_for_pass();
  const int64_t total = t.total_ticks();
  std::mt19937_64 random(7);
  std::vector<int64_t> targets;
  // The worst: the tick before a snapshot, reached from the far end.
  for (int64_t k = 1; k * Theatre::kSnapshotEvery < total; k += 7) {
    targets.push_back(k * Theatre::kSnapshotEvery - 1);
    targets.push_back(total - 1);
  }
  for (int i = 0; i < 200; ++i)
    targets.push_back(static_cast<int64_t>(random() % static_cast<uint64_t>(total)));
  double slowest = 0;
  size_t i = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    t.seek(targets[i++ % targets.size()]);
    slowest =
        std::max(slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["slowest_ms"] = slowest * 1e3;
}
BENCHMARK(BM_TheatreSeekAnywhere)->Unit(benchmark::kMillisecond);

// Watching at 16x without a window: the rules' share of it.
void BM_TheatreWatch16xSecond(benchmark::State& state) {
  const Recording& r = one_hour_game();
  Game g;
  Theatre t(r, g, nullptr);
  t.set_speed_index(static_cast<int>(Theatre::kSpeedQuarters.size()) - 1);
  t.seek(1000);
  for (auto _ : state) {
    if (t.tick() > t.total_ticks() - 1000) t.seek(1000);
    for (int beat = 0; beat < 60; ++beat) t.advance(1000.0 / 60);
  }
}
BENCHMARK(BM_TheatreWatch16xSecond)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillot::bench

int main(int argc, char** argv) { return quillot::bench::run_benchmarks(argc, argv); }
