#pragma once
// Benchmark output with one more line per result: its time as a share of the
// 50 ms that one frame tick has before the next is due.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace quillot::bench {

constexpr double kTickBudgetSeconds = 0.050;

class BudgetReporter : public benchmark::ConsoleReporter {
 public:
  // Without colours, so the extra lines line up with the table and read well in a log.
  BudgetReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred || r.iterations == 0 || r.run_type != Run::RT_Iteration) continue;
      const double seconds = r.real_accumulated_time / static_cast<double>(r.iterations);
      char line[200];
      std::snprintf(line, sizeof line, "  %-44s %10.4f ms = %8.3f %% of the 50 ms tick\n",
                    r.benchmark_name().c_str(), seconds * 1e3, 100.0 * seconds / kTickBudgetSeconds);
      GetOutputStream() << line;
    }
  }
};

inline int run_benchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BudgetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace quillot::bench
