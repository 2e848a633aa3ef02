// From nothing to the first painted title screen: the main window built on a
// copy of the game's dat/ and cg/, shown and painted once. Before the timed
// runs, one cold start in a fresh process (the application object included)
// and the peak memory after 1000 ticks of a stage are printed.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/window/dialogs.h"
#include "app/window/form.h"
#include "bench/budget_reporter.h"

namespace quillot::bench {
namespace {

namespace fs = std::filesystem;

// An error box would wait for a click; here it is only printed.
class PrintedDialogs : public Dialogs {
 public:
  void message(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
  void error(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
};

// A game folder of its own, so the run never touches a real save.
class GameFolder {
 public:
  GameFolder() : dir_(fs::temp_directory_path() / ("quillot-bench-" + std::to_string(::getpid()))) {
    const fs::path source = fs::path(__FILE__).parent_path().parent_path();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* sub : {"dat", "cg"}) fs::copy(source / sub, dir_ / sub, fs::copy_options::recursive);
  }
  ~GameFolder() { fs::remove_all(dir_); }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;
  std::string path() const { return dir_.string(); }

 private:
  fs::path dir_;
};

GameFolder* folder = nullptr;
PrintedDialogs dialogs;

std::unique_ptr<TForm1> start_window() {
  FormOptions options;
  options.base_dir = folder->path();
  options.dialogs = &dialogs;
  auto form = std::make_unique<TForm1>(options);
  form->show();
  QApplication::processEvents();
  return form;
}

// The first paint, taken as the picture the player would see.
int64_t first_paint(TForm1& form) { return form.grab().toImage().pixel(200, 150); }

void BM_StartUpToTitle(benchmark::State& state) {
  for (auto _ : state) {
    auto form = start_window();
    benchmark::DoNotOptimize(first_paint(*form));
    state.PauseTiming();
    form.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToTitle)->Unit(benchmark::kMillisecond);

double since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace
}  // namespace quillot::bench

int main(int argc, char** argv) {
  using namespace quillot::bench;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  GameFolder game_folder;
  folder = &game_folder;

  const auto t0 = std::chrono::steady_clock::now();
  QApplication app(argc, argv);
  auto form = start_window();
  quillot::bench::first_paint(*form);
  const double cold_ms = since(t0);
  std::printf("Cold start-up (application object, window, first painted title): %.1f ms = %.1f %% of 0.5 s\n",
              cold_ms, cold_ms / 5.0);

  // A new game from the title, then 1000 ticks with the bird firing now and then.
  form->Button1Click();
  for (int i = 0; i < 1000; ++i) {
    if (i % 5 == 0) form->cgMouseDown(quillot::MouseButton::Left);
    form->Timer1Timer();
    if (i % 2 == 0) form->Timer2Timer();
  }
  form.reset();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("Peak memory after start-up and 1000 ticks: %.1f MB (ru_maxrss %ld kB)\n\n",
              static_cast<double>(usage.ru_maxrss) / 1024.0, usage.ru_maxrss);
  std::fflush(stdout);

  return run_benchmarks(argc, argv);
}
