#!/usr/bin/env bash
# Times the real program from its launch to its first painted title screen,
# several programs side by side: each round starts every program once, in
# turn, so they share the machine's load. Prints the median per program.
#   tools/startup_time.sh [-n ROUNDS] PROGRAM...
# Each run gets a fresh, empty home for its settings and saves. The window
# is drawn offscreen unless QT_QPA_PLATFORM says otherwise (xcb with DISPLAY).
set -euo pipefail
rounds=15
if [ "${1:-}" = "-n" ]; then rounds=$2; shift 2; fi
[ $# -gt 0 ] || { echo "usage: $0 [-n ROUNDS] PROGRAM..." >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for ((r = 0; r < rounds; r++)); do
  for i in $(seq 1 $#); do
    program=${!i}
    home="$work/home"
    rm -rf "$home" && mkdir -p "$home"
    ms=$(HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
         QUILLOT_STARTUP_T0=$(date +%s%N) "$program" 2>&1 >/dev/null |
         sed -n 's/^first paint: \([0-9.]*\) ms$/\1/p')
    [ -n "$ms" ] || { echo "$program: no first paint reported" >&2; exit 1; }
    echo "$ms" >>"$work/$i"
  done
done
for i in $(seq 1 $#); do
  sort -n "$work/$i" | awk -v p="${!i}" '{v[NR] = $1} END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-60s median %6.1f ms  (min %.1f, max %.1f, %d runs)\n", p, m, v[1], v[NR], NR }'
done
