#!/usr/bin/env bash
# The game's resident memory and the moment its first note is heard, several
# programs side by side: each round runs every program once, in turn, so they
# share the machine's load. Prints the median per program.
#   tools/sound_figures.sh memory [-n ROUNDS] [-s SECONDS] [-- ARGS] PROGRAM...
#       resident memory SECONDS (5) after the launch; ARGS go to every program
#   tools/sound_figures.sh play [-n ROUNDS] [-s SECONDS] PROGRAM...
#       resident memory on the title screen 5 s after the launch, then after
#       SECONDS (60) of play from NEW START, sweeping and firing with the
#       mouse; needs an X display (e.g. Xvfb -noreset at 1024x768) and xdotool
#   tools/sound_figures.sh cpu [-n ROUNDS] [-s SECONDS] [-- ARGS] PROGRAM...
#       the share of one core the program and the sound server use together
#       over SECONDS (20) on the title, from 5 s after the launch; ARGS go to
#       every program (--mute for the muted figure)
#   tools/sound_figures.sh first-note [-n ROUNDS] PROGRAM...
#       milliseconds from the launch to the first audible block the program
#       hands to a private PulseAudio server with a null sink (it reports
#       that itself when QUILLOT_SOUND_T0 is set)
# Each run gets a fresh, empty home. The window is drawn offscreen unless
# QT_QPA_PLATFORM says otherwise. Every run plays to a private PulseAudio
# server with a null sink (needs pulseaudio and pulseaudio-utils).
set -euo pipefail
mode=${1:-}; shift || true
rounds=9 seconds=5 args=()
[ "$mode" = play ] && seconds=60
[ "$mode" = cpu ] && seconds=20
while [ $# -gt 0 ]; do
  case $1 in
    -n) rounds=$2; shift 2 ;;
    -s) seconds=$2; shift 2 ;;
    --) args=("$2"); shift 2; while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done; shift ;;
    *) break ;;
  esac
done
case $mode in memory | first-note | play | cpu) ;; *) echo "usage: $0 memory|play|cpu|first-note [-n ROUNDS] PROGRAM..." >&2; exit 2 ;; esac
[ $# -gt 0 ] || { echo "$0: no program" >&2; exit 2; }
work=$(mktemp -d)
pa= awake=
cleanup() {
  [ -n "$awake" ] && kill "$awake" 2>/dev/null
  [ -n "$pa" ] && kill "$pa" 2>/dev/null
  rm -rf "$work"
}
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

first_note_of() {  # program -> ms from its launch to its first audible block sent to the server
  fresh_home
  local ms
  ms=$(QUILLOT_SOUND_T0=$(date +%s%N) "$1" 2>&1 >/dev/null | sed -n 's/^first sound: \([0-9.]*\) ms$/\1/p') || true
  echo "${ms:-nan}"
}

cpu_ticks() {  # pid... -> user + system clock ticks used so far
  local sum=0 pid
  for pid in "$@"; do
    sum=$((sum + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
  done
  echo "$sum"
}

cpu_of() {  # program -> percent of one core, program and server together, over $seconds
  fresh_home
  "$1" "${args[@]}" >/dev/null 2>&1 &
  local pid=$! hz before after
  hz=$(getconf CLK_TCK)
  sleep 5
  before=$(cpu_ticks "$pid" "$pa")
  sleep "$seconds"
  after=$(cpu_ticks "$pid" "$pa")
  awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.2f\n", 100 * t / hz / s}'
  [ -n "${CPU_SPLIT:-}" ] && echo "game $(($(cpu_ticks "$pid") )) server $(cpu_ticks "$pa") ticks in all" >&2
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
}

played_memory_of() {  # program -> "title kB" and "played kB" on two lines, as "title N" / "played N"
  fresh_home
  "$1" >/dev/null 2>&1 &
  local pid=$! win= x=20 dir=1
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    [ -n "$win" ] && break
    sleep 0.1
  done
  sleep 5
  echo "title $(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 198)) $((Y + 208)) click 1  # NEW START
  local deadline=$((SECONDS + seconds))
  while [ $SECONDS -lt $deadline ]; do
    xdotool mousemove $((X + x)) $((Y + 298)) click 1
    x=$((x + dir * 14))
    if [ $x -ge 380 ]; then x=380 dir=-1; elif [ $x -le 20 ]; then x=20 dir=1; fi
    sleep 0.05
  done
  echo "played $(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
}

start_server() {
  export XDG_RUNTIME_DIR="$work/run"; mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
  HOME="$XDG_RUNTIME_DIR" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=figures" --load="module-native-protocol-unix" >"$work/pa.log" 2>&1 &
  pa=$!
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || { echo "$0: PulseAudio did not start" >&2; exit 1; }
  # The sink is kept awake so that every program meets it alike; not for the
  # CPU figures, where the server's own share is what is measured.
  if [ -z "${COLD_SINK:-}" ] && [ "$mode" != cpu ]; then
    pacat -d figures --latency-msec=20 </dev/zero 2>/dev/null &
    awake=$!
    sleep 0.5
  fi
}

start_server
for ((r = 0; r < rounds; r++)); do
  for i in $(seq 1 $#); do
    case $mode in
      memory) memory_of "${!i}" >>"$work/$i" ;;
      first-note) first_note_of "${!i}" >>"$work/$i" ;;
      cpu) cpu_of "${!i}" >>"$work/$i" ;;
      play)
        played_memory_of "${!i}" >"$work/last"
        sed -n 's/^title //p' "$work/last" >>"$work/$i.title"
        sed -n 's/^played //p' "$work/last" >>"$work/$i"
        ;;
    esac
  done
done
if [ "$mode" = play ]; then
  for i in $(seq 1 $#); do
    paste "$work/$i.title" "$work/$i" | awk -v p="${!i}" '{print $2 / $1}' | sort -n |
      awk -v p="${!i}" '{v[NR] = $1} END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%-50s played / title: median %.2f (min %.2f, max %.2f)\n", p, m, v[1], v[NR] }'
    mv "$work/$i.title" "$work/title.$i"
  done
  for i in $(seq 1 $#); do
    sort -n "$work/title.$i" | awk -v p="${!i}" '{v[NR] = $1} END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%-50s title    median %8.1f kB\n", p, m }'
  done
  echo "after play:"
fi
unit=$(case $mode in first-note) echo ms ;; cpu) echo "% of a core" ;; *) echo kB ;; esac)
for i in $(seq 1 $#); do
  grep -v nan "$work/$i" | sort -n | awk -v p="${!i}" -v u="$unit" -v all="$(wc -l <"$work/$i")" '{v[NR] = $1} END {
      if (NR == 0) { printf "%-50s no figure\n", p; exit }
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-50s median %8.1f %s  (min %.1f, max %.1f, %d of %d runs)\n", p, m, u, v[1], v[NR], NR, all }'
done
