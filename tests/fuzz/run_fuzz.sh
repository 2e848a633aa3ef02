#!/bin/sh
# Runs one fuzz target for a bounded time: run_fuzz.sh BINARY SEEDS WORKDIR [MORE_SEEDS...].
# New inputs go to WORKDIR, so the seed corpus in the tree stays as committed.
# Exit code 77 tells ctest the target was not built (no clang++).
binary=$1 seeds=$2 work=$3
shift 3
if [ ! -x "$binary" ]; then
  echo "SKIPPED: $binary was not built (./check builds it when clang++ is installed)"
  exit 77
fi
mkdir -p "$work"
exec "$binary" -max_total_time="${QUILLOT_FUZZ_SECONDS:-20}" -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work" "$seeds" "$@"
