// The statistics of a one-hour game (72,000 ticks): counted by replaying its
// recording headless, read and counted from the file as the records screen
// asks for them, and read back from the cache beside it. The game is played
// by a bot through the game's own handlers: it follows the nearest enemy and
// fires, spends its gold in the shop, goes on after every stage and starts
// again after every game over.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "bench/budget_reporter.h"
#include "files/atomic_file.h"
#include "game/checksum.h"
#include "game/tick.h"
#include "session/input.h"
#include "session/replay.h"
#include "session/run_stats.h"
#include "shop/shop.h"

namespace quillot::bench {
namespace {

constexpr int64_t kHourOfTicks = 72'000;

Recording hour_long_game() {
  Recording rec;
  rec.seed = 4242;
  rec.profile = new_game_profile();
  Game g;
  g.random.seed = rec.seed;
  g.profile = rec.profile;
  HeadlessShell shell;
  std::mt19937 bot(7);  // the bot's own whims, never the game's random numbers
  int64_t ticks = 0;
  auto act = [&](Input in) {
    if (!input_possible(g, shell.state(), in)) return;
    Recording::Line line;
    line.tick = ticks;
    line.input = in;
    rec.lines.push_back(line);
    apply_input(g, shell, in);
  };
  int idle = 0;  // rounds without a tick: a bot with nothing left to click stops
  while (ticks < kHourOfTicks && idle < 100) {
    if (!shell.timer_running()) {
      ++idle;
      switch (shell.screen()) {
        case Screen::Title:
          act(Input::click(Control::Button1));
          break;
        case Screen::Shop:
          for (shop::Item item : shop::kRefreshedItems)
            if (bot() % 3 == 0) act(Input::click(item_control(item)));
          // Past the last stage NEXT only says so: a retry while one is left.
          if (g.profile.stage >= 46) {
            act(Input::click(Control::Button6));
          } else {
            act(Input::click(Control::Button5));
          }
          break;
        case Screen::Story:
          act(Input::click(shell.state().choice_shown ? Control::Button9 : Control::Button8));
          break;
        case Screen::None:
          break;
      }
      continue;
    }
    idle = 0;
    for (const EnemyRec& e : g.enemies) {
      if (e.kind < 1 || e.kind > 99) continue;
      if (bot() % 4 == 0) act(Input::move(e.x + static_cast<int32_t>(bot() % 21) - 10));
      break;
    }
    if (bot() % 2 == 0) act(Input::down(MouseButton::Left));
    if (bot() % 600 == 0) act(Input::down(MouseButton::Right));
    Timer1Timer(g, shell.bak(), shell);
    ++ticks;
    if (ticks % kCheckEvery == 0) rec.lines.push_back({Recording::Line::Kind::Check, ticks, {}, checksum(g)});
  }
  rec.lines.push_back({Recording::Line::Kind::End, ticks, {}, checksum(g)});
  rec.complete = true;
  return rec;
}

const Recording& hour() {
  static const Recording rec = hour_long_game();
  return rec;
}

void report(benchmark::State& state, const RunStats& s) {
  state.counters["ticks"] = static_cast<double>(s.ticks);
  state.counters["games"] = static_cast<double>(s.games);
  state.counters["cleared"] = static_cast<double>(s.stages_cleared);
  state.counters["kills"] = static_cast<double>(s.enemies_destroyed());
  state.counters["shots"] = static_cast<double>(s.shots_fired);
}

void BM_StatsOfAnHour_Replayed(benchmark::State& state) {
  RunStats s;
  for (auto _ : state) {
    std::string error;
    const auto stats = run_stats(hour(), &error);
    if (!stats) state.SkipWithError(error.c_str());
    s = stats.value_or(RunStats{});
  }
  report(state, s);
}
BENCHMARK(BM_StatsOfAnHour_Replayed)->Unit(benchmark::kMillisecond)->UseRealTime();

// A recording file in a folder of its own, removed with it.
struct HourOnDisk {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quillot-stats-bench-" + std::to_string(::getpid()));
  std::string path = dir / "hour.qrp";
  HourOnDisk() {
    std::filesystem::create_directories(dir);
    std::string text = format_recording_header(hour());
    for (const Recording::Line& l : hour().lines) text += format_line(l);
    replace_file(path, text);
  }
  ~HourOnDisk() { std::filesystem::remove_all(dir); }
};

void BM_StatsOfAnHour_FromTheFile(benchmark::State& state) {
  const HourOnDisk file;
  RunStats s;
  for (auto _ : state) {
    std::filesystem::remove(stats_path_for(file.path));
    s = load_or_compute_stats(file.path).value_or(RunStats{});
  }
  report(state, s);
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file.path));
}
BENCHMARK(BM_StatsOfAnHour_FromTheFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StatsOfAnHour_Cached(benchmark::State& state) {
  const HourOnDisk file;
  RunStats s = load_or_compute_stats(file.path).value_or(RunStats{});
  for (auto _ : state) s = load_or_compute_stats(file.path).value_or(RunStats{});
  report(state, s);
}
BENCHMARK(BM_StatsOfAnHour_Cached)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace quillot::bench

int main(int argc, char** argv) { return quillot::bench::run_benchmarks(argc, argv); }
