#!/usr/bin/env bash
# The game's resident memory and the moment its first note is heard, several
# programs side by side: each round runs every program once, in turn, so they
# share the machine's load. Prints the median per program.
#   tools/sound_figures.sh memory [-n ROUNDS] [-s SECONDS] [-- ARGS] PROGRAM...
#       resident memory SECONDS (5) after the launch; ARGS go to every program
#   tools/sound_figures.sh first-note [-n ROUNDS] PROGRAM...
#       milliseconds from the launch to the first audible block the program
#       hands to a private PulseAudio server with a null sink (it reports
#       that itself when QUILLOT_SOUND_T0 is set)
# Each run gets a fresh, empty home. The window is drawn offscreen unless
# QT_QPA_PLATFORM says otherwise. first-note needs pulseaudio and
# pulseaudio-utils.
set -euo pipefail
mode=${1:-}; shift || true
rounds=9 seconds=5 args=()
while [ $# -gt 0 ]; do
  case $1 in
    -n) rounds=$2; shift 2 ;;
    -s) seconds=$2; shift 2 ;;
    --) args=("$2"); shift 2; while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done; shift ;;
    *) break ;;
  esac
done
case $mode in memory | first-note) ;; *) echo "usage: $0 memory|first-note [-n ROUNDS] PROGRAM..." >&2; exit 2 ;; esac
[ $# -gt 0 ] || { echo "$0: no program" >&2; exit 2; }
work=$(mktemp -d)
pa=
cleanup() { [ -n "$pa" ] && kill "$pa" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

fresh_home() {
  rm -rf "$work/home" && mkdir -p "$work/home"
  export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
}

memory_of() {  # program -> kB resident after $seconds
  fresh_home
  "$1" "${args[@]}" >/dev/null 2>&1 &
  local pid=$!
  sleep "$seconds"
  awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
}

start_server() {
  export XDG_RUNTIME_DIR="$work/run"; mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
  HOME="$XDG_RUNTIME_DIR" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=figures" --load="module-native-protocol-unix" >"$work/pa.log" 2>&1 &
  pa=$!
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && return; sleep 0.1; done
  echo "$0: PulseAudio did not start" >&2; exit 1
}

first_note_of() {  # program -> ms from its launch to its first audible block sent to the server
  fresh_home
  local ms
  ms=$(QUILLOT_SOUND_T0=$(date +%s%N) "$1" 2>&1 >/dev/null | sed -n 's/^first sound: \([0-9.]*\) ms$/\1/p')
  echo "${ms:-nan}"
}

[ "$mode" = first-note ] && start_server
for ((r = 0; r < rounds; r++)); do
  for i in $(seq 1 $#); do
    if [ "$mode" = memory ]; then memory_of "${!i}"; else first_note_of "${!i}"; fi >>"$work/$i"
  done
done
unit=$([ "$mode" = memory ] && echo kB || echo ms)
for i in $(seq 1 $#); do
  grep -v nan "$work/$i" | sort -n | awk -v p="${!i}" -v u="$unit" -v all="$(wc -l <"$work/$i")" '{v[NR] = $1} END {
    if (NR == 0) { printf "%-50s nothing heard\n", p; exit }
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-50s median %8.1f %s  (min %.1f, max %.1f, %d of %d runs)\n", p, m, u, v[1], v[NR], NR, all }'
done
