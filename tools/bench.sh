#!/usr/bin/env bash
# Builds every benchmark program (optimised, with debug info, no sanitizers)
# into build/bench and runs them one after another. Arguments are passed to
# each program, e.g. tools/bench.sh --benchmark_min_time=2
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install_deps.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOT_BENCH=ON -DQUILLOT_TESTS=OFF \
      -DQUILLOT_SANITIZE=OFF >/dev/null
programs=()
for src in bench/*.cpp; do programs+=("$(basename "$src" .cpp)"); done
cmake --build build/bench -j"$(nproc)" --target "${programs[@]}"
export QT_QPA_PLATFORM=offscreen
for p in "${programs[@]}"; do
  echo "=== $p"
  "build/bench/bench/$p" "$@"
  echo
done
